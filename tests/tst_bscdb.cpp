// bsc-db, run as a program the way people and scripts use it.
#include "fixture.h"
#include "fixture_disk.h"

#include "model/ampel.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"

#include <algorithm>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <memory>

namespace {

// bsc-db with a configuration folder of its own, where the alias is stored.
ProgramRun bscDbWithConfig(const QString &database, const QStringList &args, const QString &config)
{
    RunSettings settings;
    settings.set.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    return bscDb(database, args, settings);
}

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class FileLook {
public:
    explicit FileLook(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(path);
        db.open();
    }
    ~FileLook()
    {
        QSqlDatabase::database(QStringLiteral("look"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
    }
    QList<QVariantList> rows(const QString &sql) const
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("look")));
        q.exec(sql);
        QList<QVariantList> result;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            result << row;
        }
        return result;
    }
};

// A writer that dies before its commit leaves a hot journal.
void interruptWrite(const QString &path)
{
    QProcess writer;
    writer.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import os, sqlite3, sys\n"
                                                       "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                                       "c.execute('PRAGMA cache_size=1')\n"
                                                       "c.execute('BEGIN')\n"
                                                       "c.execute('UPDATE kz_liqui SET Ist_Wert_Jahr=77')\n"
                                                       "c.execute('UPDATE \"maßnahmen\" SET \"Prozesse\"=hex(randomblob(3000))')\n"
                                                       "os._exit(0)\n"),
                  path});
    QVERIFY(writer.waitForFinished(30000));
    QVERIFY(QFileInfo(path + QStringLiteral("-journal")).size() > 0);
}

} // namespace

class TestBscDb : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString fresh(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initCreatesFourteenStrictTablesWithOneRowPerYear()
    {
        const QString path = fresh(QStringLiteral("new/leer.sqlite"));
        const ProgramRun r = bscDb(path, {QStringLiteral("init")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(path));
        {
            FileLook c(path);
            const auto tables = c.rows(QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%'"));
            // The fourteen tables of the scorecard and the change history.
            QCOMPARE(tables.size(), 15);
            QVERIFY(std::any_of(tables.begin(), tables.end(),
                                [](const QVariantList &t) { return t[0].toString() == QLatin1String("bsc_history"); }));
            for (const QVariantList &t : tables)
                QVERIFY2(t[1].toString().endsWith(QLatin1String("STRICT")), qPrintable(t[0].toString()));
            const int last = qMax(2013, QDate::currentDate().year() + 1);
            for (const QString &table : ScorecardKatalog::allTables()) {
                const auto years = c.rows(QStringLiteral("SELECT \"Jahr\", \"Ist_Wert_Jahr\" FROM \"%1\" ORDER BY rowid").arg(table));
                QCOMPARE(years.size(), last - 2003 + 1);
                QCOMPARE(years.first()[0].toString(), QStringLiteral("2003"));
                QCOMPARE(years.last()[0].toString(), QString::number(last));
                QVERIFY(years.first()[1].isNull());
            }
            QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).first()[0].toInt(), 0);
        }
        QCOMPARE(bscDb(path, {QStringLiteral("query"), QStringLiteral("select jahr from kz_neuprod.db where jahr=\"2013\"")}).out,
                 QStringLiteral("Jahr\n2013\n"));
    }

    void initRefusesAnExistingFile()
    {
        const QString path = fresh(QStringLiteral("vorhanden.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        const QByteArray before = digest(path);
        for (const QStringList &args : {QStringList{QStringLiteral("init")}, QStringList{QStringLiteral("init"), QStringLiteral("--demo")}}) {
            const ProgramRun r = bscDb(path, args);
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QLatin1String("exists already")), qPrintable(r.err));
        }
        QCOMPARE(digest(path), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files), QStringList());
    }

    void demoDataGivesEveryColourAndSomeMeasures()
    {
        const QString path = fresh(QStringLiteral("demo.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        FileLook c(path);
        QSet<Ampel> seen;
        for (int ziel = 1; ziel <= 12; ++ziel) {
            for (int branche : {0, 1}) {
                const QString table = ScorecardKatalog::table(ziel, branche);
                for (const QVariantList &row : c.rows(QStringLiteral("SELECT \"Ist_Wert_Jahr\", \"Soll_Wert_Jahr\" FROM \"%1\"").arg(table))) {
                    QVERIFY(row[1].toInt() != 0);
                    QVERIFY(!(row[0].toInt() == 1 && row[1].toInt() == 1));
                    seen << judge(ziel, branche, View::Perspectives, row[0].toInt(), row[1].toInt());
                }
            }
        }
        QVERIFY(seen.contains(Ampel::Rot) && seen.contains(Ampel::Gelb) && seen.contains(Ampel::Gruen));
        const auto goals = c.rows(QStringLiteral("SELECT DISTINCT \"Ziel\", \"Jahr\" FROM \"maßnahmen\""));
        QVERIFY(goals.size() >= 4);
        for (const QVariantList &g : goals) {
            bool known = false;
            for (int ziel = 1; ziel <= 12; ++ziel)
                known |= g[0].toString() == ScorecardKatalog::zielText(ziel, 1);
            QVERIFY2(known, qPrintable(g[0].toString()));
        }
    }

    void addYearAddsToEveryTableOrNothing()
    {
        const QString path = fresh(QStringLiteral("jahre.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        QCOMPARE(bscDb(path, {QStringLiteral("add-year"), QStringLiteral("2040")}).status, 0);
        {
            FileLook c(path);
            for (const QString &table : ScorecardKatalog::allTables())
                QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"Jahr\"='2040'").arg(table)).first()[0].toInt(), 1);
        }
        const QByteArray before = digest(path);
        for (const char *year : {"2040", "2005", "20x5", "204", ""}) {
            const ProgramRun r = bscDb(path, {QStringLiteral("add-year"), QString::fromLatin1(year)});
            QCOMPARE(r.status, 1);
            QVERIFY(!r.err.isEmpty());
        }
        QCOMPARE(digest(path), before);

        // A year that only the last table has already: every other table
        // gets it; and a year deleted inside the range comes back.
        {
            FileLook c(path);
            c.rows(QStringLiteral("INSERT INTO kz_reklamation (\"Jahr\") VALUES ('2041')"));
            c.rows(QStringLiteral("DELETE FROM kz_liqui WHERE \"Jahr\"='2005'"));
        }
        const ProgramRun r = bscDb(path, {QStringLiteral("add-year"), QStringLiteral("2041")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QLatin1String("Added the missing years 2005, 2041")), qPrintable(r.out));
        FileLook c(path);
        for (const QString &table : ScorecardKatalog::allTables())
            QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"Jahr\" IN ('2005', '2041')").arg(table))
                         .first()[0].toInt(), 2);
        QCOMPARE(bscDb(path, {QStringLiteral("check")}).status, 0);
    }

    // A later year brings every year before it, so that check finds no gap;
    // a year far beyond the last one is a typing error.
    void addYearAddsEveryMissingYearUpToTheGivenOne()
    {
        const QString path = fresh(QStringLiteral("luecke.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        const int last = qMax(2013, QDate::currentDate().year() + 1);
        const int wanted = last + 64;
        ProgramRun r = bscDb(path, {QStringLiteral("add-year"), QString::number(wanted)});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("Added 64 years, %1 to %2").arg(last + 1).arg(wanted)), qPrintable(r.out));
        r = bscDb(path, {QStringLiteral("check")});
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
        {
            FileLook c(path);
            for (const QString &table : ScorecardKatalog::allTables()) {
                const auto years = c.rows(QStringLiteral("SELECT count(*), min(\"Jahr\"), max(\"Jahr\") FROM \"%1\" WHERE \"Jahr\">'%2'")
                                              .arg(table).arg(last));
                QCOMPARE(years.first()[0].toInt(), 64);
                QCOMPARE(years.first()[2].toString(), QString::number(wanted));
            }
        }
        const QByteArray before = digest(path);
        r = bscDb(path, {QStringLiteral("add-year"), QString::number(wanted + 101)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("more than 100 years after")), qPrintable(r.err));
        QCOMPARE(digest(path), before);
        r = bscDb(path, {QStringLiteral("add-year"), QString::number(wanted + 100)});
        QVERIFY2(r.status == 0 && r.out.contains(QLatin1String("Added 100 years")), qPrintable(r.out + r.err));
        QCOMPARE(bscDb(path, {QStringLiteral("check")}).status, 0);
    }

    void addYearTakesExactlyFourDigitsAfterTheLastYear_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line break after the digits") << "2030\n" << "not a year of four digits";
        QTest::newRow("blank after the digits") << "2030 " << "not a year of four digits";
        QTest::newRow("five digits") << "20300" << "not a year of four digits";
        QTest::newRow("zero") << "0000" << "not after the last year";
        QTest::newRow("before the first") << "1999" << "not after the last year";
        QTest::newRow("inside the range") << "2005" << "not after the last year";
        QTest::newRow("the last one") << "2040" << "not after the last year";
    }
    void addYearTakesExactlyFourDigitsAfterTheLastYear()
    {
        QFETCH(QString, year);
        QFETCH(QString, expected);
        const QString path = fresh(QStringLiteral("jahr-%1.sqlite").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        QCOMPARE(bscDb(path, {QStringLiteral("add-year"), QStringLiteral("2040")}).status, 0);
        const QByteArray before = digest(path);
        const ProgramRun r = bscDb(path, {QStringLiteral("add-year"), year});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err));
        QCOMPARE(digest(path), before);
    }

    // add-year, query and the program name a broken database the same way.
    void addYearReportsTheStateOfTheFileAsTheProgramDoes_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("locked") << "lock" << "locked by another";
        QTest::newRow("not a database") << "garbage" << "not a database";
        QTest::newRow("empty file") << "empty" << "Table does not exist: kz_ges_renta";
        QTest::newRow("table missing") << "drop" << "Table does not exist: kz_liqui";
    }
    void addYearReportsTheStateOfTheFileAsTheProgramDoes()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, expected);
        const QString path = fresh(QStringLiteral("kaputt-%1.sqlite").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        std::unique_ptr<FileLook> holder;
        if (breakage == QLatin1String("lock")) {
            holder = std::make_unique<FileLook>(path);
            holder->rows(QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (breakage == QLatin1String("drop")) {
            FileLook(path).rows(QStringLiteral("DROP TABLE kz_liqui"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (breakage == QLatin1String("garbage"))
                file.write(QByteArray(4096, '#'));
        }
        for (const QStringList &args : {QStringList{QStringLiteral("add-year"), QStringLiteral("2041")},
                                        QStringList{QStringLiteral("query"), QStringLiteral("select * from kz_liqui")}}) {
            const ProgramRun r = bscDb(path, args);
            QCOMPARE(r.status, 1);
            if (args[0] == QLatin1String("add-year") || breakage != QLatin1String("drop"))
                QVERIFY2(r.err.contains(expected.section(QLatin1Char(':'), 0, 0)), qPrintable(r.err));
        }
        if (holder)
            holder->rows(QStringLiteral("ROLLBACK"));
        else if (breakage == QLatin1String("drop"))
            QCOMPARE(FileLook(path).rows(QStringLiteral("SELECT count(*) FROM kz_ges_renta WHERE \"Jahr\"='2041'")).first()[0].toInt(), 0);
    }

    // Two runs at once on one target: exactly one creates it, the other says
    // it exists; a dangling link is a name that is taken, never written through.
    void initNeverReplacesAnything()
    {
        for (int attempt = 0; attempt < 12; ++attempt) {
            const QString path = fresh(QStringLiteral("wettlauf/%1.sqlite").arg(attempt));
            QProcess a, b;
            for (QProcess *p : {&a, &b}) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), path);
                p->setProcessEnvironment(env);
                p->start(QStringLiteral(BSC_DB_EXE), {QStringLiteral("init"), QStringLiteral("--demo")});
            }
            QVERIFY(a.waitForFinished(30000) && b.waitForFinished(30000));
            QCOMPARE(a.exitCode() + b.exitCode(), 1);
            QVERIFY(QString::fromUtf8((a.exitCode() ? a : b).readAllStandardError()).contains(QLatin1String("exists already")));
        }
        const QString link = fresh(QStringLiteral("link.sqlite"));
        const QString elsewhere = fresh(QStringLiteral("ziel-des-links.sqlite"));
        QVERIFY(QFile::link(elsewhere, link));
        const ProgramRun r = bscDb(link, {QStringLiteral("init")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("exists already")), qPrintable(r.err));
        QVERIFY(!QFile::exists(elsewhere));
    }

    void initRemovesWhatAKilledRunLeftBehind()
    {
        const QString path = fresh(QStringLiteral("reste/projekt.sqlite"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QStringList leftovers{path + QStringLiteral(".init-0badf00d.tmp"),
                                    path + QStringLiteral(".init-0badf00d.tmp-journal")};
        for (const QString &f : leftovers) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("half a database");
        }
        const QString other = fresh(QStringLiteral("reste/anderes.sqlite.init-12345678.tmp"));
        QFile(other).open(QIODevice::WriteOnly);
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        for (const QString &f : leftovers)
            QVERIFY2(!QFile::exists(f), qPrintable(f));
        QVERIFY(QFile::exists(other));   // another target's file is not ours to remove
    }

    void writeErrorsOnStandardOutputAreFailures()
    {
        const QString path = fresh(QStringLiteral("voll.sqlite"));
        const QString full = QStringLiteral("/dev/full");
        QCOMPARE(bscDb(path, {QStringLiteral("path")}, {.stdoutFile = full}).status, 1);
        const ProgramRun init = bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}, {.stdoutFile = full});
        QCOMPARE(init.status, 1);
        QVERIFY2(init.err.contains(QLatin1String("could not write")), qPrintable(init.err));
        const ProgramRun q = bscDb(path, {QStringLiteral("query"), QStringLiteral("select * from maßnahmen")}, {.stdoutFile = full});
        QCOMPARE(q.status, 1);
        QVERIFY2(q.err.contains(QLatin1String("could not write")), qPrintable(q.err));
    }

    // A database file or a backup on a full disk: the cause is named and
    // nothing is left behind.
    void fullDiskLeavesNoDatabaseFile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("freeKiB");
        for (int kib : {0, 16, 64}) {
            QTest::addRow("init, %d KiB free", kib) << "init" << kib;
            QTest::addRow("backup, %d KiB free", kib) << "backup" << kib;
        }
    }
    void fullDiskLeavesNoDatabaseFile()
    {
        QFETCH(QString, command);
        QFETCH(int, freeKiB);
        SmallDisk disk;
        REQUIRE_SMALL_DISK(disk);
        const QString original = fresh(QStringLiteral("voll-%1-%2.sqlite").arg(command).arg(freeKiB));
        QCOMPARE(bscDb(original, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        QVERIFY(disk.leaveFree(freeKiB * 1024));
        const QString target = disk.filePath(QStringLiteral("neu.sqlite"));
        const ProgramRun r = command == QLatin1String("init") ? bscDb(target, {QStringLiteral("init"), QStringLiteral("--demo")})
                                                          : bscDb(original, {QStringLiteral("backup"), target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("disk is full")) || r.err.contains(QLatin1String("No space left on device")),
                 qPrintable(r.err));
        QCOMPARE(disk.files(), QStringList());
    }

    void statementsOverTheEnginesLimitsGetAShortMessage()
    {
        const QString path = fresh(QStringLiteral("grenzen.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        const QString columns = QStringList(2500, QStringLiteral("ist_wert_q1")).join(QLatin1Char(','));
        const ProgramRun r = bscDb(path, {QStringLiteral("query"), QStringLiteral("select ") + columns + QStringLiteral(" from kz_liqui")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.size() < 600 && r.err.contains(QLatin1String("too many columns")), qPrintable(r.err.left(800)));
    }

    void backupIsAConsistentCopyAndNeverReplacesAFile()
    {
        const QString path = fresh(QStringLiteral("original.sqlite"));
        const QString copy = fresh(QStringLiteral("sicherung.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);

        // A change still open in another connection is not in the copy.
        {
            FileLook writer(path);
            writer.rows(QStringLiteral("BEGIN IMMEDIATE"));
            writer.rows(QStringLiteral("UPDATE kz_liqui SET \"Ist_Wert_Jahr\"=999 WHERE \"Jahr\"='2005'"));
            const ProgramRun r = bscDb(path, {QStringLiteral("backup"), copy});
            QCOMPARE(r.status, 0);
            writer.rows(QStringLiteral("COMMIT"));
        }
        {
            FileLook c(copy);
            QCOMPARE(c.rows(QStringLiteral("PRAGMA integrity_check")).first()[0].toString(), QStringLiteral("ok"));
            QVERIFY(c.rows(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM kz_liqui WHERE \"Jahr\"='2005'")).first()[0].toInt() != 999);
            QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).first()[0].toInt(),
                     FileLook(path).rows(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).first()[0].toInt());
        }
        QCOMPARE(bscDb(copy, {QStringLiteral("check")}).status, 0);

        const QByteArray before = digest(copy);
        ProgramRun r = bscDb(path, {QStringLiteral("backup"), copy});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QLatin1String("exists already")));
        QCOMPARE(digest(copy), before);

        // A writer holding the whole file: the lock is reported, no file appears.
        const QString second = fresh(QStringLiteral("zweite.sqlite"));
        {
            FileLook writer(path);
            writer.rows(QStringLiteral("BEGIN EXCLUSIVE"));
            writer.rows(QStringLiteral("UPDATE kz_liqui SET \"Ist_Wert_Jahr\"=998 WHERE \"Jahr\"='2005'"));
            r = bscDb(path, {QStringLiteral("backup"), second});
            writer.rows(QStringLiteral("ROLLBACK"));
        }
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("locked")), qPrintable(r.err));
        QVERIFY(!QFile::exists(second));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files), QStringList());
    }

    // An empty name is a name left out: never the current folder, never
    // the stored address removed.
    void emptyArgumentsAreNamed_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backup") << QStringList{"backup", ""} << "backup needs FILE";
        QTest::newRow("copy to") << QStringList{"copy", "@", ""} << "copy needs TO";
        QTest::newRow("copy from") << QStringList{"copy", "", "@.kopie"} << "copy needs FROM";
        QTest::newRow("alias set") << QStringList{"alias", "set", ""} << "alias needs TARGET";
    }
    void emptyArgumentsAreNamed()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const QString path = fresh(QStringLiteral("leer-%1.sqlite").arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        for (QString &arg : args)
            arg.replace(QLatin1Char('@'), path);
        const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
        const ProgramRun r = bscDb(path, args);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
    }

    // After a crash in the middle of a write (a hot journal beside the file)
    // the commands that only read roll the interrupted write back and go on.
    void readingCommandsRecoverAnInterruptedWrite_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("check") << QStringList{"check"} << "No faults found";
        QTest::newRow("backup") << QStringList{"backup", "@.sicherung"} << "Wrote a copy";
        QTest::newRow("export") << QStringList{"export", "kennzahlen", "@.csv"} << "Wrote";
    }
    void readingCommandsRecoverAnInterruptedWrite()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const QString path = fresh(QStringLiteral("absturz-%1.sqlite").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        interruptWrite(path);
        for (QString &arg : args)
            arg.replace(QLatin1Char('@'), path);
        const ProgramRun r = bscDb(path, args);
        QVERIFY2(r.status == 0 && r.out.contains(expected), qPrintable(r.out + r.err));
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
        FileLook c(path);
        QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM kz_liqui WHERE \"Ist_Wert_Jahr\"=77")).first()[0].toInt(), 0);
    }

    // Where nobody may write the file, the interrupted write is named as
    // needing recovery, not as a read-only database.
    void anInterruptedWriteOnAReadOnlyDiskNeedsRecovery()
    {
        SmallDisk disk(4096);
        REQUIRE_SMALL_DISK(disk);
        const QString path = disk.filePath(QStringLiteral("nur-lesen.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        const QString sheet = fresh(QStringLiteral("nur-lesen.csv"));
        QCOMPARE(bscDb(path, {QStringLiteral("export"), QStringLiteral("kennzahlen"), sheet}).status, 0);
        interruptWrite(path);
        QVERIFY(disk.makeReadOnly());
        // Every command says the same, those that would write too.
        for (const QStringList &args : {QStringList{QStringLiteral("check")},
                                        QStringList{QStringLiteral("query"), QStringLiteral("select * from kz_liqui")},
                                        QStringList{QStringLiteral("add-year"), QStringLiteral("2041")},
                                        QStringList{QStringLiteral("import"), QStringLiteral("kennzahlen"), sheet}}) {
            const ProgramRun r = bscDb(path, args);
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QLatin1String("interrupted and needs recovery")), qPrintable(args.join(QLatin1Char(' ')) + r.err));
        }
        QVERIFY(QFile::exists(path + QStringLiteral("-journal")));
    }


    void checkFindsMissingRowsColumnsAndDamage_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sound") << "" << "No faults found";
        QTest::newRow("a row removed") << "DELETE FROM kz_liqui WHERE \"Jahr\"='2005'" << "kz_liqui: no row for 2005";
        QTest::newRow("first years removed") << "DELETE FROM kz_rechlegung WHERE \"Jahr\"<'2005'" << "kz_rechlegung: the first year is 2005";
        QTest::newRow("a column removed") << "ALTER TABLE kz_neuprod DROP COLUMN \"Soll_Wert_Q3\"" << "kz_neuprod: columns missing: Soll_Wert_Q3";
        QTest::newRow("a table removed") << "DROP TABLE kz_marktanteil" << "kz_marktanteil: the table is missing";
        QTest::newRow("truncated file") << "truncate" << "";
    }
    void checkFindsMissingRowsColumnsAndDamage()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, expected);
        const QString path = fresh(QStringLiteral("pruefen-%1.sqlite").arg(QTest::currentDataTag()));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        if (breakage == QLatin1String("truncate")) {
            QFile file(path);
            QVERIFY(file.resize(file.size() / 2));
        } else if (!breakage.isEmpty()) {
            FileLook(path).rows(breakage);
        }
        const ProgramRun r = bscDb(path, {QStringLiteral("check")});
        QCOMPARE(r.status, breakage.isEmpty() ? 0 : 1);
        QVERIFY2((r.out + r.err).contains(expected), qPrintable(r.out + r.err));
        if (breakage == QLatin1String("truncate"))
            QVERIFY2(!r.err.isEmpty() || r.out.contains(QLatin1String("FAULT")), qPrintable(r.out));
    }

    // Older files may hold measures under a text that is no goal: worth a
    // warning, not a failed check.
    void checkWarnsOfMeasuresUnderNoGoalOfTheCatalog()
    {
        const QString path = fresh(QStringLiteral("ziellos.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        QVERIFY(!bscDb(path, {QStringLiteral("check")}).out.contains(QLatin1String("WARNING")));
        {
            FileLook c(path);
            c.rows(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Jahr\", \"Ziel\") VALUES ('a', '2005', 'Erfundenes Ziel')"));
            c.rows(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Jahr\", \"Ziel\") VALUES ('b', '2005', 'Erfundenes Ziel')"));
            c.rows(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Jahr\") VALUES ('c', '2005')"));
        }
        const ProgramRun r = bscDb(path, {QStringLiteral("check")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QStringLiteral("WARNING: maßnahmen: 2 measures under the goal \"Erfundenes Ziel\", "
                                               "which is no goal of the catalog; no page shows them")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("WARNING: maßnahmen: 1 measure without a goal; no page shows it")), qPrintable(r.out));
        QCOMPARE(r.out.count(QLatin1String("WARNING")), 2);
        QVERIFY(r.out.contains(QLatin1String("No faults found")));
    }

    // A table made with an older definition may hold a value that no window
    // or import takes; check names it, with its year and column.
    void checkReportsStoredValuesOutsideTheRange()
    {
        const QString path = fresh(QStringLiteral("bereich.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        const QStringList columns = KennzahlSchema::valueColumns();
        const qint64 above = qint64(KennzahlSchema::MaxMagnitude) + 1;
        {
            FileLook c(path);
            QStringList declared{QStringLiteral("\"Jahr\" TEXT")};
            for (const QString &column : columns)
                declared << QStringLiteral("\"%1\" INTEGER").arg(column);
            c.rows(QStringLiteral("ALTER TABLE kz_liqui RENAME TO kz_liqui_neu"));
            c.rows(QStringLiteral("CREATE TABLE kz_liqui (%1)").arg(declared.join(QLatin1Char(','))));
            c.rows(QStringLiteral("INSERT INTO kz_liqui (\"Jahr\") SELECT \"Jahr\" FROM kz_liqui_neu"));
            c.rows(QStringLiteral("DROP TABLE kz_liqui_neu"));
            c.rows(QStringLiteral("UPDATE kz_liqui SET \"%1\"=%2, \"%3\"=%4 WHERE \"Jahr\"='2005'")
                       .arg(columns[1]).arg(above).arg(columns[13]).arg(-above));
            c.rows(QStringLiteral("UPDATE kz_liqui SET \"%1\"=%2 WHERE \"Jahr\"='2006'")
                       .arg(columns[0]).arg(KennzahlSchema::MaxMagnitude));
        }
        const ProgramRun r = bscDb(path, {QStringLiteral("check")});
        QVERIFY2(r.status == 1, qPrintable(r.out + r.err));
        for (const auto &[column, value] : {std::pair{columns[1], above}, std::pair{columns[13], -above}}) {
            const QString line = QStringLiteral("FAULT: kz_liqui, year 2005: ")
                + KennzahlSchema::describe(column, QString::number(value), KennzahlSchema::Verdict::OutOfRange, true);
            QVERIFY2(r.out.contains(line), qPrintable(line + QLatin1Char('\n') + r.out));
        }
        QCOMPARE(r.out.count(QLatin1String("FAULT")), 2);
    }

    void upgradeAddsTheMeasuresIndexToAnOlderFile()
    {
        const QString path = fresh(QStringLiteral("alt.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        FileLook(path).rows(QStringLiteral("DROP INDEX \"maßnahmen_ziel_jahr\""));
        QVERIFY(bscDb(path, {QStringLiteral("check")}).out.contains(QLatin1String("bsc-db upgrade")));
        ProgramRun r = bscDb(path, {QStringLiteral("upgrade")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QLatin1String("added the index")));
        QVERIFY(bscDb(path, {QStringLiteral("upgrade")}).out.contains(QLatin1String("up to date")));
        QVERIFY(!bscDb(path, {QStringLiteral("check")}).out.contains(QLatin1String("bsc-db upgrade")));
    }

    void versionAndHelp()
    {
        ProgramRun r = bscDb(QString(), {QStringLiteral("--version")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("bsc-db %1\n").arg(QStringLiteral(BSC_VERSION)));
        r = bscDb(QString(), {QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith(QLatin1String("Usage: bsc-db")));
    }

    void pathAndQuery()
    {
        const QString path = fresh(QStringLiteral("abfrage.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("path")}).out, path + QLatin1Char('\n'));
        ProgramRun r = bscDb(path, {QStringLiteral("query"), QStringLiteral("select * from kz_liqui")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(path) && r.err.contains(QLatin1String("bsc-db init")), qPrintable(r.err));

        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        r = bscDb(path, {QStringLiteral("query"),
                         QStringLiteral("select Maßnahme,Prozesse from maßnahmen where ziel=\"Steigerung der Gesamtrentabilität\" and jahr=\"2005\"")});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("Maßnahme\tProzesse"));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].contains(QLatin1String("\\n")));   // one row per line

        r = bscDb(path, {QStringLiteral("query"), QStringLiteral("delete from kz_liqui")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QLatin1String("Invalid statement")));
        QCOMPARE(bscDb(path, {QStringLiteral("unknown")}).status, 2);
    }

    // Every form in which libpq takes a password; "SECRET" stands for it.
    void noPasswordIsPrintedOrStored_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("slash in the user info") << QStringLiteral("postgresql://u:12/SECRET@/bsc?host=/tmp/pg");
        QTest::newRow("question mark in the user info") << QStringLiteral("postgresql://u:12?SECRET@db/bsc");
        QTest::newRow("at sign in the user info") << QStringLiteral("postgresql://u:12@SECRET@db/bsc");
        QTest::newRow("encoded") << QStringLiteral("postgresql://u:12%2FSECRET%40@db/bsc");
        QTest::newRow("password parameter") << QStringLiteral("postgresql://u@db/bsc?password=SECRET");
        QTest::newRow("sslpassword parameter") << QStringLiteral("postgresql://u@db/bsc?sslmode=require&sslpassword=SECRET");
        QTest::newRow("encoded parameter name") << QStringLiteral("postgresql://u@db/bsc?sslp%61ssword=SECRET");
        QTest::newRow("keywords and values") << QStringLiteral("host=db dbname=bsc password=SECRET");
    }
    void noPasswordIsPrintedOrStored()
    {
        QFETCH(QString, address);
        const QString config = fresh(QStringLiteral("config-%1").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        for (const QStringList &args : {QStringList{QStringLiteral("path")}, QStringList{QStringLiteral("alias")},
                                        QStringList{QStringLiteral("check")}}) {
            const ProgramRun r = bscDbWithConfig(address, args, config);
            QVERIFY2(!(r.out + r.err).contains(QLatin1String("SECRET")), qPrintable(args.first() + QLatin1String(": ") + r.out + r.err));
        }
        const ProgramRun r = bscDbWithConfig(QString(), {QStringLiteral("alias"), QStringLiteral("set"), address}, config);
        QCOMPARE(r.status, 1);
        QVERIFY2(!(r.out + r.err).contains(QLatin1String("SECRET")), qPrintable(r.out + r.err));
        QVERIFY2(r.err.contains(QLatin1String("~/.pgpass")), qPrintable(r.err));
        QVERIFY(!QFile::exists(config + QStringLiteral("/tarvo-bsc/database")));
    }

    void theStoredAddressIsForItsOwnerOnly()
    {
        const QString config = fresh(QStringLiteral("config-owner"));
        const QString address = QStringLiteral("postgresql://anna@db.example/scorecard?sslmode=require");
        QCOMPARE(bscDbWithConfig(QString(), {QStringLiteral("alias"), QStringLiteral("set"), address}, config).status, 0);
        const QString file = config + QStringLiteral("/tarvo-bsc/database");
        QCOMPARE(QFileInfo(file).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(bscDbWithConfig(QString(), {QStringLiteral("path")}, config).out, address + QLatin1Char('\n'));
    }

    // A text a copy cannot carry is named with its row, column and reason.
    void copyNamesATextItCannotCarry()
    {
        const QString path = fresh(QStringLiteral("kaputt.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}).status, 0);
        {
            FileLook c(path);
            c.rows(QStringLiteral("UPDATE \"maßnahmen\" SET \"Prozesse\" = CAST(x'41c328' AS TEXT) "
                                  "WHERE \"Nr\" = (SELECT min(\"Nr\") FROM \"maßnahmen\")"));
        }
        const QString target = fresh(QStringLiteral("kaputt-kopie.sqlite"));
        const ProgramRun r = bscDb(path, {QStringLiteral("copy"), path, target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Table maßnahmen")) && r.err.contains(QLatin1String(", column Prozesse: the text "
                                                                                                "holds bytes that are not UTF-8")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains(QLatin1String("measure 1")), qPrintable(r.err));
        QVERIFY(!QFile::exists(target));
    }

    // A folder where a new file should go is called a folder.
    void aFolderForANewFileIsCalledAFolder()
    {
        const QString path = fresh(QStringLiteral("ordner.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        const QString folder = fresh(QStringLiteral("ein-ordner"));
        QVERIFY(QDir().mkpath(folder));
        for (const QStringList &args : {QStringList{QStringLiteral("backup"), folder},
                                        QStringList{QStringLiteral("export"), QStringLiteral("kennzahlen"), folder + QStringLiteral(".csv")}}) {
            if (args[0] == QLatin1String("export"))
                QVERIFY(QDir().mkpath(args[2]));
            const ProgramRun r = bscDb(path, args);
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QLatin1String("is a folder; give the name of a new file")), qPrintable(r.err));
        }
    }

    // The alias folder is the owner's whatever the umask, and the stored
    // address is never written through a link.
    void aliasFolderIsPrivateAndNoLinkIsFollowed()
    {
        const QString config = fresh(QStringLiteral("umask-config"));
        RunSettings settings;
        settings.set.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        const ProgramRun r = runProgram(QStringLiteral("sh"),
                                        {QStringLiteral("-c"), QStringLiteral("umask 000; exec \"$0\" alias set \"$1\""),
                                         QStringLiteral(BSC_DB_EXE), fresh(QStringLiteral("irgendwo.sqlite"))},
                                        settings);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QString folder = QDir(config).filePath(QStringLiteral("tarvo-bsc"));
        QCOMPARE(QFileInfo(folder).permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                                   | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
                 QFileDevice::Permissions());

        const QString elsewhere = fresh(QStringLiteral("fremd.txt"));
        {
            QFile f(elsewhere);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("fremd\n");
        }
        const QString stored = QDir(folder).filePath(QStringLiteral("database"));
        QVERIFY(QFile::remove(stored));
        QVERIFY(QFile::link(elsewhere, stored));
        const ProgramRun linked = bscDbWithConfig(QString(), {QStringLiteral("alias"), QStringLiteral("set"),
                                                              fresh(QStringLiteral("x.sqlite"))}, config);
        QCOMPARE(linked.status, 1);
        QVERIFY2(linked.err.contains(QLatin1String("symbolic link")), qPrintable(linked.err));
        QFile f(elsewhere);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("fremd\n"));
    }
};

QTEST_GUILESS_MAIN(TestBscDb)
#include "tst_bscdb.moc"
