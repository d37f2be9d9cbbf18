#include "platform/db/dataset.h"

#include "platform/db/engineerror.h"

#include <QMetaMethod>

#include <algorithm>
#include <limits>

using Fetch = Database::Fetch;

namespace {
QString shortened(const QString &text)
{
    constexpr int Max = 160;
    return text.size() <= Max ? text : text.left(Max) + QStringLiteral("…");
}
} // namespace

DataSet::DataSet(Connection &connection, const QString &name, QObject *parent)
    : QObject(parent), m_connection(connection)
{
    setObjectName(name);
}

void DataSet::fail(const QString &what, EngineError::Kind kind) const
{
    throw EngineError(QStringLiteral("%1 (%2): %3").arg(name(), describe(), what), kind);
}

void DataSet::requireActive() const
{
    if (m_state == State::Inactive)
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::requireWritable() const
{
    requireActive();
    if (isReadOnly())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
}

Database &DataSet::database() const { return m_connection.database(); }

QVector<Database::Row> DataSet::fetch(Fetch kind, const QVariant &key, int limit, int offset) const
{
    return database().fetch(m_source, kind, key, limit, offset);
}

void DataSet::notify()
{
    if (m_controlsDisabled == 0)
        emit changed();
    else
        m_missedChange = true;
}

void DataSet::disableControls() { ++m_controlsDisabled; }

void DataSet::enableControls()
{
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0 && m_missedChange) {
        m_missedChange = false;
        emit changed();
    }
}

// Runs one operation and tells the controls afterwards, also when it
// failed half-way (a pending edit may have been dropped before).
template <class F>
void DataSet::change(F &&operation)
{
    try {
        operation();
    } catch (...) {
        notify();
        throw;
    }
    notify();
}

void DataSet::holdFromStart(QVector<Row> rows)
{
    const bool complete = rows.size() < m_pageSize;
    m_window.hold(std::move(rows), 0, true, complete);
}

// Rows read backwards (Last, Before), held in key order with the last current.
void DataSet::holdToEnd(QVector<Row> newestFirst, bool atEnd)
{
    std::reverse(newestFirst.begin(), newestFirst.end());
    const bool complete = newestFirst.size() < m_pageSize;
    const int position = int(newestFirst.size()) - 1;
    m_window.hold(std::move(newestFirst), position, complete, atEnd);
}

void DataSet::ensureRead() const
{
    if (!m_window.isUnread())
        return;
    QVector<Row> rows = fetch(Fetch::First, {}, 1);
    const bool complete = rows.isEmpty();
    m_window.hold(std::move(rows), 0, true, complete);
    m_window.eof = m_window.isEmpty();
}

bool DataSet::eof() const
{
    ensureRead();
    return m_window.eof;
}

bool DataSet::bof() const
{
    ensureRead();
    return m_window.bof;
}

const QVector<QVariant> *DataSet::currentValues() const
{
    if (isEditing())
        return &m_buffer.values();
    ensureRead();
    const Row *row = m_window.current();
    return row ? &row->values : nullptr;
}

void DataSet::dropPending()
{
    if (!isEditing())
        return;
    m_buffer.clear();
    m_state = State::Browse;
}

void DataSet::open()
{
    if (isActive())
        return;
    change([this] {
        const Database::Source source = resolve();
        // Reopened on the same columns (a page's display step), the index
        // of the names still holds.
        if (source.fields != m_source.fields || m_fieldIndex.isEmpty()) {
            m_fieldIndex.clear();
            m_spelled.clear();
            for (int i = 0; i < source.fields.size(); ++i)
                m_fieldIndex.insert(source.fields[i].toCaseFolded(), i);
        }
        m_source = source;
        m_window.forgetCounts();
        // Controls bound: the first page, which a grid shows at once and
        // which tells a short result's length without counting. Nothing
        // bound: not a row, until one is needed.
        if (isSignalConnected(QMetaMethod::fromSignal(&DataSet::changed)))
            holdFromStart(fetch(Fetch::First, {}, m_pageSize));
        else
            m_window.markUnread();
        m_buffer.clear();
        m_state = State::Browse;
        m_window.bof = true;
        m_window.eof = m_window.isEmpty() && !m_window.isUnread();
    });
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_window.clear();
    m_buffer.clear();
    notify();
}

void DataSet::refresh()
{
    requireActive();
    change([this] {
        dropPending();
        m_window.forgetCounts();
        if (m_window.isUnread())
            return;   // nothing read yet: the first use reads what is stored
        const QVariant key = m_window.currentKey();
        QVector<Row> rows = fetch(key.isValid() ? Fetch::From : Fetch::First, key, 1);
        if (!rows.isEmpty())
            m_window.hold(std::move(rows), 0, !key.isValid(), false);
        else   // the row and all after it are gone: show the last one left
            holdToEnd(fetch(Fetch::Last, {}, m_pageSize), true);
        m_window.bof = m_window.eof = m_window.isEmpty();
    });
}

void DataSet::first()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        if (m_window.atStart())
            m_window.toFirst();
        else
            holdFromStart(fetch(Fetch::First, {}, m_pageSize));
        m_window.bof = true;
        m_window.eof = m_window.isEmpty();
    });
}

void DataSet::last()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        if (m_window.atEnd())
            m_window.toLast();
        else
            holdToEnd(fetch(Fetch::Last, {}, m_pageSize), true);
        m_window.eof = true;
        m_window.bof = m_window.isEmpty();
    });
}

void DataSet::next()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        m_window.bof = false;
        if (m_window.forward()) {
            m_window.eof = false;
        } else if (m_window.atEnd() || m_window.position() < 0) {
            m_window.eof = true;
        } else {
            QVector<Row> rows = fetch(Fetch::After, m_window.currentKey(), m_pageSize);
            if (rows.isEmpty()) {
                m_window.reachedEnd();
                m_window.eof = true;
            } else {
                const bool complete = rows.size() < m_pageSize;
                m_window.hold(std::move(rows), 0, false, complete);
                m_window.eof = false;
            }
        }
    });
}

void DataSet::prior()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        m_window.eof = false;
        if (m_window.back()) {
            m_window.bof = false;
        } else if (m_window.atStart() || m_window.position() < 0) {
            m_window.bof = true;
        } else {
            QVector<Row> rows = fetch(Fetch::Before, m_window.currentKey(), m_pageSize);
            if (rows.isEmpty()) {
                m_window.reachedStart();
                m_window.bof = true;
            } else {
                holdToEnd(std::move(rows), false);
                m_window.bof = false;
            }
        }
    });
}

bool DataSet::locate(const QString &column, const QString &value)
{
    const int field = requireField(column);
    bool found = false;
    change([&] {
        dropPending();
        std::optional<Row> row = database().find(m_source, field, value);
        if (!row)
            return;
        m_window.hold({*row}, 0, false, false);
        m_window.bof = m_window.eof = false;
        found = true;
    });
    return found;
}

void DataSet::moveTo(int index)
{
    requireActive();
    if (index < 0 || index >= recordCount())
        return;
    change([&] {
        dropPending();
        const int start = index / m_pageSize * m_pageSize;
        QVector<Row> rows = fetch(Fetch::Offset, {}, m_pageSize, start);
        if (index - start >= rows.size())
            return;   // the rows changed meanwhile
        const bool complete = rows.size() < m_pageSize;
        m_window.hold(rows, index - start, start == 0, complete);
        m_window.keepPage(start, std::move(rows));
        m_window.index = index;
        m_window.bof = m_window.eof = false;
    });
}

void DataSet::readFailed(const EngineError &error) const
{
    const bool told = m_window.failed();
    m_window.markFailed();
    if (told)
        return;
    // Told after the read's caller (a grid painting its cells) returns: the
    // message once, then the controls, which now find no rows.
    auto *self = const_cast<DataSet *>(this);
    QMetaObject::invokeMethod(
        self,
        [self, message = error.message()] {
            emit self->failed(message);
            self->notify();
        },
        Qt::QueuedConnection);
}

int DataSet::recordCount() const
{
    if (!isActive() || m_window.failed())
        return 0;
    if (!m_window.count) {
        if (m_window.atStart() && m_window.atEnd())
            return m_window.size();
        try {
            m_window.count = database().count(m_source);
        } catch (const EngineError &error) {
            readFailed(error);
            return 0;
        }
    }
    return int(qMin<qint64>(*m_window.count, std::numeric_limits<int>::max()));
}

int DataSet::currentIndex() const
{
    if (!isActive() || m_window.failed())
        return -1;
    try {
        ensureRead();
    } catch (const EngineError &error) {
        readFailed(error);
        return -1;
    }
    if (m_state == State::Insert)
        return recordCount();
    if (m_window.position() < 0)
        return -1;
    if (m_window.atStart())
        return m_window.position();
    if (!m_window.index) {
        try {
            m_window.index = int(database().count(m_source, m_window.currentKey()));
        } catch (const EngineError &error) {
            readFailed(error);
            return -1;
        }
    }
    return *m_window.index;
}

QString DataSet::textAt(int index, int field) const
{
    if (!isActive() || m_window.failed() || index < 0 || field < 0 || field >= m_source.fields.size())
        return QString();
    if (isEditing() && index == currentIndex())
        return format(m_buffer.values().value(field));
    if (m_window.atStart() && index < m_window.size())
        return format(m_window.at(index).values[field]);
    const Row *row = m_window.paged(index);
    if (!row) {
        const int start = index / m_pageSize * m_pageSize;
        try {
            m_window.keepPage(start, fetch(Fetch::Offset, {}, m_pageSize, start));
        } catch (const EngineError &error) {
            readFailed(error);
            return QString();
        }
        row = m_window.paged(index);
    }
    return row ? format(row->values[field]) : QString();
}

int DataSet::fieldIndex(const QString &name) const
{
    for (const auto &[spelled, index] : m_spelled) {
        if (spelled == name)
            return index;
    }
    const int index = m_fieldIndex.value(name.toCaseFolded(), -1);
    constexpr int MaxSpellings = 64;   // names typed at run time are only looked up
    if (m_spelled.size() < MaxSpellings)
        m_spelled.append({name, index});
    return index;
}

int DataSet::requireField(const QString &column) const
{
    requireActive();
    const int field = fieldIndex(column);
    if (field < 0)
        fail(QStringLiteral("Field not found: %1").arg(shortened(column)));
    return field;
}

QVariant DataSet::value(const QString &column) const
{
    const int field = requireField(column);
    const QVector<QVariant> *values = currentValues();
    return values ? values->value(field) : QVariant();
}

qint32 DataSet::asInteger(const QString &column) const
{
    const QVariant stored = value(column);
    if (stored.isNull())
        return 0;
    if (stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Int) {
        const qlonglong number = stored.toLongLong();
        if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
            fail(QStringLiteral("%1 in %2 is outside the 32-bit integer range").arg(number).arg(column));
        return qint32(number);
    }
    const QString text = format(stored).trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok)
        fail(QStringLiteral("\"%1\" in %2 is not a valid integer value").arg(shortened(text), column));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        fail(QStringLiteral("%1 in %2 is outside the 32-bit integer range").arg(text, column));
    return qint32(number);
}

QString DataSet::asText(const QString &column) const
{
    return format(value(column));
}

QString DataSet::currentText(int field) const
{
    if (m_window.failed() && !isEditing())
        return QString();
    try {
        const QVector<QVariant> *values = currentValues();
        return values ? format(values->value(field)) : QString();
    } catch (const EngineError &error) {
        readFailed(error);
        return QString();
    }
}

QString DataSet::format(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return value.toString();
}

void DataSet::edit()
{
    requireWritable();
    if (isEditing())
        return;
    const QVector<QVariant> *values = currentValues();
    if (!values)
        fail(QStringLiteral("Cannot edit: the dataset has no current row"));
    m_buffer.start(*values);
    m_state = State::Edit;
    notify();
}

void DataSet::append()
{
    requireWritable();
    dropPending();
    m_buffer.startEmpty(int(m_source.fields.size()));
    m_state = State::Insert;
    m_window.eof = true;
    notify();
}

void DataSet::setText(const QString &column, const QString &text)
{
    const int field = requireField(column);
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer.set(field, text);
    notify();
}

void DataSet::reread(const QVariant &key)
{
    const QVector<Row> rows = fetch(Fetch::Key, key, 1);
    if (rows.isEmpty())
        return;
    if (m_window.current() && m_window.currentKey() == key)
        m_window.replaceCurrent(rows.first());
    else
        m_window.hold(rows, 0, false, false);
}

void DataSet::conflict(bool deleting)
{
    Database &db = database();
    const QVariant key = m_window.currentKey();
    const bool gone = !db.exists(m_source, key);
    dropPending();
    m_window.forgetCounts();
    QString what;
    if (gone) {
        what = QStringLiteral("Another user or program deleted this row meanwhile; nothing was %1.")
                   .arg(deleting ? QStringLiteral("deleted") : QStringLiteral("saved"));
        QVector<Row> rows = fetch(Fetch::From, key, m_pageSize);
        const bool complete = rows.size() < m_pageSize;
        m_window.hold(std::move(rows), 0, false, complete);
    } else {
        what = QStringLiteral("Another user or program changed this row since it was shown; nothing was %1. "
                              "The fields now show the stored values.")
                   .arg(deleting ? QStringLiteral("deleted") : QStringLiteral("saved"));
        reread(key);
    }
    fail(what, EngineError::Kind::Conflict);
}

void DataSet::post()
{
    requireActive();
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    const bool inserting = m_state == State::Insert;
    const Row *stored = inserting ? nullptr : m_window.current();
    EditBuffer::Write write;
    try {
        write = m_buffer.write(m_source, stored ? &stored->values : nullptr);
    } catch (const EngineError &error) {
        fail(error.message());
    }

    change([&] {
        Database &db = database();
        QVariant key;
        if (inserting) {
            key = db.insert(m_source, write.fields, write.values);
        } else {
            key = m_window.currentKey();
            // Nothing typed: the stored row is already right.
            if (!write.fields.isEmpty() && !db.update(m_source, key, write.fields, write.values, write.originals))
                conflict(false);
        }

        // The write is committed: nothing is pending any more. Show what is
        // stored now; when that read fails, show what was written.
        dropPending();
        m_window.forgetCounts();
        m_window.bof = m_window.eof = false;
        try {
            if (inserting) {
                QVector<Row> rows = fetch(Fetch::Key, key, 1);
                m_window.hold(rows.isEmpty() ? QVector<Row>{Row{key, write.row}} : rows, 0, false, false);
            } else {
                reread(key);
            }
        } catch (const EngineError &error) {
            if (inserting)
                m_window.hold({Row{key, write.row}}, 0, false, false);
            else
                m_window.setCurrentValues(write.row);
            fail(QStringLiteral("The row was saved, but could not be read again:\n%1").arg(error.message()));
        }
    });
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    dropPending();
    notify();
}

void DataSet::remove()
{
    requireWritable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    change([this] {
        dropPending();
        const QVector<QVariant> *values = currentValues();
        if (!values)
            fail(QStringLiteral("Cannot delete: the dataset is empty"));
        const QVariant key = m_window.currentKey();
        const EditBuffer::Write removal = EditBuffer::removal(*values);
        if (!database().remove(m_source, key, removal.fields, removal.originals))
            conflict(true);
        m_window.forgetCounts();

        // The next row becomes current, or the one before when the last went.
        QVector<Row> rows = fetch(Fetch::After, key, m_pageSize);
        if (!rows.isEmpty()) {
            const bool complete = rows.size() < m_pageSize;
            m_window.hold(std::move(rows), 0, false, complete);
        } else {
            holdToEnd(fetch(Fetch::Before, key, m_pageSize), true);
        }
        m_window.bof = m_window.eof = m_window.isEmpty();
    });
}

// --- Query -------------------------------------------------------------------

Query::Query(Connection &connection, const QString &name, QObject *parent) : DataSet(connection, name, parent) {}

void Query::setSql(const QString &sql)
{
    close();
    m_sql = sql;
}

QString Query::describe() const { return QStringLiteral("statement %1").arg(shortened(m_sql)); }

Database::Source Query::resolve() { return database().query(m_sql); }

// --- Table -------------------------------------------------------------------

Table::Table(Connection &connection, const QString &name, QObject *parent) : DataSet(connection, name, parent) {}

void Table::setTableName(const QString &tableName)
{
    close();
    m_tableName = tableName;
}

QString Table::describe() const { return QStringLiteral("table %1").arg(shortened(m_tableName)); }

Database::Source Table::resolve()
{
    QString bare = m_tableName;
    if (bare.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        bare.chop(3);
    return database().wholeTable(bare);
}
