// The old program's Paradox tables brought into a new database: fixtures
// written with pxlib's own writer, read back value by value.
#include "fixture.h"
#include "fixture_paradox.h"

#include "core/legacyimport.h"
#include "core/memofile.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "platform/db/database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

extern "C" {
#include <paradox.h>
}

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int FirstYear = 2003;
constexpr int LastYear = 2010;
constexpr int CurrentYear = 2013;

QByteArray digest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// What a target holds, to compare before and after on either engine.
QString contents(const TestDatabase &db)
{
    QString all;
    for (const QString &table : ScorecardKatalog::allTables()) {
        QStringList columns;
        for (const QString &c : KennzahlSchema::valueColumns())
            columns << QStringLiteral("coalesce(\"%1\", -99999999)").arg(c);
        all += db.value(QStringLiteral("SELECT count(*) || ':' || sum(%1) FROM \"%2\"")
                            .arg(columns.join(QLatin1Char('+')), table))
                   .toString()
            + QLatin1Char(';');
    }
    return all + db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toString();
}

QString dateShown(const QDate &d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

// A key-figure table of its own for a fault: Jahr as alpha, values as numbers.
void writeFigureRows(const QString &folder, const QString &table, const QList<QVariantList> &rows)
{
    QList<OldTables::Column> columns{{QStringLiteral("Jahr"), pxfAlpha, 4}};
    for (const QString &c : KennzahlSchema::valueColumns())
        columns << OldTables::Column{c, pxfNumber, 8};
    for (const QString &name : QDir(folder).entryList({table + QStringLiteral(".*")}))
        QFile::remove(QDir(folder).filePath(name));
    OldTables::write(QFile::encodeName(QDir(folder).filePath(table + QStringLiteral(".db"))), columns, rows, 1252);
}

QVariantList yearRow(const QString &year, int column = -1, QVariant value = {})
{
    QVariantList row{year};
    for (int c = 0; c < KennzahlSchema::ValueColumnCount; ++c)
        row << (c == column ? value : QVariant(double(c)));
    return row;
}

} // namespace

class TestLegacy : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_folders = 0;

    // A folder with the fourteen tables of the old program.
    QString oldFolder(int measures = 20, int codepage = 1252, const QByteArray &base = "ma\xdfnahmen")
    {
        const QString folder = m_dir.filePath(QStringLiteral("old%1").arg(++m_folders));
        QDir().mkpath(folder);
        OldTables::writeFigures(folder, FirstYear, LastYear);
        if (measures > 0)
            OldTables::writeMeasures(folder, base, OldTables::sampleMeasures(measures), codepage);
        return folder;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }
    // Names in a Windows code page are not Unicode text; remove them by their bytes.
    void cleanupTestCase() { std::filesystem::remove_all(QFile::encodeName(m_dir.path()).toStdString()); }

    void importsEveryValueAndMeasure_data()
    {
        QTest::addColumn<int>("codepage");
        QTest::addColumn<QByteArray>("base");
        QTest::newRow("CP1252, name in CP1252") << 1252 << QByteArray("ma\xdfnahmen");
        QTest::newRow("CP850, name in CP850") << 850 << QByteArray("ma\xe1nahmen");
        QTest::newRow("CP1252, name in UTF-8") << 1252 << QByteArray("ma\xc3\x9fnahmen");
        QTest::newRow("CP850, name with SS") << 850 << QByteArray("MASSNAHMEN");
    }

    void importsEveryValueAndMeasure()
    {
        QFETCH(int, codepage);
        QFETCH(QByteArray, base);
        // More than one block of small memo slots, and texts in blocks of their own.
        const QList<OldTables::Measure> measures = OldTables::sampleMeasures(150);
        const QString folder = oldFolder(0);
        OldTables::writeMeasures(folder, base, measures, codepage);

        const LegacyImport::Plan plan = LegacyImport::plan(folder);
        QStringList faults;
        for (const LegacyImport::Fault &f : plan.faults)
            faults << f.text();
        QVERIFY2(plan.ok(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(plan.notes.join(QLatin1Char('\n')).contains(QLatin1String("Bemerkung")));
        QCOMPARE(plan.tables.size(), 14);
        QCOMPARE(plan.tables.last().values, 150);

        TestDatabase db(false, CurrentYear);
        LegacyImport::apply(db.database(), plan, CurrentYear);

        const QStringList tables = ScorecardKatalog::allTables();
        for (int t = 0; t < tables.size(); ++t) {
            QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(tables[t])).toInt(), 2014 - 2003 + 1);
            for (int year = FirstYear; year <= LastYear; ++year) {
                for (int c = 0; c < KennzahlSchema::ValueColumnCount; ++c) {
                    const QVariant stored = db.value(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"Jahr\"=?")
                                                         .arg(KennzahlSchema::valueColumns()[c], tables[t]),
                                                     {QString::number(year)});
                    const QVariant wanted = OldTables::figure(t, year, c);
                    QVERIFY2(stored.isNull() == wanted.isNull() && stored.toInt() == wanted.toInt(),
                             qPrintable(QStringLiteral("%1 %2 %3: %4, not %5").arg(tables[t]).arg(year)
                                            .arg(KennzahlSchema::valueColumns()[c], stored.toString(), wanted.toString())));
                }
            }
            QVERIFY(db.value(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM \"%1\" WHERE \"Jahr\"='2014'").arg(tables[t])).isNull());
        }

        qint64 largest = 0;
        for (const OldTables::Measure &m : measures)
            largest = qMax(largest, m.nr.toLongLong());
        for (const OldTables::Measure &m : measures) {
            const qint64 nr = m.nr.isNull() ? largest + 1 : m.nr.toLongLong();
            const QStringList columns{QStringLiteral("Maßnahme"), QStringLiteral("Prozesse"), QStringLiteral("Gültig_ab"),
                                      QStringLiteral("Gültig_bis"), QStringLiteral("Verantwortlicher"),
                                      QStringLiteral("Erfüllungsgrad_in_%"), QStringLiteral("Jahr"), QStringLiteral("Ziel")};
            QString until = dateShown(m.until.date());
            if (m.until.time() != QTime(0, 0))
                until += QLatin1Char(' ') + m.until.time().toString(QStringLiteral("hh:mm:ss"));
            const QStringList wanted{QString(m.text).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                                     QString(m.processes).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                                     dateShown(m.from), until, m.responsible, QString::number(m.completion), m.year, m.goal};
            for (int c = 0; c < columns.size(); ++c) {
                const QString stored = db.value(QStringLiteral("SELECT \"%1\" FROM \"maßnahmen\" WHERE \"Nr\"=?").arg(columns[c]),
                                                {nr}).toString();
                QVERIFY2(stored == wanted[c], qPrintable(QStringLiteral("Nr %1 %2: %3, not %4").arg(nr).arg(columns[c], stored.left(80), wanted[c].left(80))));
            }
        }
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 150);

        // A measure appended later gets the number after the largest.
        db.database().insert(db.database().wholeTable(QStringLiteral("maßnahmen")), {8}, {QStringLiteral("x")});
        QCOMPARE(db.value(QStringLiteral("SELECT max(\"Nr\") FROM \"maßnahmen\"")).toLongLong(), largest + 2);
    }

    void commandWritesWithYesOnlyAndTheCheckPasses()
    {
        TestDatabase db(false, QDate::currentDate().year());
        const QString folder = oldFolder();
        const QString before = contents(db);

        ProgramRun r = bscDb(db.path(), {QStringLiteral("import-legacy"), folder});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("kz_liqui: 8 rows read from KZ_LIQUI.DB")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("maßnahmen: 20 rows read from")), qPrintable(r.out));
        QVERIFY(r.out.contains(QLatin1String("Nothing was written")));
        QCOMPARE(contents(db), before);

        r = bscDb(db.path(), {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QLatin1String("Imported the old tables")));
        r = bscDb(db.path(), {QStringLiteral("check")});
        QVERIFY2(r.status == 0, qPrintable(r.out));
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 20);
        QCOMPARE(db.value(QStringLiteral("SELECT \"Soll_Wert_Q1\" FROM \"kz_liqui\" WHERE \"Jahr\"='2005'")).toInt(),
                 OldTables::figure(2, 2005, 1).toInt());
        // Every imported row is in the change history once, with the file
        // it came from; the values are the row's own.
        r = bscDb(db.path(), {QStringLiteral("history"), QStringLiteral("--table"), QStringLiteral("kz_liqui"),
                              QStringLiteral("--year"), QStringLiteral("2005"), QStringLiteral("--csv")});
        QVERIFY2(r.out.contains(QStringLiteral(",import-legacy,kz_liqui,2005,,,KZ_LIQUI.DB\n")), qPrintable(r.out));
        QCOMPARE(r.out.count(QLatin1Char('\n')), 2);
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM bsc_history WHERE source='import-legacy' "
                                         "AND table_name='maßnahmen'")).toInt(), 20);
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM bsc_history WHERE source='import-legacy' "
                                         "AND table_name LIKE 'kz_%'")).toInt(), 13 * (LastYear - FirstYear + 1));
        const int recorded = db.value(QStringLiteral("SELECT count(*) FROM bsc_history")).toInt();

        // Twice is refused: the target holds data now.
        const QString after = contents(db);
        r = bscDb(db.path(), {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("holds data already")), qPrintable(r.err));
        QCOMPARE(contents(db), after);
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM bsc_history")).toInt(), recorded);
    }

    void atATerminalItWritesAfterY_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("measures");
        QTest::newRow("y") << "y" << 20;
        QTest::newRow("no") << "n" << 0;
        QTest::newRow("nothing") << "" << 0;
    }
    void atATerminalItWritesAfterY()
    {
        QFETCH(QString, answer);
        QFETCH(int, measures);
        TestDatabase db(false, CurrentYear);
        const QString folder = oldFolder();
        // bsc-db on a pseudo-terminal: the answer is typed after the question.
        const QString script = QStringLiteral(
            "import os, pty, sys\n"
            "pid, fd = pty.fork()\n"
            "if pid == 0:\n"
            "    os.execv(sys.argv[1], [sys.argv[1], 'import-legacy', sys.argv[2]])\n"
            "out = b''\n"
            "while b'[y/N]' not in out:\n"
            "    out += os.read(fd, 4096)\n"
            "os.write(fd, sys.argv[3].encode() + b'\\n')\n"
            "while True:\n"
            "    try:\n"
            "        chunk = os.read(fd, 4096)\n"
            "    except OSError:\n"
            "        break\n"
            "    if not chunk:\n"
            "        break\n"
            "    out += chunk\n"
            "sys.stdout.write(out.decode())\n"
            "sys.exit(os.waitpid(pid, 0)[1] >> 8)\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), db.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, QStringLiteral(BSC_DB_EXE), folder, answer});
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(p.exitCode() == 0, qPrintable(out + QString::fromUtf8(p.readAllStandardError())));
        QVERIFY2(out.contains(measures ? QLatin1String("Imported the old tables") : QLatin1String("Nothing was written")),
                 qPrintable(out));
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), measures);
    }

    void missingMeasuresTableImportsNoMeasures()
    {
        TestDatabase db(false, CurrentYear);
        const LegacyImport::Plan plan = LegacyImport::plan(oldFolder(0));
        QVERIFY(plan.ok());
        QVERIFY2(plan.notes.join(QLatin1Char('\n')).contains(QLatin1String("no measures are imported")),
                 qPrintable(plan.notes.join(QLatin1Char('\n'))));
        LegacyImport::apply(db.database(), plan, CurrentYear);
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 0);
        QVERIFY(!OldTables::figure(12, 2004, 13).isNull());
        QCOMPARE(db.value(QStringLiteral("SELECT \"Soll_Wert_Jahr\" FROM \"kz_reklamation\" WHERE \"Jahr\"='2004'")).toInt(),
                 OldTables::figure(12, 2004, 13).toInt());
    }

    void faultsChangeNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("fractional value") << "fractional"
            << QStringList{"kz_ges_renta.db, row 2 (year 2005), Ist_Wert_Q2: 12.5 is not a whole number"};
        QTest::newRow("value past the range") << "range"
            << QStringList{"kz_ges_renta.db, row 1 (year 2006), Soll_Wert_Jahr: 30000000 is outside the range"};
        QTest::newRow("year twice") << "duplicate"
            << QStringList{"kz_ges_renta.db, row 2 (year 2005), Jahr: the year is already in row 1"};
        QTest::newRow("missing table") << "missing" << QStringList{"kz_ges_renta.db: the table is missing"};
        QTest::newRow("not a table") << "garbage" << QStringList{"kz_ges_renta.db:"};
        QTest::newRow("record count past the file") << "count"
            << QStringList{"kz_ges_renta.db: the header counts 2147483647 records, more than the file holds"};
        QTest::newRow("table cut short") << "truncated" << QStringList{"kz_ges_renta.db: the file is shorter than its header says"};
        QTest::newRow("broken memo file") << "memo" << QStringList{"(ma", ".MB), row ", "(year 20", "Maßnahme: the memo file is damaged"};
        QTest::newRow("target with values") << "values" << QStringList{"holds data already: table kz_liqui has values in 1 row."};
        QTest::newRow("target with a measure") << "measure" << QStringList{"holds data already: 1 measure."};
    }

    void faultsChangeNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, expected);
        TestDatabase db(false, CurrentYear);
        const QString folder = oldFolder();
        const QString table = QStringLiteral("kz_ges_renta");
        if (fault == QLatin1String("fractional"))
            writeFigureRows(folder, table, {yearRow(QStringLiteral("2004")), yearRow(QStringLiteral("2005"), 2, 12.5)});
        else if (fault == QLatin1String("range"))
            writeFigureRows(folder, table, {yearRow(QStringLiteral("2006"), 13, 30000000.0)});
        else if (fault == QLatin1String("duplicate"))
            writeFigureRows(folder, table, {yearRow(QStringLiteral("2005")), yearRow(QStringLiteral("2005"))});
        else if (fault == QLatin1String("missing"))
            QVERIFY(QFile::remove(QDir(folder).filePath(table + QStringLiteral(".db"))));
        else if (fault == QLatin1String("garbage")) {
            QFile f(QDir(folder).filePath(table + QStringLiteral(".db")));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(3000, 'x'));
        } else if (fault == QLatin1String("count")) {
            QFile f(QDir(folder).filePath(table + QStringLiteral(".db")));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(6));
            f.write(QByteArray::fromHex("ffffff7f"));
        } else if (fault == QLatin1String("truncated")) {
            QFile f(QDir(folder).filePath(table + QStringLiteral(".db")));
            QVERIFY(f.resize(2048 + 100));
        } else if (fault == QLatin1String("memo")) {
            // The long texts lie in blocks of their own at the end: cut them off.
            const QByteArray memo = QFile::encodeName(folder) + "/ma\xdfnahmen.MB";
            struct stat info {};
            QVERIFY(::stat(memo.constData(), &info) == 0);
            QVERIFY(::truncate(memo.constData(), info.st_size - 3000) == 0);
        } else if (fault == QLatin1String("values"))
            db.setPair(QStringLiteral("kz_liqui"), QStringLiteral("2007"), QStringLiteral("Q3"), 5, QVariant());
        else if (fault == QLatin1String("measure"))
            db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Ziel\", \"Jahr\") VALUES ('x', '2005')"));

        const QByteArray bytes = TestDatabase::postgres() ? QByteArray() : digest(db.path());
        const QString before = contents(db);
        const ProgramRun r = bscDb(db.path(), {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QCOMPARE(r.status, 1);
        for (const QString &e : expected)
            QVERIFY2(r.err.contains(e), qPrintable(r.err));
        QVERIFY(r.err.contains(QLatin1String("nothing was written")));
        QCOMPARE(contents(db), before);
        if (!TestDatabase::postgres())
            QCOMPARE(digest(db.path()), bytes);
    }

    // Shapes the old engine writes and pxlib's writer does not: blob fields
    // without a leader, graphics, OLE and binary columns, formatted memos,
    // BCD numbers with 32 digits after the point.
    void readsTheShapesOfTheOldEngine()
    {
        const QString folder = oldFolder(0);
        const QByteArray big = OldTables::encode(QStringLiteral("Lange Maßnahme äöü ").repeated(250), 1252);
        const QList<QVariantList> rows{
            {1, QByteArray("Kurz"), OldTables::formattedMemo("Einkauf\r\nLager S\xfc" "d"), QByteArray("01.02.2005"),
             QByteArray("31.12.2005"), QByteArray("Fr. M\xfcller"), OldTables::bcd(QStringLiteral("0.12299999999999999800000000000001"), 32),
             QByteArray("2005"), QByteArray("Steigerung der Rentabilit\xe4t"), QByteArray("GIF89a\x01\x00\x01\x00", 10),
             QByteArray(300, '\x7f'), QByteArray("\x00\x01\x02", 3)},
            {2, big, QByteArray("Vertrieb"), {}, {}, {}, OldTables::bcd(QStringLiteral("-0.0625"), 32), QByteArray("2006"),
             QByteArray("x"), {}, {}, {}},
            {3, {}, {}, {}, {}, {}, {}, QByteArray("2007"), QByteArray("y"), {}, {}, {}},
        };
        const QByteArray base = QFile::encodeName(folder) + "/ma\xdfnahmen";
        OldTables::write(base + ".DB",
                         {{QStringLiteral("Nr"), pxfAutoInc, 4},
                          {QStringLiteral("Maßnahme"), pxfMemoBLOb, 10},
                          {QStringLiteral("Prozesse"), pxfFmtMemoBLOb, 10},
                          {QStringLiteral("Gültig_ab"), pxfAlpha, 10},
                          {QStringLiteral("Gültig_bis"), pxfAlpha, 10},
                          {QStringLiteral("Verantwortlicher"), pxfAlpha, 30},
                          {QStringLiteral("Erfüllungsgrad_in_%"), pxfBCD, 17, 32},
                          {QStringLiteral("Jahr"), pxfAlpha, 4},
                          {QStringLiteral("Ziel"), pxfAlpha, 60},
                          {QStringLiteral("Logo"), pxfGraphic, 10},
                          {QStringLiteral("Anlage"), pxfOLE, 10},
                          {QStringLiteral("Daten"), pxfBLOb, 10}},
                         rows, 1252, base + ".MB");

        const LegacyImport::Plan plan = LegacyImport::plan(folder);
        QStringList faults;
        for (const LegacyImport::Fault &f : plan.faults)
            faults << f.text();
        QVERIFY2(plan.ok(), qPrintable(faults.join(QLatin1Char('\n'))));
        const QString notes = plan.notes.join(QLatin1Char('\n'));
        for (const char *note : {"column Logo (graphic) is not one of the program's; it is left out",
                                 "column Anlage (OLE) is not", "column Daten (binary) is not",
                                 "formatted texts of column Prozesse are imported as plain text"})
            QVERIFY2(notes.contains(QLatin1String(note)), qPrintable(notes));

        TestDatabase db(false, CurrentYear);
        LegacyImport::apply(db.database(), plan, CurrentYear);
        auto stored = [&](int nr, const char *column) {
            return db.value(QStringLiteral("SELECT \"%1\" FROM \"maßnahmen\" WHERE \"Nr\"=?").arg(QString::fromUtf8(column)), {nr});
        };
        QCOMPARE(stored(1, "Maßnahme").toString(), QStringLiteral("Kurz"));
        QCOMPARE(stored(1, "Prozesse").toString(), QStringLiteral("Einkauf\nLager Süd"));
        QCOMPARE(stored(1, "Erfüllungsgrad_in_%").toString(), QStringLiteral("0.12299999999999999800000000000001"));
        QCOMPARE(stored(1, "Verantwortlicher").toString(), QStringLiteral("Fr. Müller"));
        QCOMPARE(stored(2, "Maßnahme").toString(), QStringLiteral("Lange Maßnahme äöü ").repeated(250));
        QCOMPARE(stored(2, "Prozesse").toString(), QStringLiteral("Vertrieb"));
        QCOMPARE(stored(2, "Erfüllungsgrad_in_%").toString(), QStringLiteral("-0.0625"));
        QVERIFY(stored(3, "Maßnahme").isNull());
        QVERIFY(stored(3, "Erfüllungsgrad_in_%").isNull());
    }

    // A real table's last block ends where its records end; a table whose
    // header names no code page is read in the one its language driver
    // stands for.
    void partlyFilledBlockAndLanguageDriver()
    {
        const QString folder = oldFolder(0);
        const QString table = QDir(folder).filePath(QStringLiteral("kz_liqui.db"));
        writeFigureRows(folder, QStringLiteral("kz_liqui"),
                        {yearRow(QStringLiteral("2004"), 3, 7.0), yearRow(QStringLiteral("2005"), 3, -8.0)});
        {
            QFile f(table);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const QByteArray head = f.read(4);
            const int recordSize = uchar(head[0]) | uchar(head[1]) << 8;
            const int headerSize = uchar(head[2]) | uchar(head[3]) << 8;
            QVERIFY(f.size() > headerSize + 6 + 2 * recordSize);
            QVERIFY(f.resize(headerSize + 6 + 2 * recordSize));
        }
        const QString text = QStringLiteral("Größere Übergabe für Öztürk");
        const QByteArray base = QFile::encodeName(folder) + "/massnahmen";
        OldTables::write(base + ".db", {{QStringLiteral("Nr"), pxfLong, 4}, {QStringLiteral("Maßnahme"), pxfAlpha, 40},
                                        {QStringLiteral("Prozesse"), pxfAlpha, 4}, {QStringLiteral("Gültig_ab"), pxfAlpha, 4},
                                        {QStringLiteral("Gültig_bis"), pxfAlpha, 4}, {QStringLiteral("Verantwortlicher"), pxfAlpha, 4},
                                        {QStringLiteral("Erfüllungsgrad_in_%"), pxfAlpha, 4}, {QStringLiteral("Jahr"), pxfAlpha, 4},
                                        {QStringLiteral("Ziel"), pxfAlpha, 4}},
                         {{5, OldTables::encodeIn(text, "HP-ROMAN8"), {}, {}, {}, {}, {}, QByteArray("2005"), {}}}, 1252, {},
                         "HP-ROMAN8");
        OldTables::setLanguageDriver(QFile::decodeName(base + ".db"), "BLROM800");

        const LegacyImport::Plan plan = LegacyImport::plan(folder);
        QStringList faults;
        for (const LegacyImport::Fault &f : plan.faults)
            faults << f.text();
        QVERIFY2(plan.ok(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY2(plan.notes.join(QLatin1Char('\n')).contains(QLatin1String("language driver BLROM800 stands for HP Roman-8")),
                 qPrintable(plan.notes.join(QLatin1Char('\n'))));
        TestDatabase db(false, CurrentYear);
        LegacyImport::apply(db.database(), plan, CurrentYear);
        QCOMPARE(db.value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=5")).toString(), text);
        const QString column = KennzahlSchema::valueColumns()[3];
        QCOMPARE(db.value(QStringLiteral("SELECT \"%1\" FROM \"kz_liqui\" WHERE \"Jahr\"='2005'").arg(column)).toInt(), -8);
        QCOMPARE(db.value(QStringLiteral("SELECT \"%1\" FROM \"kz_liqui\" WHERE \"Jahr\"='2004'").arg(column)).toInt(), 7);
    }

    // Every fault names file, record, year and column; what is not a
    // table file is named as what it is, at once.
    void faultsSayWhereAndWhat_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("expected");
        QTest::newRow("formatted memo cut short") << "formatted"
            << "maßnahmen.DB, row 1 (year 2005), Prozesse: the formatted memo's structure cannot be read";
        QTest::newRow("nibble past 9") << "nibble"
            << "maßnahmen.DB, row 1 (year 2005), Erfüllungsgrad_in_%: the number holds the nibble c at digit 32, which is no decimal digit";
        QTest::newRow("fraction in a key figure") << "fraction"
            << "kz_ges_renta.db, row 2 (year 2005), Ist_Wert_Q1: 12.5 is not a whole number";
        QTest::newRow("encrypted memo file") << "encrypted" << "maßnahmen.DB (maßnahmen.MB), row 1 (year 2005), Maßnahme: the memo file is encrypted";
        QTest::newRow("table is a FIFO") << "fifo" << "KZ_LIQUI.DB: cannot be read: it is a named pipe (FIFO), not a file";
        QTest::newRow("memo file is a FIFO") << "memofifo"
            << "maßnahmen.DB (maßnahmen.MB), row 1 (year 2005), Maßnahme: the memo file cannot be read: it is a named pipe (FIFO), not a file";
        QTest::newRow("table is a folder") << "folder" << "KZ_LIQUI.DB: cannot be read: it is a folder, not a file";
    }

    void faultsSayWhereAndWhat()
    {
        QFETCH(QString, shape);
        QFETCH(QString, expected);
        const QString folder = oldFolder(0);
        const QByteArray base = QFile::encodeName(folder) + "/ma\xc3\x9fnahmen";
        auto measures = [&](const QVariant &memo, const QVariant &prozesse, const QVariant &grad) {
            OldTables::write(base + ".DB",
                             {{QStringLiteral("Nr"), pxfLong, 4}, {QStringLiteral("Maßnahme"), pxfMemoBLOb, 11},
                              {QStringLiteral("Prozesse"), pxfFmtMemoBLOb, 11}, {QStringLiteral("Gültig_ab"), pxfAlpha, 4},
                              {QStringLiteral("Gültig_bis"), pxfAlpha, 4}, {QStringLiteral("Verantwortlicher"), pxfAlpha, 4},
                              {QStringLiteral("Erfüllungsgrad_in_%"), pxfBCD, 17, 2}, {QStringLiteral("Jahr"), pxfAlpha, 4},
                              {QStringLiteral("Ziel"), pxfAlpha, 4}},
                             {{1, memo, prozesse, {}, {}, {}, grad, QByteArray("2005"), {}}}, 1252, base + ".MB");
        };
        const QString liqui = QDir(folder).filePath(QStringLiteral("KZ_LIQUI.DB"));
        if (shape == QLatin1String("formatted"))
            measures({}, OldTables::formattedMemo("Einkauf", 500), {});
        else if (shape == QLatin1String("nibble"))
            measures({}, {}, OldTables::bcd(QStringLiteral("12.3?"), 2));
        else if (shape == QLatin1String("fraction"))
            writeFigureRows(folder, QStringLiteral("kz_ges_renta"),
                            {yearRow(QStringLiteral("2004")), yearRow(QStringLiteral("2005"), 0, 12.5)});
        else if (shape == QLatin1String("encrypted") || shape == QLatin1String("memofifo")) {
            measures(QByteArray(500, 'm'), {}, {});
            QFile::remove(QFile::decodeName(base + ".MB"));
            if (shape == QLatin1String("memofifo")) {
                QVERIFY(::mkfifo((base + ".MB").constData(), 0644) == 0);
            } else {
                QFile f(QFile::decodeName(base + ".MB"));
                QVERIFY(f.open(QIODevice::WriteOnly));
                QByteArray scrambled(3 * 4096, '\0');
                for (qsizetype i = 0; i < scrambled.size(); ++i)
                    scrambled[i] = char((i * 131 + 7) % 251 + 1);
                f.write(scrambled);
            }
        } else if (shape == QLatin1String("fifo")) {
            QVERIFY(QFile::remove(liqui));
            QVERIFY(::mkfifo(QFile::encodeName(liqui).constData(), 0644) == 0);
        } else if (shape == QLatin1String("folder")) {
            QVERIFY(QFile::remove(liqui));
            QVERIFY(QDir().mkdir(liqui));
        }
        const LegacyImport::Plan plan = LegacyImport::plan(folder);
        QStringList faults;
        for (const LegacyImport::Fault &f : plan.faults)
            faults << f.text();
        QVERIFY2(faults.join(QLatin1Char('\n')).contains(expected), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The sources are opened for reading only: read-only files, a read-only
    // mount and another user's readable files import, and none changes.
    void readOnlySourcesImportUnchanged()
    {
        SQLITE_ONLY();
        if (::geteuid() != 0)
            QSKIP("needs root: a read-only mount and another user");
        // A folder every user may read, outside the test's own.
        QTemporaryDir shared(QStringLiteral("/tmp/bsc-oldtables-XXXXXX"));
        QVERIFY(shared.isValid());
        shared.setAutoRemove(false);
        const OnExit removed([&] { std::filesystem::remove_all(QFile::encodeName(shared.path()).toStdString()); });
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                         | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                         | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                                         | QFileDevice::ExeGroup));
        const QString folder = shared.filePath(QStringLiteral("old"));
        QDir().mkpath(folder);
        OldTables::writeFigures(folder, FirstYear, LastYear);
        OldTables::writeMeasures(folder, "ma\xdfnahmen", OldTables::sampleMeasures(30), 1252);
        QStringList names = QDir(folder).entryList(QDir::Files);
        QMap<QString, QByteArray> before;
        for (const QString &name : names) {
            const QString file = QDir(folder).filePath(name);
            QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
            before.insert(name, digest(file));
        }
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                  | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup));

        // As another user (nobody), into a new database of a folder it owns.
        const QString targets = shared.filePath(QStringLiteral("targets"));
        QDir().mkpath(targets);
        QVERIFY(::chown(QFile::encodeName(targets).constData(), 65534, 65534) == 0);
        const QString asNobody = QDir(targets).filePath(QStringLiteral("nobody.sqlite"));
        const QStringList nobody{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")};
        if (runProgram(QStringLiteral("setpriv"), nobody + QStringList{QStringLiteral(BSC_DB_EXE), QStringLiteral("--version")}).status != 0)
            QSKIP("another user cannot run this build's bsc-db (its folder is private)");
        ProgramRun r = runProgram(QStringLiteral("setpriv"),
                                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                                   QStringLiteral(BSC_DB_EXE), QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")},
                                  onDatabase(asNobody));
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains(QLatin1String("Imported the old tables")), qPrintable(r.out));

        // As root through a read-only mount of the folder.
        const QString mounted = shared.filePath(QStringLiteral("mounted"));
        QDir().mkpath(mounted);
        const QString asRoot = m_dir.filePath(QStringLiteral("readonly-mount.sqlite"));
        r = runProgram(QStringLiteral("unshare"),
                       {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                        QStringLiteral("mount --bind \"$1\" \"$2\" && mount -o remount,bind,ro \"$2\" && \"$3\" import-legacy \"$2\" --yes"),
                        QStringLiteral("sh"), folder, mounted, QStringLiteral(BSC_DB_EXE)},
                       onDatabase(asRoot));
        if (r.err.contains(QLatin1String("mount:")) || r.err.contains(QLatin1String("unshare:")))
            QSKIP(qPrintable(QStringLiteral("no read-only mount here: ") + r.err));
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));

        for (const QString &target : {asNobody, asRoot}) {
            QSqlDatabase look = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
            look.setDatabaseName(target);
            QVERIFY(look.open());
            QSqlQuery q(look);
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 30);
            q.finish();
            look.close();
            look = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("look"));
        }
        for (const QString &name : names)
            QCOMPARE(digest(QDir(folder).filePath(name)), before.value(name));
        QCOMPARE(QDir(folder).entryList(QDir::Files), names);
    }

    // A database file that does not exist yet is created with the import,
    // in the same all-or-nothing write.
    void newTargetIsCreatedWithTheImport()
    {
        SQLITE_ONLY();
        const QString folder = oldFolder();
        const QString target = m_dir.filePath(QStringLiteral("new/projekt_bsc.sqlite"));
        ProgramRun r = bscDb(target, {QStringLiteral("import-legacy"), folder});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QLatin1String("(a new database)")), qPrintable(r.out));
        QVERIFY(!QFile::exists(target));
        r = bscDb(target, {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        r = bscDb(target, {QStringLiteral("check")});
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
        r = bscDb(target, {QStringLiteral("query"), QStringLiteral("select Soll_Wert_Q1 from kz_liqui where jahr=\"2005\"")});
        QVERIFY2(r.out.contains(QString::number(OldTables::figure(2, 2005, 1).toInt())), qPrintable(r.out));
        // Now it exists and holds data: refused.
        r = bscDb(target, {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("holds data already")), qPrintable(r.err));

        // Killed while it writes: no database under the name.
        const QString big = m_dir.filePath(QStringLiteral("bignew"));
        QDir().mkpath(big);
        OldTables::writeFigures(big, FirstYear, FirstYear + 24);
        OldTables::writeMeasures(big, "ma\xdfnahmen", OldTables::sampleMeasures(20000), 1252);
        const QString killed = m_dir.filePath(QStringLiteral("killed/projekt_bsc.sqlite"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), killed);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(BSC_DB_EXE), {QStringLiteral("import-legacy"), big, QStringLiteral("--yes")});
        QVERIFY(p.waitForStarted());
        bool ended = false;
        auto writing = [&] {
            return !QDir(QFileInfo(killed).path()).entryList({QStringLiteral("*-journal")}, QDir::Files).isEmpty();
        };
        while (!writing() && !ended)
            ended = p.waitForFinished(1) || p.state() == QProcess::NotRunning;
        QVERIFY2(!ended, "the import ended before it could be killed");
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished());
        QVERIFY(!QFile::exists(killed));
        // The next run clears what the killed one left and writes it all.
        r = bscDb(killed, {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(QDir(QFileInfo(killed).path()).entryList(QDir::Files), QStringList{QStringLiteral("projekt_bsc.sqlite")});
    }

    void memoReaderRefusesDamage_data()
    {
        QTest::addColumn<QByteArray>("trailer");   // offset, length, modification number
        QTest::addColumn<QString>("reason");
        auto trailer = [](quint32 place, quint32 size, quint16 mod) {
            QByteArray t(10, '\0');
            for (int i = 0; i < 4; ++i) {
                t[i] = char(place >> (8 * i));
                t[4 + i] = char(size >> (8 * i));
            }
            t[8] = char(mod);
            t[9] = char(mod >> 8);
            return t;
        };
        QTest::newRow("outside the file") << trailer(0x90ff, 5000, 1) << "outside the file";
        QTest::newRow("into the header") << trailer(0x00ff, 5000, 1) << "outside the file";
        QTest::newRow("not on a block") << trailer(0x1100, 50, 1) << "outside the file";
        QTest::newRow("single blob, wrong type") << trailer(0x10ff, 50, 1) << "block type 3";
        QTest::newRow("single blob, other size") << trailer(0x20ff, 4000, 2) << "holds 4500 bytes";
        QTest::newRow("single blob, other version") << trailer(0x20ff, 4500, 9) << "another version";
        QTest::newRow("slot past the table") << trailer(0x1040, 50, 1) << "slot 64";
        QTest::newRow("empty slot") << trailer(0x1005, 50, 1) << "slot 5 is empty";
        QTest::newRow("slot of another size") << trailer(0x103f, 200, 1) << "size does not match";
        QTest::newRow("small blob, other version") << trailer(0x103f, 50, 7) << "another version";
    }

    void memoReaderRefusesDamage()
    {
        QFETCH(QByteArray, trailer);
        QFETCH(QString, reason);
        // pxlib writes one small text (50 bytes, slot 63 of block 1) and one
        // large one (4500 bytes, block 2).
        const QString folder = m_dir.filePath(QStringLiteral("memo%1").arg(++m_folders));
        QDir().mkpath(folder);
        const QByteArray base = QFile::encodeName(folder) + "/t";
        OldTables::write(base + ".db", {{QStringLiteral("M"), pxfMemoBLOb, 20}},
                         {{QString(50, QLatin1Char('a'))}, {QString(4500, QLatin1Char('b'))}}, 1252, base + ".mb");
        const MemoFile memo(base + ".mb");
        QVERIFY(memo.problem().isEmpty());
        QByteArray field = QByteArray(10, 'z') + trailer;
        QByteArray text;
        QString why;
        QVERIFY(!memo.read(field.constData(), int(field.size()), &text, &why));
        QVERIFY2(why.contains(reason), qPrintable(why));

        // The same reader takes what pxlib wrote.
        field = QByteArray(10, 'z') + QByteArray::fromHex("3f10000032000000" "0100");
        QVERIFY2(memo.read(field.constData(), int(field.size()), &text, &why), qPrintable(why));
        QCOMPARE(text, QByteArray(50, 'a'));
    }

    void memoFileMissingOrForeign()
    {
        const QByteArray field = QByteArray(10, 'z') + QByteArray::fromHex("3f10000032000000" "0100");
        QByteArray text;
        QString why;
        QVERIFY(!MemoFile().read(field.constData(), int(field.size()), &text, &why));
        QVERIFY2(why.contains(QLatin1String("missing")), qPrintable(why));
        const QString foreign = m_dir.filePath(QStringLiteral("foreign.mb"));
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, 'q'));
        f.close();
        QVERIFY(!MemoFile(QFile::encodeName(foreign)).read(field.constData(), int(field.size()), &text, &why));
        QVERIFY2(why.contains(QLatin1String("not a memo file")), qPrintable(why));
    }

    void killDuringYesLeavesTheTargetAsItWas()
    {
        SQLITE_ONLY();
        TestDatabase db(false, CurrentYear);
        const QString folder = m_dir.filePath(QStringLiteral("big"));
        QDir().mkpath(folder);
        OldTables::writeFigures(folder, FirstYear, FirstYear + 24);
        OldTables::writeMeasures(folder, "ma\xdfnahmen", OldTables::sampleMeasures(20000), 1252);
        db.connection().close();
        const QByteArray before = digest(db.path());
        const QString journal = db.path() + QStringLiteral("-journal");

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), db.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(BSC_DB_EXE), {QStringLiteral("import-legacy"), folder, QStringLiteral("--yes")});
        QVERIFY(p.waitForStarted());
        // Killed while it writes: once the engine's journal is there.
        bool ended = false;
        while (!QFile::exists(journal) && !ended)
            ended = p.waitForFinished(1) || p.state() == QProcess::NotRunning;
        QVERIFY2(!ended, "the import ended before it could be killed");
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        // The next one to open the file finds it as it was.
        {
            QSqlDatabase look = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
            look.setDatabaseName(db.path());
            QVERIFY(look.open());
            QSqlQuery q(look);
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
            q.finish();
            look.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
        QCOMPARE(digest(db.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestLegacy)
#include "tst_legacy.moc"
