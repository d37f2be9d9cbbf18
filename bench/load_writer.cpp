// One writer of bench/load.sh: saves key figures and measures through the
// program's own datasets, as the windows do, into rows every writer shares
// and rows of its own, until its time is up or its count is reached. Each
// save goes on one line of standard output:
//   RESULT TABLE ROW COLUMN OLD NEW
// RESULT is OK (the save was confirmed), CONFLICT (refused: another writer
// changed the row since it was read), LOCKED (refused: the row was held too
// long) or ERROR (anything else, with the message after it).
#include "model/alias.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

struct Save {
    QString table;     // dataset name, with .db
    QString keyColumn; // the column the row is found by
    QString key;
    QString column;
    bool text;
};

// As bsc-db query prints it, blanks as _.
QString printable(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char(' '), QLatin1Char('_'));
    return value.isEmpty() ? QStringLiteral("-") : value;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: bench_load_writer ID SECONDS MAX_SAVES SHARED_NR\n");
        return 2;
    }
    const int id = args[1].toInt();
    const qint64 limitMs = args[2].toLongLong() * 1000;
    const int maxSaves = args[3].toInt();
    const QString sharedNr = args[4];
    Connection connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
    QTextStream out(stdout);

    try {
        // A measure of this writer's own.
        Table own(connection, QStringLiteral("own"));
        own.setTableName(QStringLiteral("maßnahmen.db"));
        own.open();
        own.append();
        own.setText(QStringLiteral("Maßnahme"), QStringLiteral("w%1").arg(id));
        own.setText(QStringLiteral("Ziel"), QStringLiteral("Last"));
        own.setText(QStringLiteral("Jahr"), QStringLiteral("2013"));
        own.post();
        const QString ownNr = own.asText(QStringLiteral("Nr"));
        own.close();

        const Save targets[] = {
            {QStringLiteral("kz_liqui.db"), QStringLiteral("Jahr"), QStringLiteral("2005"), QStringLiteral("Ist_Wert_Q1"), false},
            {QStringLiteral("kz_ges_renta.db"), QStringLiteral("Jahr"), QString::number(2003 + id % 25),
             QStringLiteral("Ist_Wert_Q1"), false},
            {QStringLiteral("maßnahmen.db"), QStringLiteral("Nr"), sharedNr, QStringLiteral("Maßnahme"), true},
            {QStringLiteral("maßnahmen.db"), QStringLiteral("Nr"), ownNr, QStringLiteral("Maßnahme"), true},
        };
        std::vector<std::unique_ptr<Table>> tables;
        for (const Save &t : targets) {
            tables.push_back(std::make_unique<Table>(connection, QStringLiteral("t")));
            tables.back()->setTableName(t.table);
            tables.back()->open();
        }
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < maxSaves && clock.elapsed() < limitMs; ++i) {
            const Save &target = targets[i % 4];
            Table &t = *tables[i % 4];
            // A unique value per save of this writer, whatever its row, so that
            // every stored value and every history row names its save.
            const int seq = i;
            const QString value = target.text ? QStringLiteral("w%1-%2").arg(id).arg(seq)
                                              : QString::number(100000 + id * 100000 + seq);
            QString old = QStringLiteral("?");
            QString result = QStringLiteral("OK");
            QString detail;
            try {
                t.refresh();
                if (!t.locate(target.keyColumn, target.key))
                    throw EngineError(QStringLiteral("row not found"));
                old = t.asText(target.column);
                t.edit();
                t.setText(target.column, value);
                t.post();
            } catch (const EngineError &error) {
                t.cancel();
                const QString message = error.message();
                if (error.kind() == EngineError::Kind::Conflict)
                    result = QStringLiteral("CONFLICT");
                else if (error.kind() == EngineError::Kind::Locked)
                    result = QStringLiteral("LOCKED");
                else {
                    result = QStringLiteral("ERROR");
                    detail = QLatin1Char(' ') + QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
                }
            }
            QString table = target.table;
            table.chop(3);
            out << result << ' ' << table << ' ' << target.key << ' ' << target.column << ' ' << printable(old) << ' '
                << printable(value) << detail << '\n';
        }
    } catch (const EngineError &error) {
        out.flush();
        std::fprintf(stderr, "writer %d: %s\n", id, qPrintable(error.message()));
        return 1;
    }
    out.flush();
    return 0;
}
