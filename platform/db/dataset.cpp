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

void DataSet::ensureRead() const
{
    if (!m_unread)
        return;
    // Reading is not a change of the dataset's state as callers see it.
    auto *self = const_cast<DataSet *>(this);
    QVector<Row> rows = fetch(Fetch::First, {}, 1);
    const bool complete = rows.isEmpty();
    self->setWindow(std::move(rows), 0, true, complete);
    self->m_eof = m_window.isEmpty();
}

bool DataSet::eof() const
{
    ensureRead();
    return m_eof;
}

bool DataSet::bof() const
{
    ensureRead();
    return m_bof;
}

const QVector<QVariant> *DataSet::currentValues() const
{
    if (isEditing())
        return &m_buffer;
    ensureRead();
    if (m_position >= 0 && m_position < m_window.size())
        return &m_window[m_position].values;
    return nullptr;
}

QVariant DataSet::currentKey() const
{
    if (m_position >= 0 && m_position < m_window.size())
        return m_window[m_position].key;
    return QVariant();
}

void DataSet::setWindow(QVector<Row> rows, int position, bool atStart, bool atEnd)
{
    m_unread = false;
    m_readFailed = false;
    m_window = std::move(rows);
    m_position = m_window.isEmpty() ? -1 : qBound(0, position, int(m_window.size()) - 1);
    m_windowAtStart = atStart;
    m_windowAtEnd = atEnd;
    m_index = -2;
}

void DataSet::dropPending()
{
    if (!isEditing())
        return;
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
    m_index = -2;
}

void DataSet::forgetCounts()
{
    m_readFailed = false;
    m_count = -1;
    m_index = -2;
    m_pageStart = -1;
    m_page.clear();
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
            for (int i = 0; i < source.fields.size(); ++i)
                m_fieldIndex.insert(source.fields[i].toCaseFolded(), i);
        }
        m_source = source;
        forgetCounts();
        // Controls bound: the first page, which a grid shows at once and
        // which tells a short result's length without counting. Nothing
        // bound: not a row, until one is needed.
        if (isSignalConnected(QMetaMethod::fromSignal(&DataSet::changed))) {
            QVector<Row> rows = fetch(Fetch::First, {}, m_pageSize);
            const bool complete = rows.size() < m_pageSize;
            setWindow(std::move(rows), 0, true, complete);
        } else {
            setWindow({}, 0, true, false);
            m_unread = true;
        }
        m_buffer.clear();
        m_modified.clear();
        m_state = State::Browse;
        m_bof = true;
        m_eof = m_window.isEmpty() && !m_unread;
    });
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_unread = false;
    m_window.clear();
    m_position = -1;
    m_windowAtStart = m_windowAtEnd = false;
    m_buffer.clear();
    m_modified.clear();
    forgetCounts();
    m_eof = m_bof = true;
    notify();
}

void DataSet::refresh()
{
    requireActive();
    change([this] {
        dropPending();
        forgetCounts();
        if (m_unread)
            return;   // nothing read yet: the first use reads what is stored
        const QVariant key = currentKey();
        QVector<Row> rows = fetch(key.isValid() ? Fetch::From : Fetch::First, key, 1);
        if (!rows.isEmpty()) {
            setWindow(std::move(rows), 0, !key.isValid(), false);
        } else {
            // The row and all after it are gone: show the last one left.
            rows = fetch(Fetch::Last, {}, m_pageSize);
            std::reverse(rows.begin(), rows.end());
            const bool complete = rows.size() < m_pageSize;
            const int position = int(rows.size()) - 1;
            setWindow(std::move(rows), position, complete, true);
        }
        m_bof = m_eof = m_window.isEmpty();
    });
}

void DataSet::first()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        if (m_windowAtStart) {
            m_position = m_window.isEmpty() ? -1 : 0;
            m_index = -2;
        } else {
            QVector<Row> rows = fetch(Fetch::First, {}, m_pageSize);
            const bool complete = rows.size() < m_pageSize;
            setWindow(std::move(rows), 0, true, complete);
        }
        m_bof = true;
        m_eof = m_window.isEmpty();
    });
}

void DataSet::last()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        if (m_windowAtEnd) {
            m_position = int(m_window.size()) - 1;
            m_index = -2;
        } else {
            QVector<Row> rows = fetch(Fetch::Last, {}, m_pageSize);
            std::reverse(rows.begin(), rows.end());
            const bool complete = rows.size() < m_pageSize;
            const int position = int(rows.size()) - 1;
            setWindow(std::move(rows), position, complete, true);
        }
        m_eof = true;
        m_bof = m_window.isEmpty();
    });
}

void DataSet::next()
{
    requireActive();
    change([this] {
        dropPending();
        ensureRead();
        m_bof = false;
        if (m_position + 1 < m_window.size()) {
            ++m_position;
            m_index = -2;
            m_eof = false;
        } else if (m_windowAtEnd || m_position < 0) {
            m_eof = true;
        } else {
            QVector<Row> rows = fetch(Fetch::After, currentKey(), m_pageSize);
            if (rows.isEmpty()) {
                m_windowAtEnd = true;
                m_eof = true;
            } else {
                const bool complete = rows.size() < m_pageSize;
                setWindow(std::move(rows), 0, false, complete);
                m_eof = false;
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
        m_eof = false;
        if (m_position > 0) {
            --m_position;
            m_index = -2;
            m_bof = false;
        } else if (m_windowAtStart || m_position < 0) {
            m_bof = true;
        } else {
            QVector<Row> rows = fetch(Fetch::Before, currentKey(), m_pageSize);
            if (rows.isEmpty()) {
                m_windowAtStart = true;
                m_bof = true;
            } else {
                std::reverse(rows.begin(), rows.end());
                const bool complete = rows.size() < m_pageSize;
                const int position = int(rows.size()) - 1;
                setWindow(std::move(rows), position, complete, false);
                m_bof = false;
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
        setWindow({*row}, 0, false, false);
        m_bof = m_eof = false;
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
        setWindow(rows, index - start, start == 0, complete);
        m_pageStart = start;
        m_page = std::move(rows);
        m_index = index;
        m_bof = m_eof = false;
    });
}

void DataSet::readFailed(const EngineError &error) const
{
    m_pageStart = -1;
    m_page.clear();
    if (m_readFailed)
        return;
    m_readFailed = true;
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
    if (!isActive() || m_readFailed)
        return 0;
    if (m_count < 0) {
        if (m_windowAtStart && m_windowAtEnd)
            return int(m_window.size());
        try {
            m_count = database().count(m_source);
        } catch (const EngineError &error) {
            readFailed(error);
            return 0;
        }
    }
    return int(qMin<qint64>(m_count, std::numeric_limits<int>::max()));
}

int DataSet::currentIndex() const
{
    if (!isActive() || m_readFailed)
        return -1;
    try {
        ensureRead();
    } catch (const EngineError &error) {
        readFailed(error);
        return -1;
    }
    if (m_state == State::Insert)
        return recordCount();
    if (m_position < 0)
        return -1;
    if (m_windowAtStart)
        return m_position;
    if (m_index == -2) {
        try {
            m_index = int(database().count(m_source, currentKey()));
        } catch (const EngineError &error) {
            readFailed(error);
            return -1;
        }
    }
    return m_index;
}

QString DataSet::textAt(int index, int field) const
{
    if (!isActive() || m_readFailed || index < 0 || field < 0 || field >= m_source.fields.size())
        return QString();
    if (isEditing() && index == currentIndex())
        return format(m_buffer.value(field));
    if (m_windowAtStart && index < m_window.size())
        return format(m_window[index].values[field]);
    if (m_pageStart < 0 || index < m_pageStart || index >= m_pageStart + m_page.size()) {
        const int start = index / m_pageSize * m_pageSize;
        try {
            m_page = fetch(Fetch::Offset, {}, m_pageSize, start);
        } catch (const EngineError &error) {
            readFailed(error);
            return QString();
        }
        m_pageStart = start;
    }
    const int offset = index - m_pageStart;
    return offset < m_page.size() ? format(m_page[offset].values[field]) : QString();
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
    const QString text = format(value(column)).trimmed();
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
    if (m_readFailed && !isEditing())
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
    m_buffer = *values;
    m_modified = QVector<bool>(m_source.fields.size(), false);
    m_state = State::Edit;
    notify();
}

void DataSet::append()
{
    requireWritable();
    dropPending();
    m_buffer = QVector<QVariant>(m_source.fields.size());
    m_modified = QVector<bool>(m_source.fields.size(), false);
    m_state = State::Insert;
    m_index = -2;
    m_eof = true;
    notify();
}

void DataSet::setText(const QString &column, const QString &text)
{
    const int field = requireField(column);
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[field] = text;
    m_modified[field] = true;
    notify();
}

QVariant DataSet::convert(int field, const QVariant &value) const
{
    const QString text = format(value);
    if (text.isEmpty())
        return QVariant();
    if (!m_source.integer.value(field))
        return text;
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok)
        fail(QStringLiteral("\"%1\" is not a valid integer value for %2").arg(shortened(text), m_source.fields[field]));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        fail(QStringLiteral("%1 is outside the range of %2 (%3 to %4)")
                 .arg(text.trimmed(), m_source.fields[field])
                 .arg(std::numeric_limits<qint32>::min())
                 .arg(std::numeric_limits<qint32>::max()));
    return number;
}

void DataSet::reread(const QVariant &key)
{
    const QVector<Row> rows = fetch(Fetch::Key, key, 1);
    if (rows.isEmpty())
        return;
    if (m_position >= 0 && m_position < m_window.size() && m_window[m_position].key == key)
        m_window[m_position] = rows.first();
    else
        setWindow(rows, 0, false, false);
}

void DataSet::conflict(bool deleting)
{
    Database &db = database();
    const QVariant key = currentKey();
    const bool gone = !db.exists(m_source, key);
    dropPending();
    forgetCounts();
    QString what;
    if (gone) {
        what = QStringLiteral("Another user or program deleted this row meanwhile; nothing was %1.")
                   .arg(deleting ? QStringLiteral("deleted") : QStringLiteral("saved"));
        QVector<Row> rows = fetch(Fetch::From, key, m_pageSize);
        const bool complete = rows.size() < m_pageSize;
        setWindow(std::move(rows), 0, false, complete);
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
    QVector<int> fields;
    QVariantList values;
    QVariantList originals;
    QVector<QVariant> written = m_buffer;
    const QVector<QVariant> *stored =
        m_position >= 0 && m_position < m_window.size() ? &m_window[m_position].values : nullptr;
    for (int i = 0; i < m_source.fields.size(); ++i) {
        if (!m_modified[i])
            continue;
        written[i] = convert(i, m_buffer[i]);
        fields << i;
        values << written[i];
        originals << (stored ? stored->value(i) : QVariant());
    }

    change([&] {
        Database &db = database();
        const bool inserting = m_state == State::Insert;
        QVariant key;
        if (inserting) {
            key = db.insert(m_source, fields, values);
        } else {
            key = currentKey();
            // Nothing typed: the stored row is already right.
            if (!fields.isEmpty() && !db.update(m_source, key, fields, values, originals))
                conflict(false);
        }

        // The write is committed: nothing is pending any more. Show what is
        // stored now; when that read fails, show what was written.
        dropPending();
        forgetCounts();
        m_bof = m_eof = false;
        try {
            if (inserting) {
                QVector<Row> rows = fetch(Fetch::Key, key, 1);
                setWindow(rows.isEmpty() ? QVector<Row>{Row{key, written}} : rows, 0, false, false);
            } else {
                reread(key);
            }
        } catch (const EngineError &error) {
            if (inserting)
                setWindow({Row{key, written}}, 0, false, false);
            else
                m_window[m_position].values = written;
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
        const QVariant key = currentKey();
        QVector<int> compared;
        for (int i = 0; i < m_source.fields.size(); ++i)
            compared << i;
        const QVariantList originals(values->begin(), values->end());
        if (!database().remove(m_source, key, compared, originals))
            conflict(true);
        forgetCounts();

        // The next row becomes current, or the one before when the last went.
        QVector<Row> rows = fetch(Fetch::After, key, m_pageSize);
        if (!rows.isEmpty()) {
            const bool complete = rows.size() < m_pageSize;
            setWindow(std::move(rows), 0, false, complete);
        } else {
            rows = fetch(Fetch::Before, key, m_pageSize);
            std::reverse(rows.begin(), rows.end());
            const bool complete = rows.size() < m_pageSize;
            const int position = int(rows.size()) - 1;
            setWindow(std::move(rows), position, complete, true);
        }
        m_bof = m_eof = m_window.isEmpty();
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
