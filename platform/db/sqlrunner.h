#pragma once

#include <QHash>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/engine.h"

class QSqlQuery;

// A statement that has been run, as its caller holds it: the rows to read,
// the rows it changed, its error. A handle shares the statement with the
// runner's cache, so it stays valid however many statements run meanwhile
// and after the connection is gone (then it reads nothing and says so).
// While any copy of a handle is held the statement counts as in use: it is
// neither dropped from the cache nor run again under its reader. When the
// last copy goes, the statement is finished, so no lock outlives it.
class SqlResult {
public:
    SqlResult() = default;

    bool next();
    QVariant value(int index) const;
    QSqlRecord record() const;
    int numRowsAffected() const;
    QVariant lastInsertId() const;
    QSqlError lastError() const;
    bool isActive() const;
    void finish();

private:
    friend class SqlRunner;
    struct Lease;
    explicit SqlResult(std::shared_ptr<Lease> lease) : m_lease(std::move(lease)) {}
    QSqlQuery *query() const;
    std::shared_ptr<Lease> m_lease;
};

// Runs SQL on one connection with its values bound in order, keeping the
// prepared statements for the next call with the same text.
class SqlRunner {
public:
    // Told of a failed statement; throws the error that says what failed.
    using Failure = std::function<void(const QSqlError &error, const QString &what, bool writing)>;

    SqlRunner(QString connectionName, DbEngine engine, Failure failure);
    ~SqlRunner();
    SqlRunner(const SqlRunner &) = delete;
    SqlRunner &operator=(const SqlRunner &) = delete;

    SqlResult run(const QString &sql, const QVariantList &values, const QString &what);
    // Finishes every statement and lets go of it; results still held read
    // nothing from then on. Before the connection closes.
    void clear();

    // A statement that changes rows or tables, or takes the write lock.
    static bool writes(const QString &sql);

private:
    struct Entry {
        std::shared_ptr<QSqlQuery> query;
        std::weak_ptr<SqlResult::Lease> lease;
        bool inUse() const { return !lease.expired(); }
    };
    SqlResult lend(Entry &entry);
    SqlResult prepared(const QString &sql, const QString &what);
    SqlResult loose();
    [[noreturn]] void fail(const QSqlError &error, const QString &what, bool writing = false);

    QString m_connectionName;
    DbEngine m_engine;
    Failure m_failure;
    QHash<QString, Entry> m_statements;
    // Statements outside the cache (run without preparing, or a second copy
    // of one still being read), kept while they are held.
    std::vector<Entry> m_loose;
};
