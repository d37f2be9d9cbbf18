#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>
#include <utility>

#include "platform/db/connection.h"
#include "platform/db/engineerror.h"

// A fresh database made by the same code as "bsc-db init", with the alias
// pointed at it: a file in a temporary folder, or, when the test runs on
// PostgreSQL (BSC_TEST_BACKEND=postgresql, the server's address in
// BSC_TEST_POSTGRES), a database of its own on that server. It holds the
// connection the test hands to datasets and windows; both go when the
// fixture goes.
class TestDatabase {
public:
    explicit TestDatabase(bool demo = false, int currentYear = 2013);
    ~TestDatabase();

    // Whether this test program runs on PostgreSQL.
    static bool postgres();
    // The server's maintenance address; "" when none is given.
    static QString server();
    // A new, empty database on the server; returns its address.
    static QString createServerDatabase();
    static void dropServerDatabase(const QString &address);

    QString path() const { return m_path; }
    // The program's connection under the alias, as the windows use it.
    Connection &connection() { return m_connection; }
    Database &database() { return m_connection.database(); }

    // Writes through a connection of its own, as another program or user would.
    void sql(const QString &statement, const QVariantList &values = {}) const;
    QVariant value(const QString &statement, const QVariantList &values = {}) const;
    // Sets IST and SOLL of one period column pair of a year's row.
    void setPair(const QString &table, const QString &year, const QString &suffix, QVariant ist, QVariant soll) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    Connection m_connection;
};

// Another program or user on the same database, with a connection of its own.
class OtherUser {
public:
    explicit OtherUser(const TestDatabase &db);
    ~OtherUser();
    OtherUser(const OtherUser &) = delete;
    OtherUser &operator=(const OtherUser &) = delete;

    // Holds a year's row of a table as one does while changing it, until
    // released (a database file: the whole file).
    void holdRow(const QString &table, const QString &year);
    void release();
    // Whether it can take the strongest lock at once, and gives it back.
    bool canLockEverything(const QString &table);

private:
    QString m_name;
    bool m_holding = false;
};

// For a test that checks what only a database file has (its bytes, its locks).
#define SQLITE_ONLY()                                                                                                  \
    do {                                                                                                               \
        if (TestDatabase::postgres())                                                                                  \
            QSKIP("a database file only");                                                                             \
    } while (false)

// In initTestCase of a program that also runs on PostgreSQL: without a
// server to run on, the PostgreSQL run is skipped.
#define SKIP_WITHOUT_SERVER()                                                                                          \
    do {                                                                                                               \
        if (TestDatabase::postgres() && TestDatabase::server().isEmpty())                                              \
            QSKIP("no PostgreSQL server given (BSC_TEST_POSTGRES)");                                                   \
    } while (false)

// The message of the EngineError that f throws, or "" when none.
template <class F>
QString errorOf(F f)
{
    try {
        f();
    } catch (const EngineError &error) {
        return error.message();
    }
    return QString();
}

// Runs its function when it goes, however the test ends (a failed QCOMPARE
// returns early): for whatever a test installs and must take away again.
class OnExit {
public:
    explicit OnExit(std::function<void()> undo) : m_undo(std::move(undo)) {}
    ~OnExit()
    {
        if (m_undo)
            m_undo();
    }
    OnExit(const OnExit &) = delete;
    OnExit &operator=(const OnExit &) = delete;

private:
    std::function<void()> m_undo;
};

// A program's run, waited for: its exit status (-1 when it crashed or was
// stopped at the time limit), standard output and standard error.
struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
};

// How a program is run besides its arguments. It inherits the test's
// environment, changed by set and unset; its input is closed at once.
struct RunSettings {
    QMap<QString, QString> set;
    QStringList unset;
    QString stdoutFile;   // standard output into this file instead
    int timeoutMs = 60000;
};

ProgramRun runProgram(const QString &program, const QStringList &args, const RunSettings &settings = {});

// The settings of a run on a database: PROJEKT_BSC_DATABASE names it, or is
// taken away when database is empty.
RunSettings onDatabase(const QString &database, RunSettings settings = {});

#ifdef BSC_DB_EXE
// bsc-db on a database, as a user runs it.
inline ProgramRun bscDb(const QString &database, const QStringList &args, const RunSettings &settings = {})
{
    return runProgram(QStringLiteral(BSC_DB_EXE), args, onDatabase(database, settings));
}
#endif
