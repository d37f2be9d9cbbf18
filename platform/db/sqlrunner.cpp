#include "platform/db/sqlrunner.h"

#include "platform/db/engineerror.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

struct SqlResult::Lease {
    std::shared_ptr<QSqlQuery> query;   // null once the runner let go of it
    ~Lease()
    {
        if (query)
            query->finish();
    }
};

QSqlQuery *SqlResult::query() const { return m_lease ? m_lease->query.get() : nullptr; }

bool SqlResult::next()
{
    QSqlQuery *q = query();
    return q && q->next();
}

QVariant SqlResult::value(int index) const
{
    QSqlQuery *q = query();
    return q ? q->value(index) : QVariant();
}

QSqlRecord SqlResult::record() const
{
    QSqlQuery *q = query();
    return q ? q->record() : QSqlRecord();
}

int SqlResult::numRowsAffected() const
{
    QSqlQuery *q = query();
    return q ? q->numRowsAffected() : -1;
}

QVariant SqlResult::lastInsertId() const
{
    QSqlQuery *q = query();
    return q ? q->lastInsertId() : QVariant();
}

QSqlError SqlResult::lastError() const
{
    if (QSqlQuery *q = query())
        return q->lastError();
    if (m_lease)   // the connection was closed under it
        return QSqlError(QStringLiteral("The connection was closed while the result was read."), QString(),
                         QSqlError::ConnectionError);
    return QSqlError();
}

bool SqlResult::isActive() const
{
    QSqlQuery *q = query();
    return q && q->isActive();
}

void SqlResult::finish()
{
    if (QSqlQuery *q = query())
        q->finish();
}

namespace {

// Distinct statement texts are few (one per dataset shape and fetch kind);
// the cap only keeps typed statements from growing the cache forever.
constexpr int MaxStatements = 512;

} // namespace

SqlRunner::SqlRunner(QString connectionName, DbEngine engine, Failure failure)
    : m_connectionName(std::move(connectionName)), m_engine(engine), m_failure(std::move(failure))
{
}

SqlRunner::~SqlRunner() { clear(); }

void SqlRunner::clear()
{
    auto release = [](Entry &entry) {
        if (std::shared_ptr<SqlResult::Lease> lease = entry.lease.lock()) {
            lease->query->finish();
            lease->query.reset();
        }
    };
    for (Entry &entry : m_statements)
        release(entry);
    for (Entry &entry : m_loose)
        release(entry);
    m_statements.clear();
    m_loose.clear();
}

void SqlRunner::fail(const QSqlError &error, const QString &what, bool writing)
{
    m_failure(error, what, writing);
    throw EngineError(QStringLiteral("Could not %1: %2").arg(what, error.text()));
}

SqlResult SqlRunner::lend(Entry &entry)
{
    auto lease = std::make_shared<SqlResult::Lease>();
    lease->query = entry.query;
    entry.lease = lease;
    return SqlResult(std::move(lease));
}

SqlResult SqlRunner::loose()
{
    std::erase_if(m_loose, [](const Entry &entry) { return !entry.inUse(); });
    auto query = std::make_shared<QSqlQuery>(QSqlDatabase::database(m_connectionName, false));
    query->setForwardOnly(true);
    m_loose.push_back({std::move(query), {}});
    return lend(m_loose.back());
}

SqlResult SqlRunner::prepared(const QString &sql, const QString &what)
{
    // A statement whose result is held is in a caller's hands (a scan whose
    // visitor runs others): it is neither dropped from the cache nor run
    // again under its reader.
    auto it = m_statements.find(sql);
    if (it != m_statements.end() && it->inUse()) {
        SqlResult copy = loose();
        QSqlQuery *query = copy.query();
        if (!query->prepare(sql))
            fail(query->lastError(), what);
        return copy;
    }
    if (it == m_statements.end()) {
        if (m_statements.size() >= MaxStatements)
            m_statements.removeIf([](const auto &entry) { return !entry.value().inUse(); });
        auto query = std::make_shared<QSqlQuery>(QSqlDatabase::database(m_connectionName, false));
        query->setForwardOnly(true);
        if (!query->prepare(sql))
            fail(query->lastError(), what);
        it = m_statements.insert(sql, {std::move(query), {}});
    }
    return lend(*it);
}

bool SqlRunner::writes(const QString &sql)
{
    static const char *const verbs[] = {"INSERT", "UPDATE", "DELETE", "BEGIN IMMEDIATE", "CREATE", "ALTER", "DROP",
                                        "LOCK", "TRUNCATE", "COPY", "SELECT setval", "GRANT"};
    for (const char *verb : verbs) {
        if (sql.startsWith(QLatin1String(verb), Qt::CaseInsensitive))
            return true;
    }
    // A save and its history rows go as one statement that starts with WITH.
    static const QRegularExpression recorded(QStringLiteral("\\A\\s*WITH\\b.*\\b(INSERT\\s+INTO|UPDATE|DELETE\\s+FROM)\\b"),
                                             QRegularExpression::CaseInsensitiveOption
                                                 | QRegularExpression::DotMatchesEverythingOption);
    return recorded.match(sql).hasMatch();
}

SqlResult SqlRunner::run(const QString &sql, const QVariantList &values, const QString &what)
{
    // PostgreSQL refuses a NUL in a text with the driver's whole statement in
    // its message, SQLite cuts the text there: refused alike, before either.
    for (const QVariant &value : values) {
        if ((value.typeId() == QMetaType::QString && value.toString().contains(QChar(0)))
            || (value.typeId() == QMetaType::QByteArray && value.toByteArray().contains('\0')))
            throw EngineError(QStringLiteral("Could not %1: a text holds a NUL character (code 0), which the "
                                             "database cannot take; nothing was changed.").arg(what),
                              EngineError::Kind::WrongType);
    }
    // PostgreSQL prepares only statements that read or write rows; the
    // others (transactions, settings, tables) have no values to bind and
    // run as they are.
    if (m_engine == DbEngine::PostgreSQL && values.isEmpty()) {
        SqlResult direct = loose();
        QSqlQuery *query = direct.query();
        if (!query->exec(sql)) {
            const QSqlError error = query->lastError();
            query->finish();
            fail(error, what, writes(sql));
        }
        return direct;
    }
    SqlResult result = prepared(sql, what);
    QSqlQuery *query = result.query();
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values[i]);
    if (!query->exec()) {
        const QSqlError error = query->lastError();
        query->finish();
        fail(error, what, writes(sql));
    }
    return result;
}
