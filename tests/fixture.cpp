#include "fixture.h"

#include "model/alias.h"
#include "platform/db/alias.h"
#include "platform/db/database.h"
#include "core/dbadmin.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
const char *const FixtureConnection = "fixture";
const char *const ServerConnection = "fixture-server";

void setUp(QSqlDatabase &db, const QString &target)
{
    const Target t = Target::parse(target);
    if (!t.postgres) {
        db.setDatabaseName(t.file);
        return;
    }
    db.setHostName(t.host);
    if (t.port > 0)
        db.setPort(t.port);
    db.setDatabaseName(t.database);
    db.setUserName(t.user);
    db.setPassword(t.password);
}

QSqlDatabase connection(const char *name, const QString &target)
{
    const bool postgres = Target::parse(target).postgres;
    QSqlDatabase db = QSqlDatabase::contains(name)
        ? QSqlDatabase::database(name, false)
        : QSqlDatabase::addDatabase(postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    static QHash<QString, QString> targets;
    if (targets.value(QString::fromLatin1(name)) != target || !db.isOpen()) {
        db.close();
        setUp(db, target);
        targets.insert(QString::fromLatin1(name), target);
    }
    if (!db.isOpen()) {
        if (!db.open())
            qFatal("fixture: cannot open %s: %s", qPrintable(target), qPrintable(db.lastError().text()));
        // What a test sets up is no change anybody made: as on a file, where
        // the program alone records, the server records none of it. (Tests
        // of another client's changes use a connection of their own.)
        if (postgres && QString::fromLatin1(name) == QLatin1String(FixtureConnection))
            QSqlQuery(db).exec(QStringLiteral("SET session_replication_role = replica"));
    }
    return db;
}

QSqlQuery run(const char *name, const QString &target, const QString &statement, const QVariantList &values)
{
    QSqlQuery query(connection(name, target));
    bool done = false;
    if (values.isEmpty()) {
        done = query.exec(statement);   // statements PostgreSQL cannot prepare, too
    } else {
        query.prepare(statement);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        done = query.exec();
    }
    if (!done)
        qFatal("fixture: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    return query;
}

void closeConnection(const char *name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The server's address with another database.
QString withDatabase(const QString &server, const QString &database)
{
    Target t = Target::parse(server);
    t.database = database;
    return t.display();
}

} // namespace

bool TestDatabase::postgres() { return qEnvironmentVariable("BSC_TEST_BACKEND") == QLatin1String("postgresql"); }

QString TestDatabase::server() { return qEnvironmentVariable("BSC_TEST_POSTGRES"); }

QString TestDatabase::createServerDatabase()
{
    static int counter = 0;
    const QString name = QStringLiteral("bsc_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    run(ServerConnection, server(), QStringLiteral("CREATE DATABASE \"%1\"").arg(name), {});
    return withDatabase(server(), name);
}

void TestDatabase::dropServerDatabase(const QString &address)
{
    const QString name = Target::parse(address).database;
    run(ServerConnection, server(), QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(name), {});
}

TestDatabase::TestDatabase(bool demo, int currentYear)
    : m_connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings())
{
    if (postgres()) {
        if (server().isEmpty())
            qFatal("fixture: BSC_TEST_BACKEND=postgresql needs the server's address in BSC_TEST_POSTGRES");
        m_path = createServerDatabase();
    } else {
        m_path = m_dir.filePath(QStringLiteral("projekt_bsc.sqlite"));
    }
    DbAdmin::create(m_path, demo, currentYear);
    qputenv(qPrintable(ScorecardAlias::settings().variable), m_path.toUtf8());
}

TestDatabase::~TestDatabase()
{
    m_connection.close();
    closeConnection(FixtureConnection);
    if (postgres())
        dropServerDatabase(m_path);
    qunsetenv(qPrintable(ScorecardAlias::settings().variable));
}

void TestDatabase::sql(const QString &statement, const QVariantList &values) const
{
    run(FixtureConnection, m_path, statement, values);
}

QVariant TestDatabase::value(const QString &statement, const QVariantList &values) const
{
    QSqlQuery query = run(FixtureConnection, m_path, statement, values);
    return query.next() ? query.value(0) : QVariant();
}

void TestDatabase::setPair(const QString &table, const QString &year, const QString &suffix, QVariant ist,
                           QVariant soll) const
{
    sql(QStringLiteral("UPDATE \"%1\" SET \"Ist_Wert_%2\"=?, \"Soll_Wert_%2\"=? WHERE \"Jahr\"=?").arg(table, suffix),
        {ist, soll, year});
}

OtherUser::OtherUser(const TestDatabase &db) : m_name(QStringLiteral("other-user"))
{
    QSqlDatabase other = QSqlDatabase::addDatabase(TestDatabase::postgres() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_name);
    setUp(other, db.path());
    if (!TestDatabase::postgres())
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1"));
    if (!other.open())
        qFatal("fixture: the other user cannot connect: %s", qPrintable(other.lastError().text()));
}

OtherUser::~OtherUser()
{
    release();
    closeConnection(qPrintable(m_name));
}

void OtherUser::holdRow(const QString &table, const QString &year)
{
    QSqlQuery q(QSqlDatabase::database(m_name));
    if (TestDatabase::postgres()) {
        if (!q.exec(QStringLiteral("BEGIN"))
            || !q.exec(QStringLiteral("UPDATE \"%1\" SET \"Jahr\"=\"Jahr\" WHERE \"Jahr\"='%2'").arg(table, year)))
            qFatal("fixture: cannot hold the row: %s", qPrintable(q.lastError().text()));
    } else if (!q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
        qFatal("fixture: cannot hold the file: %s", qPrintable(q.lastError().text()));
    }
    m_holding = true;
}

void OtherUser::release()
{
    if (!m_holding)
        return;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.exec(QStringLiteral("ROLLBACK"));
    m_holding = false;
}

bool OtherUser::canLockEverything(const QString &table)
{
    QSqlQuery q(QSqlDatabase::database(m_name));
    const bool locked = TestDatabase::postgres()
        ? q.exec(QStringLiteral("BEGIN")) && q.exec(QStringLiteral("LOCK TABLE \"%1\" IN ACCESS EXCLUSIVE MODE NOWAIT").arg(table))
        : q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    q.exec(QStringLiteral("ROLLBACK"));
    return locked;
}

ProgramRun runProgram(const QString &program, const QStringList &args, const RunSettings &settings)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = settings.set.cbegin(); it != settings.set.cend(); ++it)
        env.insert(it.key(), it.value());
    for (const QString &name : settings.unset)
        env.remove(name);
    p.setProcessEnvironment(env);
    if (!settings.stdoutFile.isEmpty())
        p.setStandardOutputFile(settings.stdoutFile);
    p.start(program, args);
    p.closeWriteChannel();
    if (!p.waitForFinished(settings.timeoutMs)) {
        // A run that hangs is a failure, and nothing of it stays behind.
        p.kill();
        p.waitForFinished();
        return {-1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())
                    + (p.error() == QProcess::FailedToStart ? QStringLiteral("\n(could not be started)")
                                                            : QStringLiteral("\n(did not end in time)"))};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

RunSettings onDatabase(const QString &database, RunSettings settings)
{
    const QString name = QStringLiteral("PROJEKT_BSC_DATABASE");
    if (database.isEmpty())
        settings.unset << name;
    else
        settings.set.insert(name, database);
    return settings;
}
