// bsc-db, run as a program the way people and scripts use it.
#include "fixture.h"

#include "model/ampel.h"
#include "model/katalog.h"

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result bscDb(const QString &database, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), database);
    p.setProcessEnvironment(env);
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
    ~Connection() { QSqlDatabase::removeDatabase(QStringLiteral("look")); }
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
            for (const QString &table : ScorecardKatalog::alleTabellen()) {
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
                const QString table = ScorecardKatalog::tabelle(ziel, branche);
                for (const QVariantList &row : c.rows(QStringLiteral("SELECT \"Ist_Wert_Jahr\", \"Soll_Wert_Jahr\" FROM \"%1\"").arg(table))) {
                    QVERIFY(row[1].toInt() != 0);
                    QVERIFY(!(row[0].toInt() == 1 && row[1].toInt() == 1));
                    seen << beurteilen(ziel, branche, Ansicht::Perspektiven, row[0].toInt(), row[1].toInt());
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
            for (const QString &table : ScorecardKatalog::alleTabellen())
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
};

QTEST_GUILESS_MAIN(TestBscDb)
#include "tst_bscdb.moc"
