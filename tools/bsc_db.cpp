// bsc-db: creates and looks after the scorecard database.
#include "model/alias.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"
#include "tools/dbadmin.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

namespace {

const char *const Usage =
    "Usage: bsc-db COMMAND\n"
    "\n"
    "  init [--demo]     create the database where the alias points (with --demo:\n"
    "                    sample values and measures); refuses an existing file\n"
    "  add-year YYYY     add an empty row for a later year to every key-figure table\n"
    "  path              print the file the alias projekt_bsc points to\n"
    "  query \"STATEMENT\" run one statement of the program's dialect and print the\n"
    "                    rows as tab-separated text with a header line\n"
    "\n"
    "The alias points to $PROJEKT_BSC_DATABASE, or else to the default file in\n"
    "the user's data folder.\n";

int query(const QString &statement, QTextStream &out)
{
    Query q(QStringLiteral("query"));
    q.setSql(statement);
    q.open();
    const QStringList fields = q.fieldNames();
    out << fields.join(QLatin1Char('\t')) << '\n';
    for (q.first(); !q.eof(); q.next()) {
        QStringList values;
        for (int i = 0; i < fields.size(); ++i) {
            // One row per line: line breaks inside a value are written as \n.
            values << q.currentText(i)
                          .replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                          .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                          .replace(QLatin1Char('\t'), QLatin1String("\\t"));
        }
        out << values.join(QLatin1Char('\t')) << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    ScorecardAlias::install();
    const QString path = Alias::target();
    try {
        if (command == QLatin1String("init") && args.size() <= 2
            && (args.size() == 1 || args[1] == QLatin1String("--demo"))) {
            const bool demo = args.size() == 2;
            DbAdmin::anlegen(path, demo, QDate::currentDate().year());
            out << "Created " << (demo ? "the demo database " : "the database ") << path << '\n';
            return 0;
        }
        if (command == QLatin1String("add-year") && args.size() == 2) {
            DbAdmin::jahrHinzufuegen(path, args[1]);
            out << "Added the year " << args[1] << " to every key-figure table of " << path << '\n';
            return 0;
        }
        if (command == QLatin1String("path") && args.size() == 1) {
            out << path << '\n';
            return 0;
        }
        if (command == QLatin1String("query") && args.size() == 2)
            return query(args[1], out);
    } catch (const EngineError &error) {
        out.flush();
        err << "bsc-db: " << error.message() << '\n';
        return 1;
    }
    err << Usage;
    return 2;
}
