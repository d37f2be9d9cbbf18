// Key figures and measures through spreadsheet files: bsc-db export and
// import run as programs, the import's plan and its transaction in process.
#include "fixture.h"
#include "fixture_disk.h"

#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/engineerror.h"
#include "core/dbadmin.h"
#include "model/kennzahlschema.h"
#include "core/spreadsheet.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

// Debian's interpreter, which the package list gives openpyxl.
const QString Python = QStringLiteral("/usr/bin/python3");

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray digest(const QString &path)
{
    return QCryptographicHash::hash(contents(path), QCryptographicHash::Sha256);
}

void save(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString fixture(const QString &name) { return QStringLiteral(BSC_TEST_DATA "/import/") + name; }

QList<QStringList> records(const QByteArray &bytes)
{
    QList<QStringList> rows;
    const Spreadsheet::Table table = Spreadsheet::parseCsv(bytes);
    for (const Spreadsheet::Record &r : table.records)
        rows << r.fields;
    return rows;
}

// Writes records the way the test wants them, with its own quoting.
QByteArray joined(const QList<QStringList> &rows, QChar separator, bool bom, const char *lineEnd)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &f : row)
            fields << QLatin1Char('"') + QString(f).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
        text += fields.join(separator) + QLatin1String(lineEnd);
    }
    return (bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

int columnOf(const QList<QStringList> &rows, const QString &name) { return int(rows.first().indexOf(name)); }

// The record of a table and year.
int recordOf(const QList<QStringList> &rows, const QString &table, const QString &year)
{
    const int t = columnOf(rows, QStringLiteral("Table")), y = columnOf(rows, QStringLiteral("Jahr"));
    for (int i = 1; i < rows.size(); ++i) {
        if (rows[i].value(t) == table && rows[i].value(y) == year)
            return i;
    }
    return -1;
}

QVariant stored(const QString &path, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(sql);
        if (q.next())
            value = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("look"));
    return value;
}

void change(const QString &path, const QString &sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("change"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("cannot run %s", qPrintable(sql));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("change"));
}

QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString file(const QString &name) const { return m_dir.filePath(name); }

    // A demo database made by bsc-db, in a file of its own.
    QString demo(const QString &name)
    {
        const QString path = file(name);
        if (bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status != 0)
            qFatal("bsc-db init --demo failed");
        return path;
    }
    QString empty(const QString &name)
    {
        const QString path = file(name);
        if (bscDb(path, {QStringLiteral("init")}).status != 0)
            qFatal("bsc-db init failed");
        return path;
    }

private slots:
    void exportHoldsEveryTableAndYearAndReadsBackAsNoChange()
    {
        const QString db = demo(QStringLiteral("rund.sqlite"));
        const QString csv = file(QStringLiteral("rund.csv"));
        ProgramRun r = bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv});
        QCOMPARE(r.status, 0);
        const QByteArray bytes = contents(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = records(bytes);
        QCOMPARE(rows.first(), Spreadsheet::kennzahlenHeader() + KennzahlSchema::valueColumns());

        // One line per table and year the database holds, and no other.
        QSet<QString> expected, found;
        for (const QString &table : ScorecardKatalog::allTables()) {
            const int years = stored(db, QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
            QVERIFY(years >= 11);
            for (int y = ScorecardKatalog::FirstYear; y < ScorecardKatalog::FirstYear + years; ++y)
                expected << table + QLatin1Char('/') + QString::number(y);
        }
        for (const QStringList &row : rows.mid(1))
            found << row[3] + QLatin1Char('/') + row[4];
        QCOMPARE(rows.size() - 1, expected.size());
        QCOMPARE(found, expected);

        // Goal 11 comes with both of its tables, each with its own texts.
        for (int branche : {0, 1}) {
            const QStringList &row = rows[recordOf(rows, ScorecardKatalog::table(11, branche), QStringLiteral("2005"))];
            QCOMPARE(row[0], QStringLiteral("Prozessperspektive"));
            QCOMPARE(row[1], ScorecardKatalog::zielText(11, branche));
            QCOMPARE(row[2], ScorecardKatalog::kennzahlName(11, branche));
        }
        const QStringList &liqui = rows[recordOf(rows, QStringLiteral("kz_liqui"), QStringLiteral("2007"))];
        QCOMPARE(liqui[columnOf(rows, QStringLiteral("Soll_Wert_Halbjahr2"))],
                 stored(db, QStringLiteral("SELECT Soll_Wert_Halbjahr2 FROM kz_liqui WHERE Jahr='2007'")).toString());

        const QByteArray before = digest(db);
        for (const QStringList &extra : {QStringList{}, QStringList{QStringLiteral("--yes")}}) {
            r = bscDb(db, QStringList{QStringLiteral("import"), QStringLiteral("kennzahlen"), csv} + extra);
            QCOMPARE(r.status, 0);
            QVERIFY2(r.out.startsWith(QLatin1String("No change")), qPrintable(r.out));
            QCOMPARE(digest(db), before);
        }
    }

    void oneChangedCellIsOneChangeWrittenOnlyWithYes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QVariant>("written");
        QTest::newRow("a number") << "999" << "→ 999" << QVariant(999);
        QTest::newRow("the largest") << "-21474836" << "→ -21474836" << QVariant(-21474836);
        QTest::newRow("emptied") << "" << "→ (empty)" << QVariant();
    }
    void oneChangedCellIsOneChangeWrittenOnlyWithYes()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QFETCH(QVariant, written);
        const QString db = demo(QStringLiteral("eins-%1.sqlite").arg(QTest::currentDataTag()));
        const QString csv = file(QStringLiteral("eins-%1.csv").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv}).status, 0);
        QList<QStringList> rows = records(contents(csv));
        const int row = recordOf(rows, QStringLiteral("kz_liqui"), QStringLiteral("2005"));
        const int column = columnOf(rows, QStringLiteral("Ist_Wert_Q3"));
        const QString old = rows[row][column];
        rows[row][column] = value;
        save(csv, joined(rows, QLatin1Char(','), true, "\r\n"));

        const QByteArray before = digest(db);
        ProgramRun r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("kz_liqui 2005 Ist_Wert_Q3: %1 %2").arg(old, shown));
        QVERIFY2(lines.value(1).startsWith(QLatin1String("1 change in 1 row")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QLatin1String("Nothing was written")) && r.out.contains(QLatin1String("--yes")),
                 qPrintable(r.out));
        QCOMPARE(digest(db), before);

        const QByteArray exported = contents(csv);
        r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv, QStringLiteral("--yes")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("Wrote 1 change")), qPrintable(r.out));
        const QVariant now = stored(db, QStringLiteral("SELECT Ist_Wert_Q3 FROM kz_liqui WHERE Jahr='2005'"));
        QCOMPARE(now.isNull(), written.isNull());
        QCOMPARE(now.toInt(), written.toInt());
        // A new export holds the file's values exactly: nothing else moved.
        const QString again = file(QStringLiteral("eins-%1-neu.csv").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), again}).status, 0);
        QCOMPARE(records(contents(again)), records(exported));
    }

    void everyFaultIsReportedWithItsLineAndNothingIsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("unknown table") << "unknown-table.csv"
                                       << QStringList{"line 4, Table: unknown table \"kz_liquiditaet\""};
        QTest::newRow("year without a row") << "year-without-row.csv"
                                            << QStringList{"line 3, Jahr: table kz_liqui has no row for the year 1999"};
        QTest::newRow("not a whole number")
            << "not-a-whole-number.csv"
            << QStringList{"line 2, Ist_Wert_Q1: \"12.5\" is not a whole number",
                           "line 3, Soll_Wert_Q1: \"zwölf\" is not a whole number",
                           "line 4, Ist_Wert_Q1: \"1,5\" is not a whole number"};
        QTest::newRow("too large")
            << "too-large.csv"
            << QStringList{"line 3, Ist_Wert_Q1: 21474837 is above 21,474,836 in magnitude",
                           "line 4, Soll_Wert_Q1: -99999999999999999999 is above 21,474,836 in magnitude"};
        QTest::newRow("duplicate") << "duplicate.csv"
                                   << QStringList{"line 4: table kz_liqui, year 2005 is already in line 2"};
        QTest::newRow("missing column") << "missing-column.csv"
                                        << QStringList{"line 1, Soll_Wert_Jahr: the column is missing"};
        QTest::newRow("wrong number of fields") << "field-count.csv"
                                                << QStringList{"line 3: the line has 20 fields, the header 19",
                                                               "line 4: the line has 18 fields, the header 19"};
    }
    void everyFaultIsReportedWithItsLineAndNothingIsWritten()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        const QString db = empty(QStringLiteral("fehler-%1.sqlite").arg(name));
        const QByteArray before = digest(db);
        for (const QStringList &extra : {QStringList{}, QStringList{QStringLiteral("--yes")}}) {
            const ProgramRun r = bscDb(db, QStringList{QStringLiteral("import"), QStringLiteral("kennzahlen"), fixture(name)} + extra);
            QCOMPARE(r.status, 1);
            const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), expected.size() + 1);
            for (int i = 0; i < expected.size(); ++i)
                QCOMPARE(lines[i], fixture(name) + QStringLiteral(": ") + expected[i]);
            QVERIFY2(lines.last().contains(QLatin1String("nothing was written")), qPrintable(lines.last()));
            QVERIFY(r.out.isEmpty());
            QCOMPARE(digest(db), before);
        }
    }

    void filesThatAreNoKeyFiguresAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << "csv" << "line 1: the file is empty";
        QTest::newRow("only a mark") << QByteArray("\xEF\xBB\xBF\r\n") << "csv" << "line 1: the file is empty";
        QTest::newRow("unknown column") << QByteArray("Table,Jahr,Ist_Wert_Q5\n") << "csv"
                                        << "line 1, Ist_Wert_Q5: unknown column";
        QTest::newRow("column twice") << QByteArray("Table,jahr,JAHR\n") << "csv" << "line 1, Jahr: the column appears twice";
        QTest::newRow("quote left open") << QByteArray("Table,Jahr\n\"kz_liqui,2005\n") << "csv"
                                         << "line 2: a quoted field is not closed";
        QTest::newRow("text after a quote") << QByteArray("Table,Jahr\n\"kz_liqui\"x,2005\n") << "csv"
                                            << "line 2: text after the closing quote of a field";
        QTest::newRow("binary") << QByteArray("\x00\xff\x01\"\n\x02", 6) << "csv" << "line 1";
        QTest::newRow("a workbook") << QByteArray("PK\x03\x04") << "xlsx" << "reads CSV files";
    }
    void filesThatAreNoKeyFiguresAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(QString, expected);
        const QString db = empty(QStringLiteral("fremd-%1.sqlite").arg(QTest::currentDataTag()));
        const QString input = file(QStringLiteral("fremd-%1.%2").arg(QTest::currentDataTag(), suffix));
        save(input, bytes);
        const QByteArray before = digest(db);
        const ProgramRun r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"), input, QStringLiteral("--yes")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err));
        QCOMPARE(digest(db), before);
    }

    void separatorsMarksAndLineEndsOfOtherProgramsAreRead_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("comma, mark, CRLF") << QChar(',') << true << QByteArray("\r\n");
        QTest::newRow("comma, LF") << QChar(',') << false << QByteArray("\n");
        QTest::newRow("semicolon, mark, CRLF") << QChar(';') << true << QByteArray("\r\n");
        QTest::newRow("semicolon, LF") << QChar(';') << false << QByteArray("\n");
    }
    void separatorsMarksAndLineEndsOfOtherProgramsAreRead()
    {
        QFETCH(QChar, separator);
        QFETCH(bool, bom);
        QFETCH(QByteArray, lineEnd);
        const QString db = demo(QStringLiteral("trenner-%1.sqlite").arg(QTest::currentDataTag()));
        const QString csv = file(QStringLiteral("trenner-%1.csv").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv}).status, 0);
        QList<QStringList> rows = records(contents(csv));
        // Header in another case; a goal text with both separators, quotes
        // and a line break; one value changed.
        rows[0] = rows[0].join(QLatin1Char('|')).toUpper().split(QLatin1Char('|'));
        const int row = recordOf(records(contents(csv)), QStringLiteral("kz_kap_quote"), QStringLiteral("2007"));
        rows[row][1] = QStringLiteral("Erhöhung; der \"Unabhängigkeit\",\nzweite Zeile");
        rows[row][8] = QStringLiteral("41");
        save(csv, joined(rows, separator, bom, lineEnd.constData()));

        const ProgramRun r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("1 change in 1 row")), qPrintable(r.out + r.err));
        QVERIFY2(r.out.startsWith(QLatin1String("kz_kap_quote 2007 Soll_Wert_Q2: ")), qPrintable(r.out));
    }

    void aGermanSpreadsheetsFileIsReadAsItIs()
    {
        const QString db = empty(QStringLiteral("deutsch.sqlite"));
        const ProgramRun r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"),
                                    fixture(QStringLiteral("german-semicolons.csv")), QStringLiteral("--yes")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.split(QLatin1Char('\n')).mid(0, 2),
                 (QStringList{"kz_liqui 2005 Ist_Wert_Q1: (empty) → 7", "kz_liqui 2005 Soll_Wert_Q1: (empty) → 30"}));
        QCOMPARE(stored(db, QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_liqui WHERE Jahr='2005'")).toInt(), 7);
        QCOMPARE(stored(db, QStringLiteral("SELECT Soll_Wert_Q1 FROM kz_liqui WHERE Jahr='2005'")).toInt(), 30);
        QVERIFY(stored(db, QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_kap_quote WHERE Jahr='2005'")).isNull());
    }

    void measureTextsSurviveTheCsv()
    {
        const QString db = demo(QStringLiteral("texte.sqlite"));
        const QString text = QStringLiteral("Er sagte \"Größe, Maß; Übung\"\nund dann,\r\n\"noch\" eine Zeile ");
        change(db, QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Prozesse\", \"Gültig_ab\", \"Jahr\", \"Ziel\") "
                                  "VALUES ('%1', '\"', ',', '2005', 'Erhöhung der Liquidität')")
                          .arg(QString(text).replace(QLatin1Char('\''), QLatin1String("''"))));
        const QString csv = file(QStringLiteral("texte.csv"));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("massnahmen"), csv}).status, 0);

        const QList<QStringList> rows = records(contents(csv));
        QCOMPARE(rows.first(), (QStringList{"Nr", "Maßnahme", "Prozesse", "Gültig_ab", "Gültig_bis", "Verantwortlicher",
                                            "Erfüllungsgrad_in_%", "Jahr", "Ziel"}));
        const int count = stored(db, QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt();
        QCOMPARE(rows.size(), count + 1);
        const QStringList &last = rows.last();
        QCOMPARE(last[1], text);
        QCOMPARE(last[2], QStringLiteral("\""));
        QCOMPARE(last[3], QStringLiteral(","));
        QCOMPARE(last[4], QString());
        QCOMPARE(last[0], stored(db, QStringLiteral("SELECT max(Nr) FROM \"maßnahmen\"")).toString());

        // A reader written elsewhere sees the same.
        const ProgramRun py = runProgram(Python, {QStringLiteral("-c"), QStringLiteral(
                                  "import csv, json, sys\n"
                                  "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                  "    print(json.dumps(list(csv.reader(f))[-1]))\n"), csv});
        QCOMPARE(py.status, 0);
        const QJsonArray fields = QJsonDocument::fromJson(py.out.toUtf8()).array();
        QCOMPARE(fields.size(), last.size());
        for (int i = 0; i < last.size(); ++i)
            QCOMPARE(fields[i].toString(), last[i]);
    }

    // A text that a spreadsheet would run as a formula is exported as text:
    // in CSV behind an apostrophe, in the workbook as a string cell; numbers,
    // negative ones too, stay numbers.
    void formulaTextsAreExportedAsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("csvText");
        QTest::newRow("equals") << "=1+2" << "'=1+2";
        QTest::newRow("plus") << "+A1*3" << "'+A1*3";
        QTest::newRow("minus") << "-2+3" << "'-2+3";
        QTest::newRow("at") << "@SUM(A1:A9)" << "'@SUM(A1:A9)";
        QTest::newRow("tab") << "\t=cmd|' /C calc'!A0" << "'\t=cmd|' /C calc'!A0";
        QTest::newRow("carriage return") << "\r=1+1" << "'\r=1+1";
        QTest::newRow("negative number") << "-5" << "-5";
        QTest::newRow("plain text") << "Schulung" << "Schulung";
    }
    void formulaTextsAreExportedAsText()
    {
        QFETCH(QString, text);
        QFETCH(QString, csvText);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString db = demo(QStringLiteral("formel-%1.sqlite").arg(tag));
        change(db, QStringLiteral("UPDATE kz_liqui SET Ist_Wert_Q1=-17 WHERE Jahr='2005'"));
        change(db, QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Erfüllungsgrad_in_%\", \"Jahr\", \"Ziel\") "
                                  "VALUES ('%1', '%1', '2005', 'Erhöhung der Liquidität')")
                          .arg(QString(text).replace(QLatin1Char('\''), QLatin1String("''"))));
        const QString csv = file(QStringLiteral("formel-%1.csv").arg(tag));
        const QString xlsx = file(QStringLiteral("formel-%1.xlsx").arg(tag));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("massnahmen"), csv}).status, 0);
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("massnahmen"), xlsx}).status, 0);
        const QList<QStringList> rows = records(contents(csv));
        QCOMPARE(rows.last()[1], csvText);
        QCOMPARE(rows.last()[6], csvText);

        const QString figures = file(QStringLiteral("formel-%1-kz.csv").arg(tag));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), QStringLiteral("--year"),
                            QStringLiteral("2005"), figures}).status, 0);
        const QList<QStringList> values = records(contents(figures));
        QCOMPARE(values[recordOf(values, QStringLiteral("kz_liqui"), QStringLiteral("2005"))][columnOf(values, QStringLiteral("Ist_Wert_Q1"))],
                 QStringLiteral("-17"));

        const ProgramRun py = runProgram(Python, {QStringLiteral("-c"), QStringLiteral(
                                  "import json, sys, openpyxl\n"
                                  "page = openpyxl.load_workbook(sys.argv[1]).active\n"
                                  "row = list(page.iter_rows())[-1]\n"
                                  "print(json.dumps([[c.value, c.data_type] for c in row]))\n"), xlsx});
        QVERIFY2(py.status == 0, qPrintable(py.err));
        const QJsonArray cells = QJsonDocument::fromJson(py.out.toUtf8()).array();
        for (int c : {1, 6}) {
            // The workbook writes a carriage return as OOXML's escape, which
            // openpyxl leaves as it is.
            QCOMPARE(cells[c].toArray()[0].toString().replace(QLatin1String("_x000D_"), QLatin1String("\r")), text);
            QCOMPARE(cells[c].toArray()[1].toString(), QStringLiteral("s"));
        }
        QCOMPARE(cells[0].toArray()[1].toString(), QStringLiteral("n"));
    }

    // A full disk leaves no file, and the message names it.
    void exportOnAFullDiskLeavesNothing_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("freeKiB");
        for (int kib : {0, 8, 24}) {
            QTest::addRow("csv, %d KiB free", kib) << "kennzahlen" << "kz.csv" << kib;
            QTest::addRow("xlsx, %d KiB free", kib) << "kennzahlen" << "kz.xlsx" << kib;
        }
    }
    void exportOnAFullDiskLeavesNothing()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, name);
        QFETCH(int, freeKiB);
        SmallDisk disk;
        REQUIRE_SMALL_DISK(disk);
        const QString db = demo(QStringLiteral("voll-%1.sqlite").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(disk.leaveFree(freeKiB * 1024));
        const ProgramRun r = bscDb(db, {QStringLiteral("export"), sheet, disk.filePath(name)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("No space left on device")) && r.err.contains(disk.filePath(name)),
                 qPrintable(r.err));
        QCOMPARE(disk.files(), QStringList());
    }

    // A year without rows is most likely mistyped: said so, nothing written.
    void exportOfAYearWithoutRowsWritesNothing_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("message");
        QTest::newRow("key figures") << "kennzahlen" << "2099" << "holds no key figures of the year 2099";
        QTest::newRow("measures") << "massnahmen" << "2004" << "holds no measures of the year 2004";
    }
    void exportOfAYearWithoutRowsWritesNothing()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, year);
        QFETCH(QString, message);
        const QString db = demo(QStringLiteral("leer-%1.sqlite").arg(sheet));
        const QString target = file(QStringLiteral("leer-%1.csv").arg(sheet));
        const ProgramRun r = bscDb(db, {QStringLiteral("export"), sheet, QStringLiteral("--year"), year, target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(leftovers(m_dir.path()), QStringList());
    }

    // What a file holds is quoted in messages with its control characters
    // escaped: an escape sequence never reaches the terminal.
    void importMessagesShowControlCharactersEscaped()
    {
        const QString db = demo(QStringLiteral("steuer.sqlite"));
        const QString csv = file(QStringLiteral("steuer.csv"));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv}).status, 0);
        QList<QStringList> rows = records(contents(csv));
        const int row = recordOf(rows, QStringLiteral("kz_liqui"), QStringLiteral("2005"));
        rows[row][columnOf(rows, QStringLiteral("Ist_Wert_Q1"))] = QStringLiteral("\x1b]0;owned\x07\x1b[2J");
        rows[0] << QStringLiteral("\x1b[31mrot");
        for (int i = 1; i < rows.size(); ++i)
            rows[i] << QString();
        save(csv, joined(rows, QLatin1Char(','), true, "\r\n"));
        const QByteArray before = digest(db);
        const ProgramRun r = bscDb(db, {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv, QStringLiteral("--yes")});
        QCOMPARE(r.status, 1);
        QVERIFY2(!r.err.contains(QChar(0x1b)) && !r.err.contains(QChar(0x07)), qPrintable(r.err));
        QVERIFY2(r.err.contains(QLatin1String("\\x1b]0;owned\\x07\\x1b[2J")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QLatin1String("\\x1b[31mrot")), qPrintable(r.err));
        QCOMPARE(digest(db), before);
    }

    // The workbook is read by openpyxl: the same values as the CSV, numbers
    // as numbers, empty values as empty cells, the header bold and frozen.
    void theWorkbookHoldsWhatTheCsvHolds_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("kennzahlen") << "kennzahlen";
        QTest::newRow("massnahmen") << "massnahmen";
    }
    void theWorkbookHoldsWhatTheCsvHolds()
    {
        QFETCH(QString, sheet);
        const QString db = demo(QStringLiteral("mappe-%1.sqlite").arg(sheet));
        change(db, QStringLiteral("UPDATE kz_marktanteil SET Ist_Wert_Q2=NULL WHERE Jahr='2006'"));
        change(db, QStringLiteral("UPDATE \"maßnahmen\" SET \"Verantwortlicher\"=NULL WHERE Nr=2"));
        const QString csv = file(QStringLiteral("mappe-%1.csv").arg(sheet));
        const QString xlsx = file(QStringLiteral("mappe-%1.xlsx").arg(sheet));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), sheet, csv}).status, 0);
        QCOMPARE(bscDb(db, {QStringLiteral("export"), sheet, xlsx}).status, 0);

        const ProgramRun py = runProgram(Python, {QStringLiteral("-c"), QStringLiteral(
                                  "import json, sys, openpyxl\n"
                                  "book = openpyxl.load_workbook(sys.argv[1])\n"
                                  "page = book.active\n"
                                  "print(json.dumps({'sheets': book.sheetnames, 'frozen': page.freeze_panes,\n"
                                  "    'bold': all(c.font.b for c in page[1]),\n"
                                  "    'rows': [[c.value for c in row] for row in page.iter_rows()]}))\n"), xlsx});
        QVERIFY2(py.status == 0, qPrintable(py.err));
        const QJsonObject book = QJsonDocument::fromJson(py.out.toUtf8()).object();
        QCOMPARE(book[QLatin1String("sheets")].toArray(), QJsonArray{sheet});
        QCOMPARE(book[QLatin1String("frozen")].toString(), QStringLiteral("A2"));
        QVERIFY(book[QLatin1String("bold")].toBool());

        const QList<QStringList> rows = records(contents(csv));
        const QJsonArray cells = book[QLatin1String("rows")].toArray();
        QCOMPARE(cells.size(), rows.size());
        int numbers = 0, empties = 0;
        for (int r = 0; r < rows.size(); ++r) {
            const QJsonArray row = cells[r].toArray();
            QCOMPARE(row.size(), rows[r].size());
            for (int c = 0; c < row.size(); ++c) {
                const QString header = rows[0][c];
                const bool numeric = r > 0 && (header.contains(QLatin1String("_Wert_")) || header == QLatin1String("Nr"));
                if (rows[r][c].isEmpty()) {
                    QVERIFY2(row[c].isNull(), qPrintable(QStringLiteral("row %1, %2").arg(r).arg(header)));
                    ++empties;
                } else if (numeric) {
                    QVERIFY2(row[c].isDouble(), qPrintable(QStringLiteral("row %1, %2").arg(r).arg(header)));
                    QCOMPARE(QString::number(row[c].toInteger()), rows[r][c]);
                    ++numbers;
                } else {
                    QCOMPARE(row[c].toString(), rows[r][c]);
                }
            }
        }
        QVERIFY(numbers > 0);
        QVERIFY(empties > 0);
    }

    void yearLimitsEitherExport_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("yearColumn");
        QTest::newRow("kennzahlen") << "kennzahlen" << 4;
        QTest::newRow("massnahmen") << "massnahmen" << 7;
    }
    void yearLimitsEitherExport()
    {
        QFETCH(QString, sheet);
        QFETCH(int, yearColumn);
        const QString db = demo(QStringLiteral("jahr-%1.sqlite").arg(sheet));
        const QString csv = file(QStringLiteral("jahr-%1.csv").arg(sheet));
        QCOMPARE(bscDb(db, {QStringLiteral("export"), sheet, QStringLiteral("--year"), QStringLiteral("2005"), csv}).status, 0);
        const QList<QStringList> rows = records(contents(csv));
        const int expected = sheet == QLatin1String("kennzahlen")
            ? ScorecardKatalog::TableCount
            : stored(db, QStringLiteral("SELECT count(*) FROM \"maßnahmen\" WHERE Jahr='2005'")).toInt();
        QVERIFY(expected > 1);
        QCOMPARE(rows.size() - 1, expected);
        for (const QStringList &row : rows.mid(1))
            QCOMPARE(row[yearColumn], QStringLiteral("2005"));

        for (const QString &year : {QStringLiteral("05"), QStringLiteral("20x5"), QString()}) {
            const QString other = file(QStringLiteral("jahr-%1-falsch.csv").arg(sheet));
            const ProgramRun r = bscDb(db, {QStringLiteral("export"), sheet, other, QStringLiteral("--year"), year});
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QLatin1String("not a year of four digits")), qPrintable(r.err));
            QVERIFY(!QFile::exists(other));
        }
    }

    void anExistingFileIsReplacedOnlyWithForce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << "vorhanden.csv";
        QTest::newRow("xlsx") << "vorhanden.xlsx";
    }
    void anExistingFileIsReplacedOnlyWithForce()
    {
        QFETCH(QString, name);
        const QString db = demo(QStringLiteral("vorhanden-%1.sqlite").arg(QTest::currentDataTag()));
        const QString folder = file(QStringLiteral("ordner-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        const QString target = QDir(folder).filePath(name);
        save(target, "mine");
        ProgramRun r = bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("exists already")) && r.err.contains(QLatin1String("--force")), qPrintable(r.err));
        QCOMPARE(contents(target), QByteArray("mine"));

        r = bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), QStringLiteral("--force"), target});
        QCOMPARE(r.status, 0);
        QVERIFY(contents(target).size() > 1000);
        QCOMPARE(leftovers(folder), QStringList());

        // A failed export leaves the old file and nothing else.
        const QByteArray before = digest(target);
        change(db, QStringLiteral("DROP TABLE kz_reklamation"));
        r = bscDb(db, {QStringLiteral("export"), QStringLiteral("kennzahlen"), QStringLiteral("--force"), target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("kz_reklamation")), qPrintable(r.err));
        QCOMPARE(digest(target), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    void badExportsAndCommandLinesAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("other extension") << QStringList{"export", "kennzahlen", "@/tabelle.ods"} << 1 << ".csv or .xlsx";
        QTest::newRow("no extension") << QStringList{"export", "massnahmen", "@/tabelle"} << 1 << ".csv or .xlsx";
        QTest::newRow("missing folder") << QStringList{"export", "kennzahlen", "@/fehlt/t.csv"} << 1 << "does not exist";
        QTest::newRow("no file") << QStringList{"export", "kennzahlen"} << 2 << "Usage";
        QTest::newRow("two files") << QStringList{"export", "kennzahlen", "@/a.csv", "@/b.csv"} << 2 << "Usage";
        QTest::newRow("unknown sheet") << QStringList{"export", "ziele", "@/a.csv"} << 2 << "Usage";
        QTest::newRow("unknown option") << QStringList{"export", "kennzahlen", "--all", "@/a.csv"} << 2 << "Usage";
        QTest::newRow("measures import") << QStringList{"import", "massnahmen", "@/a.csv"} << 2 << "Usage";
        QTest::newRow("import with a year") << QStringList{"import", "kennzahlen", "@/a.csv", "--year", "2005"} << 2 << "Usage";
        QTest::newRow("missing import file") << QStringList{"import", "kennzahlen", "@/fehlt.csv"} << 1 << "File not found";
    }
    void badExportsAndCommandLinesAreRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const QString folder = file(QStringLiteral("falsch-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        const QString db = demo(QStringLiteral("falsch-%1.sqlite").arg(QTest::currentDataTag()));
        for (QString &arg : args)
            arg.replace(QLatin1Char('@'), folder);
        const QByteArray before = digest(db);
        const ProgramRun r = bscDb(db, args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(digest(db), before);
    }

    // At a terminal the import asks; only "y" writes.
    void aTerminalIsAskedBeforeWriting_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("writes");
        QTest::newRow("y") << QByteArray("y") << true;
        QTest::newRow("yes") << QByteArray("Yes") << true;
        QTest::newRow("n") << QByteArray("n") << false;
        QTest::newRow("nothing") << QByteArray("") << false;
    }
    void aTerminalIsAskedBeforeWriting()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, writes);
        const QString db = empty(QStringLiteral("terminal-%1.sqlite").arg(QTest::currentDataTag()));
        const QByteArray before = digest(db);
        // A pseudo-terminal as standard input; the answer follows the question.
        const ProgramRun r = runProgram(Python, {QStringLiteral("-c"), QStringLiteral(
                                 "import os, pty, sys\n"
                                 "pid, fd = pty.fork()\n"
                                 "if pid == 0:\n"
                                 "    os.execv(sys.argv[1], sys.argv[1:4] + [sys.argv[4]])\n"
                                 "seen = b''\n"
                                 "while b'[y/N]' not in seen:\n"
                                 "    chunk = os.read(fd, 1024)\n"
                                 "    if not chunk: break\n"
                                 "    seen += chunk\n"
                                 "os.write(fd, sys.argv[5].encode() + b'\\n')\n"
                                 "while True:\n"
                                 "    try:\n"
                                 "        chunk = os.read(fd, 1024)\n"
                                 "    except OSError:\n"
                                 "        break\n"
                                 "    if not chunk: break\n"
                                 "    seen += chunk\n"
                                 "sys.stdout.write(seen.decode())\n"
                                 "sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))\n"),
                                 QStringLiteral(BSC_DB_EXE), QStringLiteral("import"), QStringLiteral("kennzahlen"),
                                 fixture(QStringLiteral("german-semicolons.csv")), QString::fromLatin1(answer)},
                             onDatabase(db));
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("Write these changes? [y/N]")), qPrintable(r.out));
        QCOMPARE(r.out.contains(QLatin1String("Wrote 2 changes")), writes);
        if (writes)
            QCOMPARE(stored(db, QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_liqui WHERE Jahr='2005'")).toInt(), 7);
        else
            QCOMPARE(digest(db), before);
    }

    // The plan keeps what it read: a row another program changed meanwhile
    // stops the whole import, and the rows before it are rolled back.
    void applyingIsAllOrNothing()
    {
        TestDatabase db(true);
        Database &alias = db.database();
        Spreadsheet::Sheet sheet = Spreadsheet::kennzahlen(alias, QStringLiteral("2006"));
        for (QVariantList &row : sheet.rows)
            row[5] = row[5].toLongLong() + 1;   // Ist_Wert_Q1 of every table
        const Spreadsheet::Plan plan = Spreadsheet::planKennzahlenImport(alias, Spreadsheet::csv(sheet));
        QVERIFY(plan.ok());
        QCOMPARE(plan.changes.size(), ScorecardKatalog::TableCount);

        const QVariant first = db.value(QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_ges_renta WHERE Jahr='2006'"));
        db.sql(QStringLiteral("UPDATE kz_reklamation SET Ist_Wert_Q1=Ist_Wert_Q1+5 WHERE Jahr='2006'"));
        try {
            Spreadsheet::apply(alias, plan);
            QFAIL("a row changed meanwhile was written over");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains(QLatin1String("kz_reklamation, year 2006 was changed by another program")),
                     qPrintable(e.message()));
        }
        QCOMPARE(db.value(QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_ges_renta WHERE Jahr='2006'")), first);

        // Planned anew, it goes through.
        const Spreadsheet::Plan again = Spreadsheet::planKennzahlenImport(alias, Spreadsheet::csv(sheet));
        Spreadsheet::apply(alias, again);
        QCOMPARE(db.value(QStringLiteral("SELECT Ist_Wert_Q1 FROM kz_ges_renta WHERE Jahr='2006'")).toLongLong(),
                 first.toLongLong() + 1);
        QVERIFY(Spreadsheet::planKennzahlenImport(alias, Spreadsheet::csv(sheet)).changes.isEmpty());
    }

    void aWorkbookCellTooLongIsNamed()
    {
        TestDatabase db(true);
        db.sql(QStringLiteral("UPDATE \"maßnahmen\" SET \"Prozesse\"=? WHERE Nr=3"), {QString(40000, QLatin1Char('x'))});
        Database &alias = db.database();
        const QString target = file(QStringLiteral("lang.xlsx"));
        try {
            Spreadsheet::write({{target, {Spreadsheet::massnahmen(alias)}}}, false);
            QFAIL("the text was cut or written");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains(QLatin1String("cell C4 (Prozesse)")), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(target));
        QCOMPARE(leftovers(m_dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
