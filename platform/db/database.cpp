#include "platform/db/database.h"

#include "platform/db/engineerror.h"
#include "platform/db/statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>

namespace {

std::unique_ptr<Database> s_alias;

// A short wait for another program that holds the file; the driver's own
// default of five seconds would freeze the window.
constexpr int BusyTimeoutMs = 250;

QString foldName(const QString &name) { return name.toCaseFolded(); }

bool isIntegerType(const QString &declared)
{
    return declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0
        || declared.trimmed().compare(QLatin1String("INT"), Qt::CaseInsensitive) == 0;
}

} // namespace

int Database::Table::columnIndex(const QString &name) const
{
    const QString folded = foldName(name);
    for (int i = 0; i < columns.size(); ++i) {
        if (foldName(columns[i].name) == folded)
            return i;
    }
    return -1;
}

QString Database::aliasPath()
{
    const QString fromEnvironment = qEnvironmentVariable(PathVariable);
    if (!fromEnvironment.isEmpty())
        return QFileInfo(fromEnvironment).absoluteFilePath();
    // Independent of the program's name, so that bsc and bsc-db agree.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(folder).filePath(QStringLiteral("tarvo-bsc/projekt_bsc.sqlite"));
}

Database &Database::alias()
{
    if (!s_alias)
        return open(aliasPath());
    return *s_alias;
}

Database &Database::open(const QString &path, bool readOnly)
{
    close();
    // Close before Qt's SQL drivers go at exit, not in static destruction.
    static const bool closesAtExit = [] {
        qAddPostRoutine(&Database::close);
        return true;
    }();
    Q_UNUSED(closesAtExit);
    s_alias.reset(new Database(path, readOnly));
    return *s_alias;
}

void Database::close() { s_alias.reset(); }

bool Database::isOpen() { return s_alias != nullptr; }

Database::Database(const QString &path, bool readOnly)
    : m_path(path), m_connectionName(QString::fromLatin1(AliasName))
{
    // The engine never creates a database: a missing file is an error.
    if (!QFileInfo(path).isFile()) {
        throw EngineError(QStringLiteral("Database file not found: %1\n"
                                         "Create it with \"bsc-db init\".").arg(path));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString message = QStringLiteral("Cannot open database %1: %2")
                                    .arg(path, db.lastError().text());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EngineError(message);
    }
    try {
        // Every write is on disk before the call returns.
        QSqlQuery pragma(db);
        if (!readOnly && !pragma.exec(QStringLiteral("PRAGMA synchronous=FULL")))
            throw EngineError(describe(pragma.lastError(), QStringLiteral("open ") + path));
        loadSchema();
    } catch (...) {
        m_statements.clear();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

Database::~Database()
{
    m_statements.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const { return QSqlDatabase::database(m_connectionName, false); }

void Database::loadSchema()
{
    QSqlQuery list(connection());
    list.setForwardOnly(true);
    // One pass over every table and column. Reading the schema is also the
    // first real access: a file that is not a SQLite database fails here.
    if (!list.exec(QStringLiteral("SELECT m.name, p.name, p.type FROM sqlite_schema AS m "
                                  "JOIN pragma_table_info(m.name) AS p "
                                  "WHERE m.type='table' AND m.name NOT LIKE 'sqlite_%' "
                                  "ORDER BY m.name, p.cid")))
        throw EngineError(describe(list.lastError(), QStringLiteral("open ") + m_path));
    m_tables.clear();
    m_selects.clear();
    while (list.next()) {
        const QString name = list.value(0).toString();
        Table &table = m_tables[foldName(name)];
        table.name = name;
        table.columns.append({list.value(1).toString(), isIntegerType(list.value(2).toString())});
    }
}

const Database::Table &Database::table(const QString &name)
{
    auto it = m_tables.constFind(foldName(name));
    if (it == m_tables.constEnd()) {
        // Another program may have added it since the schema was read.
        loadSchema();
        it = m_tables.constFind(foldName(name));
        if (it == m_tables.constEnd())
            throw EngineError(QStringLiteral("Table does not exist: %1\nDatabase: %2").arg(name, m_path));
    }
    return *it;
}

QString Database::quote(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

const Database::Select &Database::select(const QString &dialectText)
{
    auto cached = m_selects.constFind(dialectText);
    if (cached != m_selects.constEnd())
        return *cached;

    const Statement statement = Statement::parse(dialectText);
    const Table &t = table(statement.table);
    auto column = [&](const QString &name) -> const Column & {
        const int index = t.columnIndex(name);
        if (index < 0)
            throw EngineError(QStringLiteral("Column does not exist: %1 in table %2").arg(name, t.name));
        return t.columns[index];
    };

    // Typed years make new texts; keep the cache small.
    if (m_selects.size() > 256)
        m_selects.clear();

    Select s;
    QStringList list;
    if (statement.columns.isEmpty()) {
        for (const Column &c : t.columns) {
            s.fields << c.name;
            s.integer << c.isInteger;
            list << quote(c.name);
        }
    } else {
        for (const QString &name : statement.columns) {
            const Column &c = column(name);
            s.fields << c.name;
            s.integer << c.isInteger;
            list << quote(c.name);
        }
    }
    s.sql = QStringLiteral("SELECT %1 FROM %2").arg(list.join(QLatin1Char(',')), quote(t.name));
    QStringList where;
    for (const Statement::Condition &condition : statement.conditions) {
        where << quote(column(condition.column).name) + QStringLiteral("=?");
        s.values << condition.value;
    }
    if (!where.isEmpty())
        s.sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    s.sql += QStringLiteral(" ORDER BY rowid");
    return *m_selects.insert(dialectText, s);
}

QSqlQuery &Database::prepared(const QString &sql)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        auto query = std::make_shared<QSqlQuery>(connection());
        query->setForwardOnly(true);
        if (!query->prepare(sql))
            throw EngineError(describe(query->lastError(), QStringLiteral("prepare statement ") + sql));
        it = m_statements.insert(sql, query);
    }
    return **it;
}

void Database::exec(QSqlQuery &query, const QVariantList &values, const QString &what)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec()) {
        const QString message = describe(query.lastError(), what);
        query.finish();
        throw EngineError(message);
    }
}

QString Database::describe(const QSqlError &error, const QString &what) const
{
    const QString code = error.nativeErrorCode();
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // Primary SQLite result codes; extended codes share the low byte.
    const int primary = code.toInt() & 0xff;
    switch (primary) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("The database is locked by another program; nothing was changed. "
                              "Try again when it is closed.\nCould not %1\nDatabase: %2")
            .arg(what, m_path);
    case 8: // SQLITE_READONLY
        return QStringLiteral("The database is read-only; nothing was changed.\nCould not %1\nDatabase: %2")
            .arg(what, m_path);
    case 19: // SQLITE_CONSTRAINT
        return QStringLiteral("Could not %1: the value is outside what the table allows; nothing was changed.\n%2")
            .arg(what, detail);
    case 26: // SQLITE_NOTADB
        return QStringLiteral("The file is not a database: %1").arg(m_path);
    default:
        return QStringLiteral("Could not %1: %2").arg(what, detail);
    }
}
