// bsc-db, run as a program the way people and scripts use it.
#include "fixture.h"

#include "model/ampel.h"
#include "model/katalog.h"

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

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result bscDb(const QString &database, const QStringList &args, const QString &stdoutFile = {},
             const QString &configFolder = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), database);
    if (!configFolder.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    p.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(BSC_DB_EXE), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class Connection {
public:
    explicit Connection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(path);
        db.open();
    }
    ~Connection()
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

} // namespace

class TestBscDb : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString fresh(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initCreatesFourteenStrictTablesWithOneRowPerYear()
    {
        const QString path = fresh(QStringLiteral("new/leer.sqlite"));
        const Result r = bscDb(path, {QStringLiteral("init")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(path));
        {
            Connection c(path);
            const auto tables = c.rows(QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%'"));
            QCOMPARE(tables.size(), 14);
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
            const Result r = bscDb(path, args);
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
        Connection c(path);
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
            Connection c(path);
            for (const QString &table : ScorecardKatalog::allTables())
                QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"Jahr\"='2040'").arg(table)).first()[0].toInt(), 1);
        }
        const QByteArray before = digest(path);
        for (const char *year : {"2040", "2005", "20x5", "204", ""}) {
            const Result r = bscDb(path, {QStringLiteral("add-year"), QString::fromLatin1(year)});
            QCOMPARE(r.status, 1);
            QVERIFY(!r.err.isEmpty());
        }
        QCOMPARE(digest(path), before);

        // A year that only the last table has already: no table gets it.
        {
            Connection c(path);
            c.rows(QStringLiteral("INSERT INTO kz_reklamation (\"Jahr\") VALUES ('2041')"));
        }
        QCOMPARE(bscDb(path, {QStringLiteral("add-year"), QStringLiteral("2041")}).status, 1);
        Connection c(path);
        QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM kz_ges_renta WHERE \"Jahr\"='2041'")).first()[0].toInt(), 0);
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
        const Result r = bscDb(path, {QStringLiteral("add-year"), year});
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
        std::unique_ptr<Connection> holder;
        if (breakage == QLatin1String("lock")) {
            holder = std::make_unique<Connection>(path);
            holder->rows(QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (breakage == QLatin1String("drop")) {
            Connection(path).rows(QStringLiteral("DROP TABLE kz_liqui"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (breakage == QLatin1String("garbage"))
                file.write(QByteArray(4096, '#'));
        }
        for (const QStringList &args : {QStringList{QStringLiteral("add-year"), QStringLiteral("2041")},
                                        QStringList{QStringLiteral("query"), QStringLiteral("select * from kz_liqui")}}) {
            const Result r = bscDb(path, args);
            QCOMPARE(r.status, 1);
            if (args[0] == QLatin1String("add-year") || breakage != QLatin1String("drop"))
                QVERIFY2(r.err.contains(expected.section(QLatin1Char(':'), 0, 0)), qPrintable(r.err));
        }
        if (holder)
            holder->rows(QStringLiteral("ROLLBACK"));
        else if (breakage == QLatin1String("drop"))
            QCOMPARE(Connection(path).rows(QStringLiteral("SELECT count(*) FROM kz_ges_renta WHERE \"Jahr\"='2041'")).first()[0].toInt(), 0);
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
        const Result r = bscDb(link, {QStringLiteral("init")});
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
        QCOMPARE(bscDb(path, {QStringLiteral("path")}, full).status, 1);
        const Result init = bscDb(path, {QStringLiteral("init"), QStringLiteral("--demo")}, full);
        QCOMPARE(init.status, 1);
        QVERIFY2(init.err.contains(QLatin1String("could not write")), qPrintable(init.err));
        const Result q = bscDb(path, {QStringLiteral("query"), QStringLiteral("select * from maßnahmen")}, full);
        QCOMPARE(q.status, 1);
        QVERIFY2(q.err.contains(QLatin1String("could not write")), qPrintable(q.err));
    }

    void statementsOverTheEnginesLimitsGetAShortMessage()
    {
        const QString path = fresh(QStringLiteral("grenzen.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        const QString columns = QStringList(2500, QStringLiteral("ist_wert_q1")).join(QLatin1Char(','));
        const Result r = bscDb(path, {QStringLiteral("query"), QStringLiteral("select ") + columns + QStringLiteral(" from kz_liqui")});
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
            Connection writer(path);
            writer.rows(QStringLiteral("BEGIN IMMEDIATE"));
            writer.rows(QStringLiteral("UPDATE kz_liqui SET \"Ist_Wert_Jahr\"=999 WHERE \"Jahr\"='2005'"));
            const Result r = bscDb(path, {QStringLiteral("backup"), copy});
            QCOMPARE(r.status, 0);
            writer.rows(QStringLiteral("COMMIT"));
        }
        {
            Connection c(copy);
            QCOMPARE(c.rows(QStringLiteral("PRAGMA integrity_check")).first()[0].toString(), QStringLiteral("ok"));
            QVERIFY(c.rows(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM kz_liqui WHERE \"Jahr\"='2005'")).first()[0].toInt() != 999);
            QCOMPARE(c.rows(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).first()[0].toInt(),
                     Connection(path).rows(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).first()[0].toInt());
        }
        QCOMPARE(bscDb(copy, {QStringLiteral("check")}).status, 0);

        const QByteArray before = digest(copy);
        Result r = bscDb(path, {QStringLiteral("backup"), copy});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QLatin1String("exists already")));
        QCOMPARE(digest(copy), before);

        // A writer holding the whole file: the lock is reported, no file appears.
        const QString second = fresh(QStringLiteral("zweite.sqlite"));
        {
            Connection writer(path);
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
            Connection(path).rows(breakage);
        }
        const Result r = bscDb(path, {QStringLiteral("check")});
        QCOMPARE(r.status, breakage.isEmpty() ? 0 : 1);
        QVERIFY2((r.out + r.err).contains(expected), qPrintable(r.out + r.err));
        if (breakage == QLatin1String("truncate"))
            QVERIFY2(!r.err.isEmpty() || r.out.contains(QLatin1String("FAULT")), qPrintable(r.out));
    }

    void upgradeAddsTheMeasuresIndexToAnOlderFile()
    {
        const QString path = fresh(QStringLiteral("alt.sqlite"));
        QCOMPARE(bscDb(path, {QStringLiteral("init")}).status, 0);
        Connection(path).rows(QStringLiteral("DROP INDEX \"maßnahmen_ziel_jahr\""));
        QVERIFY(bscDb(path, {QStringLiteral("check")}).out.contains(QLatin1String("bsc-db upgrade")));
        Result r = bscDb(path, {QStringLiteral("upgrade")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QLatin1String("added the index")));
        QVERIFY(bscDb(path, {QStringLiteral("upgrade")}).out.contains(QLatin1String("up to date")));
        QVERIFY(!bscDb(path, {QStringLiteral("check")}).out.contains(QLatin1String("bsc-db upgrade")));
    }

    void versionAndHelp()
    {
        Result r = bscDb(QString(), {QStringLiteral("--version")});
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
        Result r = bscDb(path, {QStringLiteral("query"), QStringLiteral("select * from kz_liqui")});
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
            const Result r = bscDb(address, args, {}, config);
            QVERIFY2(!(r.out + r.err).contains(QLatin1String("SECRET")), qPrintable(args.first() + QLatin1String(": ") + r.out + r.err));
        }
        const Result r = bscDb(QString(), {QStringLiteral("alias"), QStringLiteral("set"), address}, {}, config);
        QCOMPARE(r.status, 1);
        QVERIFY2(!(r.out + r.err).contains(QLatin1String("SECRET")), qPrintable(r.out + r.err));
        QVERIFY2(r.err.contains(QLatin1String("~/.pgpass")), qPrintable(r.err));
        QVERIFY(!QFile::exists(config + QStringLiteral("/tarvo-bsc/database")));
    }

    void theStoredAddressIsForItsOwnerOnly()
    {
        const QString config = fresh(QStringLiteral("config-owner"));
        const QString address = QStringLiteral("postgresql://anna@db.example/scorecard?sslmode=require");
        QCOMPARE(bscDb(QString(), {QStringLiteral("alias"), QStringLiteral("set"), address}, {}, config).status, 0);
        const QString file = config + QStringLiteral("/tarvo-bsc/database");
        QCOMPARE(QFileInfo(file).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(bscDb(QString(), {QStringLiteral("path")}, {}, config).out, address + QLatin1Char('\n'));
    }
};

QTEST_GUILESS_MAIN(TestBscDb)
#include "tst_bscdb.moc"
