#include "platform/db/database.h"

#include "platform/db/alias.h"
#include "platform/db/engineerror.h"
#include "platform/db/statement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QStringDecoder>

namespace {

std::unique_ptr<Database> s_alias;

// What differs between the two engines, as data.
struct Dialect {
    const char *driver;
    const char *rowKey;        // the key of every table; nullptr: the table's primary key
    const char *notDistinct;   // equality that holds for two empty values too
    const char *never;         // a condition no row meets
    const char *beginWrite;    // a transaction that takes the write lock at once
    bool returning;            // an insert hands back its key itself
    const char *columnsOfTables; // table, column, declared type; in column order
    const char *primaryKeys;   // table, key column; nullptr: rowKey serves
    // A text column read as its stored UTF-8 bytes, and a placeholder that
    // binds UTF-8 bytes as a text (nullptr: texts are bound as they are):
    // the drivers' own conversions drop a leading U+FEFF (PostgreSQL on the
    // way out, SQLite on the way in) and turn U+FFFE/U+FFFF into U+FFFD
    // (SQLite on the way out).
    const char *textAsBytes;
    const char *bytesAsText;
};
const Dialect Dialects[2] = {
    {"QSQLITE", "rowid", "IS", "0", "BEGIN IMMEDIATE", false,
     "SELECT m.name, p.name, p.type FROM sqlite_schema AS m "
     "JOIN pragma_table_info(m.name) AS p "
     "WHERE m.type='table' AND m.name NOT LIKE 'sqlite_%' "
     "ORDER BY m.name, p.cid",
     nullptr, "CAST(%1 AS BLOB)", "CAST(? AS TEXT)"},
    {"QPSQL", nullptr, "IS NOT DISTINCT FROM", "FALSE", "BEGIN", true,
     // From the catalog, which every role may read: information_schema
     // hides a table whose privileges were refused, and the refusal would
     // pass for a missing table.
     "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod) "
     "FROM pg_catalog.pg_class AS c "
     "JOIN pg_catalog.pg_namespace AS n ON n.oid = c.relnamespace "
     "JOIN pg_catalog.pg_attribute AS a ON a.attrelid = c.oid "
     "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') AND a.attnum > 0 AND NOT a.attisdropped "
     "ORDER BY c.relname, a.attnum",
     "SELECT c.relname, a.attname "
     "FROM pg_catalog.pg_index AS i "
     "JOIN pg_catalog.pg_class AS c ON c.oid = i.indrelid "
     "JOIN pg_catalog.pg_namespace AS n ON n.oid = c.relnamespace "
     "JOIN pg_catalog.pg_attribute AS a ON a.attrelid = c.oid AND a.attnum = i.indkey[0] "
     "WHERE n.nspname = current_schema() AND i.indisprimary",
     "convert_to(%1::text, 'UTF8')", nullptr},
};

const Dialect &dialect(Database::Engine engine) { return Dialects[engine == Database::Engine::SQLite ? 0 : 1]; }

// A short wait for another program or user who holds what is needed: long
// enough to ride out a neighbour's save, short enough not to freeze the
// window. The driver's own SQLite default of five seconds would.
constexpr int BusyTimeoutMs = 250;
constexpr int LockTimeoutMs = 800;

// Distinct statement texts are few (one per dataset shape and fetch kind);
// the caps only keep typed statements from growing the caches forever.
constexpr int MaxStatements = 512;
constexpr int MaxQueries = 256;

QString foldName(const QString &name) { return name.toCaseFolded(); }

bool isIntegerType(const QString &declared)
{
    const QString t = declared.trimmed().toLower();
    return t == QLatin1String("integer") || t == QLatin1String("int") || t == QLatin1String("bigint")
        || t == QLatin1String("smallint");
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
    // A connection to a server that was lost is opened again here, at the
    // next command.
    if (!s_alias || s_alias->m_lost)
        return open(Alias::target());
    return *s_alias;
}

Database &Database::open(const QString &target, bool readOnly)
{
    close();
    // Close before Qt's SQL drivers go at exit, not in static destruction.
    static const bool closesAtExit = [] {
        qAddPostRoutine(&Database::close);
        return true;
    }();
    Q_UNUSED(closesAtExit);
    s_alias.reset(new Database(target, readOnly, Alias::settings().name));
    return *s_alias;
}

void Database::close() { s_alias.reset(); }

bool Database::isOpen() { return s_alias != nullptr; }

std::unique_ptr<Database> Database::connect(const QString &target, bool readOnly, const QString &connectionName)
{
    return std::unique_ptr<Database>(new Database(target, readOnly, connectionName));
}

Database::Database(const QString &targetText, bool readOnly, const QString &connectionName)
    : m_connectionName(connectionName)
{
    const Target target = Target::parse(targetText);
    m_display = target.display();
    m_engine = target.postgres ? Engine::PostgreSQL : Engine::SQLite;
    try {
        if (target.postgres)
            openServer(target, readOnly);
        else
            openFile(target, readOnly);
        loadSchema();
    } catch (...) {
        m_statements.clear();
        m_loose.clear();
        if (QSqlDatabase::contains(m_connectionName)) {
            {
                QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
                db.close();
            }
            QSqlDatabase::removeDatabase(m_connectionName);
        }
        throw;
    }
}

void Database::openFile(const Target &target, bool readOnly)
{
    // The engine never creates a database: a missing file is an error.
    if (!QFileInfo(target.file).isFile()) {
        QString message = QStringLiteral("Database file not found: %1").arg(target.file);
        if (!Alias::settings().createHint.isEmpty())
            message += QStringLiteral("\nCreate it with \"%1\".").arg(Alias::settings().createHint);
        throw EngineError(message);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(target.file);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        throw EngineError(QStringLiteral("Cannot open database %1: %2").arg(target.file, db.lastError().text()));
    if (readOnly)
        recoverInterruptedWrite(target.file);
    // Reading the schema is the first real access: a file that is not a
    // SQLite database fails there. Every write is on disk before the call
    // returns.
    if (!readOnly)
        run(QStringLiteral("PRAGMA synchronous=FULL"), {}, QStringLiteral("open ") + target.file).finish();
}

// A write that was interrupted (a crash, a killed program) leaves a hot
// journal, which only a connection that may write can roll back; a reader
// would be refused as if the file were read-only. So the interrupted write
// is rolled back first, through a short writing connection, and the reader
// goes on; a file this user may not write needs its owner to do it.
void Database::recoverInterruptedWrite(const QString &file)
{
    constexpr int ReadOnlyRollback = 8 | (3 << 8);   // SQLITE_READONLY_ROLLBACK
    auto probe = [](const QSqlDatabase &db) {
        QSqlQuery query(db);
        const bool ok = query.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema")) && query.next();
        const QSqlError error = ok ? QSqlError() : query.lastError();
        query.finish();
        return error;
    };
    if (probe(connection()).nativeErrorCode().toInt() != ReadOnlyRollback)
        return;
    const QString name = m_connectionName + QStringLiteral("-recover");
    QSqlError error;
    {
        QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        writer.setDatabaseName(file);
        writer.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        error = writer.open() ? probe(writer) : writer.lastError();
        if (!error.isValid())
            error = QSqlError();
        writer.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (error.isValid()) {
        if (classify(error) == EngineError::Kind::Locked)
            fail(error, QStringLiteral("roll back the interrupted write of ") + file);
        throw EngineError(QStringLiteral("The database %1 holds a write that was interrupted and needs recovery: "
                                         "only a program that may write the file can roll it back (its owner, or "
                                         "anyone once the disk is writable again). Nothing was read.")
                              .arg(file),
                          EngineError::Kind::ReadOnly);
    }
}

void Database::openServer(const Target &target, bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    if (!db.isValid())
        throw EngineError(QStringLiteral("The PostgreSQL driver of Qt is not installed (Debian package libqt6sql6-psql)."));
    db.setHostName(target.host);
    if (target.port > 0)
        db.setPort(target.port);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    // Only when the address gives one; otherwise libpq reads ~/.pgpass and
    // PGPASSWORD itself.
    if (!target.password.isEmpty())
        db.setPassword(target.password);
    // The driver joins the options with blanks into libpq's connection
    // string: each value goes quoted, so that one with blanks
    // ("options=-c search_path=x") reaches libpq whole.
    QStringList options{QStringLiteral("connect_timeout=5")};
    for (const QString &option : target.options.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = option.indexOf(QLatin1Char('='));
        QString value = eq < 0 ? QString() : option.mid(eq + 1);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        options << (eq < 0 ? option : option.left(eq)) + QStringLiteral("='") + value + QLatin1Char('\'');
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open()) {
        // libpq's first line names the cause; the rest are hints about it.
        const QString reason = db.lastError().databaseText().trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
        QString message = QStringLiteral("Cannot reach the database %1: %2").arg(m_display, reason);
        // A refused certificate is no network fault: say what to check.
        if (reason.contains(QLatin1String("certificate"), Qt::CaseInsensitive))
            message += QStringLiteral("\nThe server's certificate was not accepted: sslrootcert must name the CA that "
                                      "signed it, and the address the host name it was made for.");
        throw EngineError(message, EngineError::Kind::LostConnection);
    }
    const QString what = QStringLiteral("open ") + m_display;
    // A row another user holds is reported within a second, as a file that
    // another program holds.
    run(QStringLiteral("SET lock_timeout = %1").arg(LockTimeoutMs), {}, what).finish();
    run(QStringLiteral("SET client_min_messages = warning"), {}, what).finish();
    if (readOnly)
        run(QStringLiteral("SET default_transaction_read_only = on"), {}, what).finish();
}

Database::~Database()
{
    m_statements.clear();
    m_loose.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const { return QSqlDatabase::database(m_connectionName, false); }

void Database::loadSchema()
{
    const QString what = QStringLiteral("open ") + m_display;
    const Dialect &d = dialect(m_engine);
    QHash<QString, Table> tables;
    QSqlQuery &columns = run(QString::fromLatin1(d.columnsOfTables), {}, what);
    for (const Row &row : read(columns, 2, what)) {
        Table &table = tables[foldName(row.key.toString())];
        table.name = row.key.toString();
        table.columns.append({row.values[0].toString(), isIntegerType(row.values[1].toString())});
    }
    if (d.primaryKeys) {
        QSqlQuery &keys = run(QString::fromLatin1(d.primaryKeys), {}, what);
        for (const Row &row : read(keys, 1, what)) {
            auto it = tables.find(foldName(row.key.toString()));
            if (it != tables.end())
                it->key = row.values[0].toString();
        }
    }
    m_tables = std::move(tables);
    m_queries.clear();
}

const Database::Table &Database::table(const QString &name)
{
    auto it = m_tables.constFind(foldName(name));
    if (it == m_tables.constEnd()) {
        // Another program may have added it since the schema was read.
        loadSchema();
        it = m_tables.constFind(foldName(name));
        if (it == m_tables.constEnd()) {
            QString message = QStringLiteral("Table does not exist: %1\nDatabase: %2").arg(shortened(name), m_display);
            if (m_tables.isEmpty() && !Alias::settings().createHint.isEmpty())
                message += QStringLiteral("\nCreate the tables with \"%1\".").arg(Alias::settings().createHint);
            throw EngineError(message, EngineError::Kind::MissingTable);
        }
    }
    return *it;
}

QStringList Database::tableNames() const
{
    QStringList names;
    for (const Table &t : m_tables)
        names << t.name;
    names.sort();
    return names;
}

QString Database::quote(const QString &name)
{
    if (!name.contains(QLatin1Char('"')))   // the usual case needs no copy to replace in
        return QLatin1Char('"') + name + QLatin1Char('"');
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString Database::key(const QString &tableName)
{
    if (const char *rowKey = dialect(m_engine).rowKey)
        return QString::fromLatin1(rowKey);
    const Table &t = table(tableName);
    if (t.key.isEmpty())
        throw EngineError(QStringLiteral("Table %1 has no primary key; its rows cannot be read one by one.\nDatabase: %2")
                              .arg(t.name, m_display));
    return quote(t.key);
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
        s.conditionValues << condition.value;
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

QString Database::equals(const Table &table, const QString &column, const QVariant &value, QVariantList &values) const
{
    const int index = table.columnIndex(column);
    const bool integer = index >= 0 && table.columns[index].isInteger;
    const QString name = quote(column);
    if (value.typeId() != QMetaType::QString) {
        values << value;
        return name + QStringLiteral("=?");
    }
    // A text constant is compared exactly, as stored: an empty one stands
    // for an empty field, stored or not; an integer column only equals the
    // digits it prints as ("07" matches nothing, not 7).
    const QString text = value.toString();
    if (text.isEmpty()) {
        if (integer)
            return name + QStringLiteral(" IS NULL");
        values << QString(QLatin1String(""));
        return QStringLiteral("(%1=? OR %1 IS NULL)").arg(name);
    }
    if (!integer) {
        values << bound(text, true);
        return name + QLatin1Char('=') + placeholder(true);
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || QString::number(number) != text)
        return QString::fromLatin1(dialect(m_engine).never);
    values << number;
    return name + QStringLiteral("=?");
}

QString Database::where(const Source &source, QVariantList &values, const QString &extra)
{
    QStringList parts;
    if (!source.conditionColumns.isEmpty()) {
        const Table &t = table(source.table);
        for (int i = 0; i < source.conditionColumns.size(); ++i)
            parts << equals(t, source.conditionColumns[i], source.conditionValues.value(i), values);
    }
    if (!extra.isEmpty())
        parts << extra;
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString Database::selected(const Source &source, int field) const
{
    const QString column = quote(source.fields[field]);
    return source.integer.value(field) ? column : QString::fromLatin1(dialect(m_engine).textAsBytes).arg(column);
}

QString Database::textAsBytes(const QString &column) const
{
    return QString::fromLatin1(dialect(m_engine).textAsBytes).arg(quote(column));
}

QString Database::placeholder(bool text) const
{
    const char *bytes = dialect(m_engine).bytesAsText;
    return text && bytes ? QString::fromLatin1(bytes) : QStringLiteral("?");
}

QVariant Database::bound(const QVariant &value, bool text) const
{
    if (!text || !dialect(m_engine).bytesAsText || (!value.isNull() && value.typeId() != QMetaType::QString))
        return value;
    if (value.isNull())
        return QVariant(QMetaType::fromType<QByteArray>());
    return value.toString().toUtf8();
}

QVariant Database::text(const QVariant &stored)
{
    if (stored.isNull())
        return QVariant(QMetaType::fromType<QString>());
    if (stored.typeId() != QMetaType::QByteArray)
        return stored.toString();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return QString(utf8.decode(stored.toByteArray()));
}

QVector<QVariant> &Database::decodeRow(const QSqlQuery &query, const Source &source, QVector<QVariant> &into, int first)
{
    const int count = int(source.fields.size());
    into.resize(count);
    for (int i = 0; i < count; ++i) {
        const QVariant v = query.value(i + first);
        into[i] = source.integer.value(i) ? v : text(v);
    }
    return into;
}

QVector<Database::Row> Database::read(QSqlQuery &query, int fieldCount, const QString &what, const Source *source)
{
    QVector<Row> rows;
    while (query.next()) {
        Row row;
        row.key = query.value(0);
        if (source) {
            decodeRow(query, *source, row.values, 1);
        } else {
            row.values.resize(fieldCount);
            for (int i = 0; i < fieldCount; ++i)
                row.values[i] = query.value(i + 1);
        }
        rows.append(std::move(row));
    }
    // A read that stops on an error must not pass for a shorter result.
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        fail(error, what);
    return rows;
}

QVector<Database::Row> Database::fetch(const Source &source, Fetch kind, const QVariant &rowKey, int limit, int offset)
{
    const QString k = key(source.table);
    QStringList columns{k};
    for (int f = 0; f < source.fields.size(); ++f)
        columns << selected(source, f);
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
        condition = k + QStringLiteral(">?");
        break;
    case Fetch::Before:
        condition = k + QStringLiteral("<?");
        descending = true;
        break;
    case Fetch::From:
        condition = k + QStringLiteral(">=?");
        break;
    case Fetch::Key:
        condition = k + QStringLiteral("=?");
        break;
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values, condition);
    if (!condition.isEmpty())
        values << rowKey;
    sql += QStringLiteral(" ORDER BY ") + k + (descending ? QStringLiteral(" DESC") : QString()) + QStringLiteral(" LIMIT ?");
    values << limit;
    if (kind == Fetch::Offset) {
        sql += QStringLiteral(" OFFSET ?");
        values << offset;
    }
    const QString what = QStringLiteral("read table %1").arg(source.table);
    return read(run(sql, values, what), source.fields.size(), what, &source);
}

std::optional<Database::Row> Database::find(const Source &source, int field, const QString &text)
{
    const QString k = key(source.table);
    QStringList columns{k};
    for (int f = 0; f < source.fields.size(); ++f)
        columns << selected(source, f);
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values);
    QVariantList searched;
    const QString condition = equals(table(source.table), source.fields[field], text, searched);
    sql += (sql.contains(QLatin1String(" WHERE ")) ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) + condition
        + QStringLiteral(" ORDER BY ") + k + QStringLiteral(" LIMIT 1");
    values << searched;
    const QString what = QStringLiteral("search table %1").arg(source.table);
    const QVector<Row> rows = read(run(sql, values, what), source.fields.size(), what, &source);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

qint64 Database::count(const Source &source, const QVariant &beforeKey)
{
    QVariantList values;
    const QString sql = QStringLiteral("SELECT count(*) FROM %1").arg(quote(source.table))
        + where(source, values, beforeKey.isValid() ? key(source.table) + QStringLiteral("<?") : QString());
    if (beforeKey.isValid())
        values << beforeKey;
    QSqlQuery &query = run(sql, values, QStringLiteral("count the rows of table %1").arg(source.table));
    const qint64 n = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    return n;
}

bool Database::exists(const Source &source, const QVariant &rowKey)
{
    QSqlQuery &query = run(QStringLiteral("SELECT 1 FROM %1 WHERE %2=?").arg(quote(source.table), key(source.table)),
                           {rowKey}, QStringLiteral("read table %1").arg(source.table));
    const bool found = query.next();
    query.finish();
    return found;
}

void Database::scan(const Source &source, const std::function<bool(const QVector<QVariant> &row)> &visit)
{
    QStringList columns;
    for (int f = 0; f < source.fields.size(); ++f)
        columns << selected(source, f);
    QVariantList values;
    const QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quote(source.table))
        + where(source, values) + QStringLiteral(" ORDER BY ") + key(source.table);
    const QString what = QStringLiteral("read table %1").arg(source.table);
    QSqlQuery &query = run(sql, values, what);
    bool more = true;
    QVector<QVariant> row;   // keeps its room from row to row
    try {
        while (more && query.next())
            more = visit(decodeRow(query, source, row, 0));
    } catch (...) {
        // A visitor that throws leaves no statement open (and no lock held).
        query.finish();
        throw;
    }
    const QSqlError error = more ? query.lastError() : QSqlError();
    query.finish();
    if (error.isValid())
        fail(error, what);
}

QStringList Database::distinct(const Source &source, int field)
{
    QVariantList values;
    const QString column = quote(source.fields.value(field));
    const QString sql = QStringLiteral("SELECT DISTINCT %1, %2 FROM %3").arg(column, selected(source, field), quote(source.table))
        + where(source, values) + QStringLiteral(" ORDER BY ") + column;
    const QString what = QStringLiteral("read table %1").arg(source.table);
    QSqlQuery &query = run(sql, values, what);
    QStringList texts;
    const bool integer = source.integer.value(field);
    while (query.next())
        texts << (integer ? query.value(1) : text(query.value(1))).toString();
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        fail(error, what);
    return texts;
}

QHash<QString, qint64> Database::countBy(const Source &source, int field)
{
    QVariantList values;
    const QString column = quote(source.fields.value(field));
    const QString sql = QStringLiteral("SELECT %1, count(*) FROM %2").arg(column, quote(source.table))
        + where(source, values) + QStringLiteral(" GROUP BY ") + column;
    const QString what = QStringLiteral("count the rows of table %1").arg(source.table);
    QSqlQuery &query = run(sql, values, what);
    QHash<QString, qint64> counts;
    while (query.next())
        counts[query.value(0).toString()] += query.value(1).toLongLong();
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        fail(error, what);
    return counts;
}

QVariant Database::insert(const Source &source, const QVector<int> &fields, const QVariantList &values)
{
    QStringList columns;
    QStringList placeholders;
    QVariantList bindings;
    for (int i = 0; i < fields.size(); ++i) {
        const bool text = !source.integer.value(fields[i]);
        columns << quote(source.fields[fields[i]]);
        placeholders << placeholder(text);
        bindings << bound(values.value(i), text);
    }
    QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quote(source.table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(quote(source.table), columns.join(QLatin1Char(',')), placeholders.join(QLatin1Char(',')));
    const bool returning = dialect(m_engine).returning;
    if (returning)
        sql += QStringLiteral(" RETURNING ") + key(source.table);
    QSqlQuery &query = run(sql, bindings, QStringLiteral("add a row to table %1").arg(source.table));
    QVariant inserted;
    if (returning)
        inserted = query.next() ? query.value(0) : QVariant();
    else
        inserted = query.lastInsertId();
    query.finish();
    return inserted;
}

bool Database::update(const Source &source, const QVariant &rowKey, const QVector<int> &fields,
                      const QVariantList &values, const QVariantList &originals)
{
    const QString notDistinct = QString::fromLatin1(dialect(m_engine).notDistinct);
    QStringList assignments;
    QStringList unchanged;
    QVariantList newValues;
    QVariantList oldValues;
    for (int i = 0; i < fields.size(); ++i) {
        const int f = fields[i];
        const bool text = !source.integer.value(f);
        assignments << quote(source.fields[f]) + QLatin1Char('=') + placeholder(text);
        unchanged << quote(source.fields[f]) + QLatin1Char(' ') + notDistinct + QLatin1Char(' ') + placeholder(text);
        newValues << bound(values.value(i), text);
        oldValues << bound(originals.value(i), text);
    }
    QVariantList bindings = newValues;
    bindings << rowKey << oldValues;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                            .arg(quote(source.table), assignments.join(QLatin1Char(',')), key(source.table))
        + (unchanged.isEmpty() ? QString() : QStringLiteral(" AND ") + unchanged.join(QStringLiteral(" AND ")));
    QSqlQuery &query = run(sql, bindings, QStringLiteral("save the row of table %1").arg(source.table));
    const int affected = query.numRowsAffected();
    query.finish();
    return affected == 1;
}

bool Database::remove(const Source &source, const QVariant &rowKey, const QVector<int> &compared,
                      const QVariantList &originals)
{
    const QString notDistinct = QString::fromLatin1(dialect(m_engine).notDistinct);
    QStringList unchanged;
    QVariantList bindings{rowKey};
    for (int i = 0; i < compared.size(); ++i) {
        const bool text = !source.integer.value(compared[i]);
        unchanged << quote(source.fields[compared[i]]) + QLatin1Char(' ') + notDistinct + QLatin1Char(' ') + placeholder(text);
        bindings << bound(originals.value(i), text);
    }
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(quote(source.table), key(source.table))
        + (unchanged.isEmpty() ? QString() : QStringLiteral(" AND ") + unchanged.join(QStringLiteral(" AND ")));
    QSqlQuery &query = run(sql, bindings, QStringLiteral("delete a row of table %1").arg(source.table));
    const int affected = query.numRowsAffected();
    query.finish();
    return affected == 1;
}

void Database::begin(const QString &what)
{
    run(QString::fromLatin1(dialect(m_engine).beginWrite), {}, what).finish();
}

void Database::commit(const QString &what) { run(QStringLiteral("COMMIT"), {}, what).finish(); }

void Database::rollback()
{
    try {
        run(QStringLiteral("ROLLBACK"), {}, QStringLiteral("roll back")).finish();
    } catch (const EngineError &) {
        // Nothing was begun, or the connection is gone: nothing to undo.
    }
}

QSqlQuery &Database::loose()
{
    std::erase_if(m_loose, [](const std::unique_ptr<QSqlQuery> &q) { return !q->isActive(); });
    m_loose.push_back(std::make_unique<QSqlQuery>(connection()));
    m_loose.back()->setForwardOnly(true);
    return *m_loose.back();
}

QSqlQuery &Database::prepared(const QString &sql, const QString &what)
{
    // A statement that has been run and not finished is in a caller's
    // hands (a scan whose visitor runs others): it is neither dropped from
    // the cache nor run again under its reader.
    auto it = m_statements.find(sql);
    if (it != m_statements.end() && (*it)->isActive()) {
        QSqlQuery &copy = loose();
        if (!copy.prepare(sql))
            fail(copy.lastError(), what);
        return copy;
    }
    if (it == m_statements.end()) {
        if (m_statements.size() >= MaxStatements)
            m_statements.removeIf([](const auto &entry) { return !entry.value()->isActive(); });
        auto query = std::make_shared<QSqlQuery>(connection());
        query->setForwardOnly(true);
        if (!query->prepare(sql))
            fail(query->lastError(), what);
        it = m_statements.insert(sql, query);
    }
    return **it;
}

namespace {

// A statement that changes rows or tables, or takes the write lock.
bool writes(const QString &sql)
{
    static const char *const verbs[] = {"INSERT", "UPDATE", "DELETE", "BEGIN IMMEDIATE", "CREATE", "ALTER", "DROP",
                                        "LOCK", "TRUNCATE", "COPY", "SELECT setval", "GRANT"};
    for (const char *verb : verbs) {
        if (sql.startsWith(QLatin1String(verb), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QSqlQuery &Database::run(const QString &sql, const QVariantList &values, const QString &what)
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
    if (m_engine == Engine::PostgreSQL && values.isEmpty()) {
        QSqlQuery &direct = loose();
        if (!direct.exec(sql)) {
            const QSqlError error = direct.lastError();
            direct.finish();
            fail(error, what, writes(sql));
        }
        return direct;
    }
    QSqlQuery &query = prepared(sql, what);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        fail(error, what, writes(sql));
    }
    return query;
}

void Database::fail(const QSqlError &error, const QString &what, bool writing)
{
    const EngineError::Kind kind = classify(error);
    const QString message = describe(error, what, writing);
    if (kind == EngineError::Kind::LostConnection)
        m_lost = true;
    EngineError failure(message, kind);
    if (writing)
        failure.ofChange();
    throw failure;
}

namespace {

// What libpq says when the server went away without a SQLSTATE.
bool soundsLost(const QString &text)
{
    static const char *const phrases[] = {"server closed the connection", "no connection to the server",
                                          "could not receive data from server", "could not send data to server",
                                          "terminating connection", "connection to server was lost",
                                          "SSL SYSCALL error", "SSL connection has been closed"};
    for (const char *phrase : phrases) {
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

EngineError::Kind Database::classify(const QSqlError &error) const
{
    using Kind = EngineError::Kind;
    const QString text = error.databaseText() + QLatin1Char('\n') + error.driverText();
    if (m_engine == Engine::PostgreSQL) {
        const QString state = error.nativeErrorCode();
        if (error.type() == QSqlError::ConnectionError || state.startsWith(QLatin1String("08"))
            || state.startsWith(QLatin1String("57P")) || (state.isEmpty() && (!connection().isOpen() || soundsLost(text))))
            return Kind::LostConnection;
        if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
            return Kind::Locked;
        if (state == QLatin1String("25006"))
            return Kind::ReadOnly;
        if (state == QLatin1String("42501"))
            return Kind::Permission;
        if (state == QLatin1String("42P01"))
            return Kind::MissingTable;
        if (state == QLatin1String("42703"))
            return Kind::MissingColumn;
        if (state == QLatin1String("22P02") || state == QLatin1String("22003") || state == QLatin1String("42804"))
            return Kind::WrongType;
        if (state == QLatin1String("53100"))
            return Kind::DiskFull;
        if (state == QLatin1String("XX001") || state == QLatin1String("XX002"))
            return Kind::Damaged;
        return Kind::Other;
    }
    const int extended = error.nativeErrorCode().toInt();
    if (extended == 3091) // SQLITE_CONSTRAINT_DATATYPE
        return Kind::WrongType;
    // Primary SQLite result codes; extended codes share the low byte.
    switch (extended & 0xff) {
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return Kind::Permission;
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return Kind::Locked;
    case 8: // SQLITE_READONLY
        return Kind::ReadOnly;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return Kind::Damaged;
    case 13: // SQLITE_FULL
        return Kind::DiskFull;
    case 1: // SQLITE_ERROR: the statement names what is missing
        if (text.contains(QLatin1String("no such table")))
            return Kind::MissingTable;
        if (text.contains(QLatin1String("no such column")))
            return Kind::MissingColumn;
        return Kind::Other;
    default:
        return Kind::Other;
    }
}

QString Database::describe(const QSqlError &error, const QString &what, bool writing) const
{
    using Kind = EngineError::Kind;
    const QString detail = (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
    const Kind kind = classify(error);
    switch (kind) {
    case Kind::LostConnection:
        // One line: the driver's own words say nothing more.
        return QStringLiteral("The connection to the database server was lost (could not %1; %2); "
                              "it is opened again at the next command.")
            .arg(what, m_display);
    case Kind::Locked:
        return QStringLiteral("The database is locked by another user or program; nothing was changed. "
                              "Try again in a moment.\nCould not %1\nDatabase: %2")
            .arg(what, m_display);
    case Kind::ReadOnly:
        return QStringLiteral("You may read this scorecard but not change it: the database is read-only; "
                              "nothing was changed.\nCould not %1\nDatabase: %2")
            .arg(what, m_display);
    case Kind::Permission:
        if (writing)
            return QStringLiteral("You may read this scorecard but not change it: the database server does not "
                                  "let this user %1; nothing was changed.\nDatabase: %2")
                .arg(what, m_display);
        return QStringLiteral("Permission refused: the database does not let this user %1.\nDatabase: %2")
            .arg(what, m_display);
    case Kind::WrongType:
        return QStringLiteral("Could not %1: a value does not suit the type of its column; nothing was changed.\n%2")
            .arg(what, shortened(detail));
    case Kind::DiskFull:
        return QStringLiteral("The disk is full; nothing was written.\nCould not %1\nDatabase: %2").arg(what, m_display);
    case Kind::Damaged:
        if ((error.nativeErrorCode().toInt() & 0xff) == 26 && m_engine == Engine::SQLite)
            return QStringLiteral("The file is not a database: %1").arg(m_display);
        return QStringLiteral("The database file is damaged: %1\nCould not %2").arg(m_display, what);
    default:
        break;
    }

    const QString outside =
        QStringLiteral("Could not %1: the value is outside what the table allows; nothing was changed.\n%2")
            .arg(what, shortened(detail));
    if (m_engine == Engine::PostgreSQL) {
        const QString state = error.nativeErrorCode();
        if (state.startsWith(QLatin1String("23")))
            return outside;
        if (state == QLatin1String("54000") || state == QLatin1String("54001") || state == QLatin1String("54011"))
            return QStringLiteral("Could not %1: the statement is larger than the database allows.\n%2").arg(what, shortened(detail));
        return QStringLiteral("Could not %1: %2").arg(what, shortened(detail));
    }
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 18: // SQLITE_TOOBIG
        return QStringLiteral("Could not %1: a text or value is larger than the database allows.").arg(what);
    case 19: // SQLITE_CONSTRAINT
        return outside;
    default:
        return QStringLiteral("Could not %1: %2").arg(what, shortened(detail));
    }
}
