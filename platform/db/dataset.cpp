#include "platform/db/dataset.h"

#include "platform/db/database.h"
#include "platform/db/engineerror.h"

#include <QSqlError>
#include <QSqlRecord>
#include <limits>

DataSet::DataSet(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
}

void DataSet::fail(const QString &what) const
{
    throw EngineError(QStringLiteral("%1 (%2): %3").arg(name(), describe(), what));
}

void DataSet::requireActive() const
{
    if (m_state == State::Inactive)
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::open()
{
    if (isActive())
        return;
    reload(-1, 0);
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_fields.clear();
    m_fieldIndex.clear();
    m_integer.clear();
    m_rows.clear();
    m_rowids.clear();
    m_buffer.clear();
    m_modified.clear();
    m_current = -1;
    m_eof = m_bof = true;
    emit changed();
}

void DataSet::refresh()
{
    requireActive();
    dropPending();
    const qint64 rowid = m_current >= 0 && m_current < m_rowids.size() ? m_rowids[m_current] : -1;
    reload(rowid, m_current);
}

void DataSet::reload(qint64 keepRowid, int keepIndex)
{
    Result result = load();
    m_fields = result.fields;
    m_integer = result.integer;
    m_rows = std::move(result.rows);
    m_rowids = std::move(result.rowids);
    m_fieldIndex.clear();
    for (int i = 0; i < m_fields.size(); ++i)
        m_fieldIndex.insert(m_fields[i].toCaseFolded(), i);
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;

    int row = keepIndex;
    if (keepRowid >= 0) {
        const int found = m_rowids.indexOf(keepRowid);
        if (found >= 0)
            row = found;
    }
    row = qBound(0, row, int(m_rows.size()) - 1);
    m_current = m_rows.isEmpty() ? -1 : row;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit changed();
}

void DataSet::dropPending()
{
    if (!isEditing())
        return;
    if (m_state == State::Insert)
        m_current = m_returnTo;
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
}

void DataSet::setCurrent(int row)
{
    dropPending();
    m_current = row;
    emit changed();
}

void DataSet::first()
{
    requireActive();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void DataSet::last()
{
    requireActive();
    setCurrent(m_rows.size() - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void DataSet::next()
{
    requireActive();
    m_bof = false;
    if (m_current + 1 < m_rows.size()) {
        setCurrent(m_current + 1);
        m_eof = false;
    } else {
        dropPending();
        m_eof = true;
    }
}

void DataSet::prior()
{
    requireActive();
    m_eof = false;
    if (m_current > 0) {
        setCurrent(m_current - 1);
        m_bof = false;
    } else {
        dropPending();
        m_bof = true;
    }
}

void DataSet::moveTo(int row)
{
    requireActive();
    if (row < 0 || row >= m_rows.size())
        return;
    setCurrent(row);
    m_bof = m_eof = false;
}

bool DataSet::locate(const QString &column, const QString &value)
{
    requireActive();
    const int field = requireField(column);
    for (int row = 0; row < m_rows.size(); ++row) {
        if (format(m_rows[row][field]) == value) {
            setCurrent(row);
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

int DataSet::fieldIndex(const QString &name) const
{
    return m_fieldIndex.value(name.toCaseFolded(), -1);
}

int DataSet::requireField(const QString &column) const
{
    requireActive();
    const int field = fieldIndex(column);
    if (field < 0)
        fail(QStringLiteral("Field not found: %1").arg(column));
    return field;
}

QVariant DataSet::value(const QString &column) const
{
    const int field = requireField(column);
    if (isEditing())
        return m_buffer.value(field);
    if (m_current < 0 || m_current >= m_rows.size())
        return QVariant();
    return m_rows[m_current][field];
}

qint32 DataSet::asInteger(const QString &column) const
{
    const QVariant v = value(column);
    const QString text = format(v).trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok)
        fail(QStringLiteral("\"%1\" in %2 is not a valid integer value").arg(text, column));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        fail(QStringLiteral("%1 in %2 is outside the 32-bit integer range").arg(text, column));
    return qint32(number);
}

QString DataSet::asText(const QString &column) const
{
    return format(value(column));
}

QString DataSet::format(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return value.toString();
}

QString DataSet::textAt(int row, int field) const
{
    if (row < 0 || field < 0 || field >= m_fields.size())
        return QString();
    if (row == m_current && isEditing())
        return format(m_buffer.value(field));
    if (row >= m_rows.size())
        return QString();
    return format(m_rows[row][field]);
}

void DataSet::edit()
{
    requireActive();
    if (isReadOnly())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (isEditing())
        return;
    if (m_current < 0 || m_current >= m_rows.size())
        fail(QStringLiteral("Cannot edit: the dataset has no current row"));
    m_buffer = m_rows[m_current];
    m_modified = QVector<bool>(m_fields.size(), false);
    m_state = State::Edit;
    emit changed();
}

void DataSet::append()
{
    requireActive();
    if (isReadOnly())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    dropPending();
    m_returnTo = m_current;
    m_buffer = QVector<QVariant>(m_fields.size());
    m_modified = QVector<bool>(m_fields.size(), false);
    m_current = m_rows.size();
    m_state = State::Insert;
    m_eof = true;
    emit changed();
}

void DataSet::setText(const QString &column, const QString &text)
{
    const int field = requireField(column);
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[field] = text;
    m_modified[field] = true;
    emit changed();
}

QVariant DataSet::convert(int field, const QVariant &value) const
{
    const QString text = format(value);
    if (text.isEmpty())
        return QVariant();
    if (!m_integer.value(field))
        return text;
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok)
        fail(QStringLiteral("\"%1\" is not a valid integer value for %2").arg(text, m_fields[field]));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        fail(QStringLiteral("%1 is outside the range of %2 (%3 to %4)")
                 .arg(text.trimmed(), m_fields[field])
                 .arg(std::numeric_limits<qint32>::min())
                 .arg(std::numeric_limits<qint32>::max()));
    return number;
}

void DataSet::post()
{
    requireActive();
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    QVector<QVariant> values(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        values[i] = m_modified[i] ? convert(i, m_buffer[i]) : m_buffer[i];
    const qint64 rowid = m_state == State::Edit ? m_rowids.value(m_current, -1) : -1;
    const qint64 written = write(m_state, rowid, values, m_modified);

    // The write is committed: nothing is pending any more. Show what is
    // stored now; when that read fails, say that the row was saved.
    const int keep = qMin(m_current, int(m_rows.size()) - 1);
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
    m_current = keep;
    try {
        reload(written, keep);
    } catch (const EngineError &error) {
        emit changed();
        fail(QStringLiteral("The row was saved, but could not be read again:\n%1").arg(error.message()));
    }
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    dropPending();
    emit changed();
}

void DataSet::remove()
{
    requireActive();
    if (isReadOnly())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    dropPending();
    if (m_current < 0 || m_current >= m_rows.size())
        fail(QStringLiteral("Cannot delete: the dataset is empty"));
    erase(m_rowids.value(m_current, -1));
    reload(-1, m_current);
}

qint64 DataSet::write(State, qint64, const QVector<QVariant> &, const QVector<bool> &)
{
    fail(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::erase(qint64)
{
    fail(QStringLiteral("Cannot modify a read-only dataset"));
}

// --- Query -------------------------------------------------------------------

Query::Query(const QString &name, QObject *parent) : DataSet(name, parent) {}

void Query::setSql(const QString &sql)
{
    close();
    m_sql = sql;
}

QString Query::describe() const { return QStringLiteral("statement %1").arg(m_sql); }

DataSet::Result Query::load()
{
    Database &db = Database::alias();
    const Database::Select &select = db.select(m_sql);
    QSqlQuery &query = db.prepared(select.sql);
    db.exec(query, select.values, QStringLiteral("run %1").arg(m_sql));
    Result result;
    result.fields = select.fields;
    result.integer = select.integer;
    const int count = select.fields.size();
    while (query.next()) {
        QVector<QVariant> row(count);
        for (int i = 0; i < count; ++i)
            row[i] = query.value(i);
        result.rows.append(row);
    }
    query.finish();
    return result;
}

// --- Table -------------------------------------------------------------------

Table::Table(const QString &name, QObject *parent) : DataSet(name, parent) {}

void Table::setTableName(const QString &tableName)
{
    close();
    m_tableName = tableName;
}

QString Table::describe() const { return QStringLiteral("table %1").arg(m_tableName); }

QString Table::storedName() const
{
    QString bare = m_tableName;
    if (bare.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        bare.chop(3);
    return Database::alias().table(bare).name;
}

DataSet::Result Table::load()
{
    Database &db = Database::alias();
    QString bare = m_tableName;
    if (bare.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        bare.chop(3);
    const Database::Table &table = db.table(bare);
    Result result;
    QStringList list;
    for (const Database::Column &c : table.columns) {
        result.fields << c.name;
        result.integer << c.isInteger;
        list << Database::quote(c.name);
    }
    QSqlQuery &query = db.prepared(QStringLiteral("SELECT rowid,%1 FROM %2 ORDER BY rowid")
                                       .arg(list.join(QLatin1Char(',')), Database::quote(table.name)));
    db.exec(query, {}, QStringLiteral("read table %1").arg(table.name));
    const int count = result.fields.size();
    while (query.next()) {
        result.rowids.append(query.value(0).toLongLong());
        QVector<QVariant> row(count);
        for (int i = 0; i < count; ++i)
            row[i] = query.value(i + 1);
        result.rows.append(row);
    }
    query.finish();
    return result;
}

qint64 Table::write(State state, qint64 rowid, const QVector<QVariant> &values,
                    const QVector<bool> &modified)
{
    Database &db = Database::alias();
    const QString table = storedName();
    const QStringList fields = fieldNames();
    QStringList columns;
    QVariantList bound;
    for (int i = 0; i < fields.size(); ++i) {
        if (modified[i]) {
            columns << Database::quote(fields[i]);
            bound << values[i];
        }
    }

    if (state == State::Edit) {
        if (columns.isEmpty())
            return rowid;   // nothing typed: the stored row is already right
        QStringList assignments;
        for (const QString &c : columns)
            assignments << c + QStringLiteral("=?");
        bound << rowid;
        QSqlQuery &query = db.prepared(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                           .arg(Database::quote(table), assignments.join(QLatin1Char(','))));
        db.exec(query, bound, QStringLiteral("save the row of table %1").arg(table));
        const int affected = query.numRowsAffected();
        query.finish();
        if (affected != 1)
            fail(QStringLiteral("The row was deleted by another program; nothing was saved"));
        return rowid;
    }

    QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Database::quote(table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(Database::quote(table), columns.join(QLatin1Char(',')),
                   QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    QSqlQuery &query = db.prepared(sql);
    db.exec(query, bound, QStringLiteral("add a row to table %1").arg(table));
    const qint64 inserted = query.lastInsertId().toLongLong();
    query.finish();
    return inserted;
}

void Table::erase(qint64 rowid)
{
    Database &db = Database::alias();
    const QString table = storedName();
    QSqlQuery &query = db.prepared(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(Database::quote(table)));
    db.exec(query, {rowid}, QStringLiteral("delete a row of table %1").arg(table));
    query.finish();
}
