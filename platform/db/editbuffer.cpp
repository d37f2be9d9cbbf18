#include "platform/db/editbuffer.h"

#include "platform/db/engineerror.h"

#include <limits>

namespace {
QString shortened(const QString &text)
{
    constexpr int Max = 160;
    return text.size() <= Max ? text : text.left(Max) + QStringLiteral("…");
}
} // namespace

void EditBuffer::start(const QVector<QVariant> &values)
{
    m_values = values;
    m_modified = QVector<bool>(values.size(), false);
}

void EditBuffer::startEmpty(int fields)
{
    m_values = QVector<QVariant>(fields);
    m_modified = QVector<bool>(fields, false);
}

void EditBuffer::clear()
{
    m_values.clear();
    m_modified.clear();
}

void EditBuffer::set(int field, const QString &text)
{
    m_values[field] = text;
    m_modified[field] = true;
}

QVariant EditBuffer::convert(const Database::Source &source, int field, const QVariant &value)
{
    const QString text = value.isNull() ? QString() : value.toString();
    if (text.isEmpty())
        return QVariant();
    if (!source.integer.value(field))
        return text;
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw EngineError(
            QStringLiteral("\"%1\" is not a valid integer value for %2").arg(shortened(text), source.fields[field]));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        throw EngineError(QStringLiteral("%1 is outside the range of %2 (%3 to %4)")
                              .arg(text.trimmed(), source.fields[field])
                              .arg(std::numeric_limits<qint32>::min())
                              .arg(std::numeric_limits<qint32>::max()));
    return number;
}

EditBuffer::Write EditBuffer::write(const Database::Source &source, const QVector<QVariant> *stored) const
{
    Write w;
    w.row = m_values;
    for (int i = 0; i < m_modified.size() && i < source.fields.size(); ++i) {
        if (!m_modified[i])
            continue;
        w.row[i] = convert(source, i, m_values[i]);
        w.fields << i;
        w.values << w.row[i];
        w.originals << (stored ? stored->value(i) : QVariant());
    }
    return w;
}

EditBuffer::Write EditBuffer::removal(const QVector<QVariant> &stored)
{
    Write w;
    w.row = stored;
    for (int i = 0; i < stored.size(); ++i)
        w.fields << i;
    w.originals = QVariantList(stored.begin(), stored.end());
    return w;
}
