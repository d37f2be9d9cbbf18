#include "platform/db/database.h"

#include "platform/db/alias.h"
#include "platform/db/engineerror.h"
#include "platform/db/statement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>

namespace {

std::unique_ptr<Database> s_alias;

// A short wait for another program that holds the file; the driver's own
// default of five seconds would freeze the window.
constexpr int BusyTimeoutMs = 250;

// Distinct statement texts are few (one per dataset shape and fetch kind);
// the caps only keep typed statements from growing the caches forever.
constexpr int MaxStatements = 512;
constexpr int MaxQueries = 256;

QString foldName(const QString &name) { return name.toCaseFolded(); }

bool isIntegerType(const QString &declared)
{
    const QString t = declared.trimmed();
    return t.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0
        || t.compare(QLatin1String("INT"), Qt::CaseInsensitive) == 0;
}

// Messages quote statements, but never whole generated texts.
QString shortened(const QString &text)
{
    constexpr int Max = 160;
    return text.size() <= Max ? text : text.left(Max) + QStringLiteral("…");
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

Database &Database::alias()
{
    if (!s_alias)
        return open(Alias::target());
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
    : m_path(path), m_connectionName(Alias::settings().name), m_key(QStringLiteral("rowid"))
{
    // The engine never creates a database: a missing file is an error.
    if (!QFileInfo(path).isFile()) {
        QString message = QStringLiteral("Database file not found: %1").arg(path);
        if (!Alias::settings().createHint.isEmpty())
            message += QStringLiteral("\nCreate it with \"%1\".").arg(Alias::settings().createHint);
        throw EngineError(message);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString message = QStringLiteral("Cannot open database %1: %2").arg(path, db.lastError().text());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EngineError(message);
    }
    try {
        // Reading the schema is the first real access: a file that is not a
        // SQLite database fails here.
        loadSchema();
        // Every write is on disk before the call returns.
        if (!readOnly)
            run(QStringLiteral("PRAGMA synchronous=FULL"), {}, QStringLiteral("open ") + path).finish();
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
    // One pass over every table and column.
    if (!list.exec(QStringLiteral("SELECT m.name, p.name, p.type FROM sqlite_schema AS m "
                                  "JOIN pragma_table_info(m.name) AS p "
                                  "WHERE m.type='table' AND m.name NOT LIKE 'sqlite_%' "
                                  "ORDER BY m.name, p.cid")))
        throw EngineError(describe(list.lastError(), QStringLiteral("open ") + m_path));
    m_tables.clear();
    m_queries.clear();
    while (list.next()) {
        const QString name = list.value(0).toString();
        Table &table = m_tables[foldName(name)];
        table.name = name;
        table.columns.append({list.value(1).toString(), isIntegerType(list.value(2).toString())});
    }
    if (list.lastError().isValid())
        throw EngineError(describe(list.lastError(), QStringLiteral("open ") + m_path));
}

const Database::Table &Database::table(const QString &name)
{
    auto it = m_tables.constFind(foldName(name));
    if (it == m_tables.constEnd()) {
        // Another program may have added it since the schema was read.
        loadSchema();
        it = m_tables.constFind(foldName(name));
        if (it == m_tables.constEnd())
            throw EngineError(QStringLiteral("Table does not exist: %1\nDatabase: %2").arg(shortened(name), m_path));
    }
    return *it;
}

QString Database::quote(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QVariant Database::conditionValue(const Table &table, const QString &column, const QString &text) const
{
    // Comparisons are exact on the text as stored: an integer column only
    // equals the digits it prints as ("07" matches nothing, not 7). An
    // invalid value stands for "matches no row".
    if (text.isEmpty())
        return QString();
    const int index = table.columnIndex(column);
    if (index < 0 || !table.columns[index].isInteger)
        return text;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || QString::number(number) != text)
        return QVariant();
    return number;
}

Database::Source Database::query(const QString &dialectText)
{
    auto cached = m_queries.constFind(dialectText);
    if (cached != m_queries.constEnd())
        return *cached;

    const Statement statement = Statement::parse(dialectText);
    const Table &t = table(statement.table);
    auto column = [&](const QString &name) -> const Column & {
        const int index = t.columnIndex(name);
        if (index < 0)
            throw EngineError(QStringLiteral("Column does not exist: %1 in table %2").arg(shortened(name), t.name));
        return t.columns[index];
    };

    Source s;
    s.table = t.name;
    if (statement.columns.isEmpty()) {
        for (const Column &c : t.columns) {
            s.fields << c.name;
            s.integer << c.isInteger;
        }
    } else {
        for (const QString &name : statement.columns) {
            const Column &c = column(name);
            s.fields << c.name;
            s.integer << c.isInteger;
        }
    }
    for (const Statement::Condition &condition : statement.conditions) {
        s.conditionColumns << column(condition.column).name;
        s.conditionValues << conditionValue(t, condition.column, condition.value);
    }
    if (m_queries.size() >= MaxQueries)
        m_queries.clear();
    m_queries.insert(dialectText, s);
    return s;
}

Database::Source Database::wholeTable(const QString &name)
{
    const Table &t = table(name);
    Source s;
    s.table = t.name;
    for (const Column &c : t.columns) {
        s.fields << c.name;
        s.integer << c.isInteger;
    }
    return s;
}

QString Database::equals(const QString &column, const QVariant &value, QVariantList &values) const
{
    if (!value.isValid())
        return QStringLiteral("0");
    // An empty constant stands for an empty field, stored or not.
    const bool empty = value.typeId() == QMetaType::QString && value.toString().isEmpty();
    values << value;
    return empty ? QStringLiteral("(%1=? OR %1 IS NULL)").arg(quote(column)) : quote(column) + QStringLiteral("=?");
}

QString Database::where(const Source &source, QVariantList &values, const QString &extra) const
{
    QStringList parts;
    for (int i = 0; i < source.conditionColumns.size(); ++i)
        parts << equals(source.conditionColumns[i], source.conditionValues[i], values);
    if (!extra.isEmpty())
        parts << extra;
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QVector<Database::Row> Database::read(QSqlQuery &query, int fieldCount, const QString &what)
{
    QVector<Row> rows;
    while (query.next()) {
        Row row;
        row.key = query.value(0);
        row.values.resize(fieldCount);
        for (int i = 0; i < fieldCount; ++i)
            row.values[i] = query.value(i + 1);
        rows.append(std::move(row));
    }
    // A read that stops on an error must not pass for a shorter result.
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw EngineError(describe(error, what));
    return rows;
}

QVector<Database::Row> Database::fetch(const Source &source, Fetch kind, const QVariant &key, int limit, int offset)
{
    QStringList columns{m_key};
    for (const QString &f : source.fields)
        columns << quote(f);
    QVariantList values;
    QString condition;
    bool descending = false;
    switch (kind) {
    case Fetch::First:
    case Fetch::Offset:
        break;
    case Fetch::Last:
        descending = true;
        break;
    case Fetch::After:
        condition = m_key + QStringLiteral(">?");
        break;
    case Fetch::Before:
        condition = m_key + QStringLiteral("<?");
        descending = true;
        break;
    case Fetch::From:
        condition = m_key + QStringLiteral(">=?");
        break;
    case Fetch::Key:
        condition = m_key + QStringLiteral("=?");
        break;
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values, condition);
    if (!condition.isEmpty())
        values << key;
    sql += QStringLiteral(" ORDER BY ") + m_key + (descending ? QStringLiteral(" DESC") : QString())
        + QStringLiteral(" LIMIT ?");
    values << limit;
    if (kind == Fetch::Offset) {
        sql += QStringLiteral(" OFFSET ?");
        values << offset;
    }
    const QString what = QStringLiteral("read table %1").arg(source.table);
    return read(run(sql, values, what), source.fields.size(), what);
}

std::optional<Database::Row> Database::find(const Source &source, int field, const QString &text)
{
    QStringList columns{m_key};
    for (const QString &f : source.fields)
        columns << quote(f);
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values);
    QVariantList searched;
    const QString condition = equals(source.fields[field], conditionValue(table(source.table), source.fields[field], text), searched);
    sql += (source.conditionColumns.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + condition
        + QStringLiteral(" ORDER BY ") + m_key + QStringLiteral(" LIMIT 1");
    values << searched;
    const QString what = QStringLiteral("search table %1").arg(source.table);
    const QVector<Row> rows = read(run(sql, values, what), source.fields.size(), what);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

qint64 Database::count(const Source &source, const QVariant &beforeKey)
{
    QVariantList values;
    const QString sql = QStringLiteral("SELECT count(*) FROM %1").arg(quote(source.table))
        + where(source, values, beforeKey.isValid() ? m_key + QStringLiteral("<?") : QString());
    if (beforeKey.isValid())
        values << beforeKey;
    QSqlQuery &query = run(sql, values, QStringLiteral("count the rows of table %1").arg(source.table));
    const qint64 n = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    return n;
}

bool Database::exists(const Source &source, const QVariant &key)
{
    QSqlQuery &query = run(QStringLiteral("SELECT 1 FROM %1 WHERE %2=?").arg(quote(source.table), m_key), {key},
                           QStringLiteral("read table %1").arg(source.table));
    const bool found = query.next();
    query.finish();
    return found;
}

void Database::scan(const Source &source, const std::function<bool(const QSqlQuery &row)> &visit)
{
    QStringList columns;
    for (const QString &f : source.fields)
        columns << quote(f);
    QVariantList values;
    const QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values) + QStringLiteral(" ORDER BY ") + m_key;
    const QString what = QStringLiteral("read table %1").arg(source.table);
    QSqlQuery &query = run(sql, values, what);
    bool more = true;
    while (more && query.next())
        more = visit(query);
    const QSqlError error = more ? query.lastError() : QSqlError();
    query.finish();
    if (error.isValid())
        throw EngineError(describe(error, what));
}

QStringList Database::distinct(const Source &source, int field)
{
    QVariantList values;
    const QString column = quote(source.fields.value(field));
    const QString sql = QStringLiteral("SELECT DISTINCT %1 FROM %2").arg(column, quote(source.table))
        + where(source, values) + QStringLiteral(" ORDER BY ") + column;
    const QString what = QStringLiteral("read table %1").arg(source.table);
    QSqlQuery &query = run(sql, values, what);
    QStringList texts;
    while (query.next())
        texts << query.value(0).toString();
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw EngineError(describe(error, what));
    return texts;
}

QVariant Database::insert(const Source &source, const QVector<int> &fields, const QVariantList &values)
{
    QStringList columns;
    for (int f : fields)
        columns << quote(source.fields[f]);
    const QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quote(source.table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(quote(source.table), columns.join(QLatin1Char(',')),
                   QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    QSqlQuery &query = run(sql, values, QStringLiteral("add a row to table %1").arg(source.table));
    const QVariant key = query.lastInsertId();
    query.finish();
    return key;
}

bool Database::update(const Source &source, const QVariant &key, const QVector<int> &fields,
                      const QVariantList &values, const QVariantList &originals)
{
    QStringList assignments;
    QStringList unchanged;
    for (int f : fields) {
        assignments << quote(source.fields[f]) + QStringLiteral("=?");
        unchanged << quote(source.fields[f]) + QStringLiteral(" IS ?");
    }
    QVariantList bound = values;
    bound << key << originals;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                            .arg(quote(source.table), assignments.join(QLatin1Char(',')), m_key)
        + (unchanged.isEmpty() ? QString() : QStringLiteral(" AND ") + unchanged.join(QStringLiteral(" AND ")));
    QSqlQuery &query = run(sql, bound, QStringLiteral("save the row of table %1").arg(source.table));
    const int affected = query.numRowsAffected();
    query.finish();
    return affected == 1;
}

bool Database::remove(const Source &source, const QVariant &key, const QVector<int> &compared,
                      const QVariantList &originals)
{
    QStringList unchanged;
    for (int f : compared)
        unchanged << quote(source.fields[f]) + QStringLiteral(" IS ?");
    QVariantList bound{key};
    bound << originals;
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(quote(source.table), m_key)
        + (unchanged.isEmpty() ? QString() : QStringLiteral(" AND ") + unchanged.join(QStringLiteral(" AND ")));
    QSqlQuery &query = run(sql, bound, QStringLiteral("delete a row of table %1").arg(source.table));
    const int affected = query.numRowsAffected();
    query.finish();
    return affected == 1;
}

QSqlQuery &Database::prepared(const QString &sql, const QString &what)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        if (m_statements.size() >= MaxStatements)
            m_statements.clear();
        auto query = std::make_shared<QSqlQuery>(connection());
        query->setForwardOnly(true);
        if (!query->prepare(sql))
            throw EngineError(describe(query->lastError(), what));
        it = m_statements.insert(sql, query);
    }
    return **it;
}

QSqlQuery &Database::run(const QString &sql, const QVariantList &values, const QString &what)
{
    QSqlQuery &query = prepared(sql, what);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec()) {
        const QString message = describe(query.lastError(), what);
        query.finish();
        throw EngineError(message);
    }
    return query;
}

QString Database::describe(const QSqlError &error, const QString &what) const
{
    const QString code = error.nativeErrorCode();
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // Primary SQLite result codes; extended codes share the low byte.
    const int extended = code.toInt();
    if (extended == 3091) // SQLITE_CONSTRAINT_DATATYPE
        return QStringLiteral("Could not %1: a value does not suit the type of its column; nothing was changed.\n%2")
            .arg(what, detail);
    const int primary = extended & 0xff;
    switch (primary) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("The database is locked by another program; nothing was changed. "
                              "Try again when it is closed.\nCould not %1\nDatabase: %2")
            .arg(what, m_path);
    case 8: // SQLITE_READONLY
        return QStringLiteral("The database is read-only; nothing was changed.\nCould not %1\nDatabase: %2")
            .arg(what, m_path);
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("The database file is damaged: %1\nCould not %2").arg(m_path, what);
    case 18: // SQLITE_TOOBIG
        return QStringLiteral("Could not %1: a text or value is larger than the database allows.").arg(what);
    case 19: // SQLITE_CONSTRAINT
        return QStringLiteral("Could not %1: the value is outside what the table allows; nothing was changed.\n%2")
            .arg(what, detail);
    case 26: // SQLITE_NOTADB
        return QStringLiteral("The file is not a database: %1").arg(m_path);
    default:
        return QStringLiteral("Could not %1: %2").arg(what, shortened(detail));
    }
}
