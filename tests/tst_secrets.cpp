// No password in any output: every bsc-db command and the report command
// run with a password in each way an address can hold one, well formed or
// mistyped, and neither what they print, nor the stored alias, nor the
// name of any file or folder they leave holds it.
#include "fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Secret = QStringLiteral("Geheim7x");

} // namespace

class TestSecrets : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // Every name below the folder, as text.
    QStringList namesBelow(const QString &folder) const
    {
        QStringList names;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next();
        return names;
    }

private slots:
    void noPasswordInAnyOutputOrName_data()
    {
        // Nothing listens on port 1 of this machine: every command that
        // reaches for the server is refused at once.
        QTest::addColumn<QString>("address");
        QTest::newRow("user:password@") << "postgresql://anna:" + Secret + "@127.0.0.1:1/scorecard";
        QTest::newRow("password parameter") << "postgresql://anna@127.0.0.1:1/scorecard?password=" + Secret;
        QTest::newRow("sslpassword parameter") << "postgresql://anna@127.0.0.1:1/scorecard?sslmode=require&sslpassword=" + Secret;
        QTest::newRow("leading blank") << " postgresql://anna:" + Secret + "@127.0.0.1:1/scorecard";
        QTest::newRow("upper-case scheme") << "POSTGRESQL://anna:" + Secret + "@127.0.0.1:1/scorecard";
        QTest::newRow("without the slashes") << "postgresql:anna:" + Secret + "@127.0.0.1:1/scorecard";
        QTest::newRow("one slash") << "postgres:/anna:" + Secret + "@127.0.0.1:1/scorecard";
        QTest::newRow("other scheme") << "pgsql://anna:" + Secret + "@127.0.0.1:1/scorecard";
    }

    void noPasswordInAnyOutputOrName()
    {
        QFETCH(QString, address);
        const QString home = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QDir().mkpath(home);
        const QString file = QDir(home).filePath(QStringLiteral("local.sqlite"));
        QVERIFY(bscDb(file, {QStringLiteral("init")}).status == 0);
        const QString csv = QDir(home).filePath(QStringLiteral("werte.csv"));
        QVERIFY(bscDb(file, {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv}).status == 0);
        const QString old = QDir(home).filePath(QStringLiteral("alt"));
        QDir().mkpath(old);

        RunSettings settings;
        settings.set.insert(QStringLiteral("HOME"), home);
        settings.set.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(home).filePath(QStringLiteral(".config")));
        settings.set.insert(QStringLiteral("XDG_DATA_HOME"), QDir(home).filePath(QStringLiteral(".local/share")));
        settings.set.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("2"));
        settings.timeoutMs = 30000;
        const QString outFile = QDir(home).filePath(QStringLiteral("out"));
        const QList<QStringList> commands{
            {QStringLiteral("path")},
            {QStringLiteral("init")},
            {QStringLiteral("init"), QStringLiteral("--demo")},
            {QStringLiteral("check")},
            {QStringLiteral("upgrade")},
            {QStringLiteral("add-year"), QStringLiteral("2030")},
            {QStringLiteral("query"), QStringLiteral("select * from kz_liqui")},
            {QStringLiteral("backup"), outFile + QStringLiteral(".sqlite")},
            {QStringLiteral("export"), QStringLiteral("kennzahlen"), outFile + QStringLiteral(".csv")},
            {QStringLiteral("export"), QStringLiteral("massnahmen"), outFile + QStringLiteral(".xlsx")},
            {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv},
            {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv, QStringLiteral("--yes")},
            {QStringLiteral("import-legacy"), old},
            {QStringLiteral("history")},
            {QStringLiteral("history"), QStringLiteral("--csv")},
            {QStringLiteral("alias")},
        };
        QStringList said;
        for (const QStringList &args : commands) {
            const ProgramRun r = bscDb(address, args, settings);
            said << QStringLiteral("bsc-db %1: %2 %3").arg(args[0], r.out, r.err);
            QVERIFY2(r.status != 0 || args[0] == QLatin1String("alias") || args[0] == QLatin1String("path"), qPrintable(said.last()));
        }
        // The address as an argument, not through the alias.
        for (const QStringList &args : {QStringList{QStringLiteral("copy"), file, address},
                                        QStringList{QStringLiteral("copy"), address, outFile + QStringLiteral("-copy.sqlite")},
                                        QStringList{QStringLiteral("alias"), QStringLiteral("set"), address}}) {
            const ProgramRun r = bscDb(file, args, settings);
            said << QStringLiteral("bsc-db %1: %2 %3").arg(args[0], r.out, r.err);
            QCOMPARE(r.status, 1);
        }
        settings.set.insert(QStringLiteral("PROJEKT_BSC_DATABASE"), address);
        const ProgramRun report = runProgram(QStringLiteral(BSC_EXE),
                                             {QStringLiteral("--report"), QStringLiteral("all"), QStringLiteral("2005"),
                                              outFile + QStringLiteral(".pdf")},
                                             settings);
        said << QStringLiteral("bsc --report: %1 %2").arg(report.out, report.err);
        QCOMPARE(report.status, 1);

        const QString all = said.join(QLatin1Char('\n'));
        for (const QString &line : all.split(QLatin1Char('\n')))
            QVERIFY2(!line.contains(Secret), qPrintable(line));
        QVERIFY2(all.contains(QLatin1String("****")) || all.contains(QLatin1String("begins like an address")), qPrintable(all));
        for (const QString &name : namesBelow(home)) {
            QVERIFY2(!name.contains(Secret) && !name.contains(QLatin1String("postgres"), Qt::CaseInsensitive), qPrintable(name));
            QFile f(name);
            if (QFileInfo(name).isFile() && name.contains(QLatin1String(".config")) && f.open(QIODevice::ReadOnly))
                QVERIFY2(!f.readAll().contains(Secret.toUtf8()), qPrintable(name));
        }
        QVERIFY(!QFileInfo::exists(outFile + QStringLiteral(".pdf")));
    }

    // A mistyped address is said to be one, and never taken for a file.
    void mistypedAddressIsRefusedNotAFile_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("no slashes") << "postgresql:anna@db/scorecard";
        QTest::newRow("postgres alone") << "postgres";
        QTest::newRow("another scheme") << "pgsql://anna@db/scorecard";
    }

    void mistypedAddressIsRefusedNotAFile()
    {
        QFETCH(QString, address);
        const ProgramRun r = bscDb(address, {QStringLiteral("init")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("it begins like an address but is none")), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(address));
    }

    // The scheme in any case and blanks around the address: the address.
    void addressInAnyCaseAndBlanks()
    {
        const ProgramRun r = bscDb(QStringLiteral("  PostgreSQL://anna@db.example:5433/scorecard?sslmode=require "),
                                   {QStringLiteral("path")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("postgresql://anna@db.example:5433/scorecard?sslmode=require\n"));
    }
};

QTEST_MAIN(TestSecrets)
#include "tst_secrets.moc"
