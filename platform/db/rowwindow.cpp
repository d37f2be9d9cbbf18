#include "platform/db/rowwindow.h"

void RowWindow::hold(QVector<Row> rows, int position, bool atStart, bool atEnd)
{
    m_unread = false;
    m_failed = false;
    m_rows = std::move(rows);
    m_position = m_rows.isEmpty() ? -1 : qBound(0, position, int(m_rows.size()) - 1);
    m_atStart = atStart;
    m_atEnd = atEnd;
    index.reset();
}

void RowWindow::clear()
{
    m_rows.clear();
    m_position = -1;
    m_atStart = m_atEnd = false;
    m_unread = false;
    forgetCounts();
    eof = bof = true;
}

void RowWindow::markUnread()
{
    hold({}, 0, true, false);
    m_unread = true;
}

const RowWindow::Row *RowWindow::current() const
{
    return m_position >= 0 && m_position < m_rows.size() ? &m_rows[m_position] : nullptr;
}

QVariant RowWindow::currentKey() const
{
    const Row *row = current();
    return row ? row->key : QVariant();
}

void RowWindow::replaceCurrent(Row row)
{
    if (current())
        m_rows[m_position] = std::move(row);
}

void RowWindow::setCurrentValues(QVector<QVariant> values)
{
    if (current())
        m_rows[m_position].values = std::move(values);
}

bool RowWindow::forward()
{
    if (m_position + 1 >= m_rows.size())
        return false;
    ++m_position;
    index.reset();
    return true;
}

bool RowWindow::back()
{
    if (m_position <= 0)
        return false;
    --m_position;
    index.reset();
    return true;
}

void RowWindow::toFirst()
{
    m_position = m_rows.isEmpty() ? -1 : 0;
    index.reset();
}

void RowWindow::toLast()
{
    m_position = int(m_rows.size()) - 1;
    index.reset();
}

const RowWindow::Row *RowWindow::paged(int i) const
{
    if (!m_page || i < m_page->start || i >= m_page->start + m_page->rows.size())
        return nullptr;
    return &m_page->rows[i - m_page->start];
}

void RowWindow::keepPage(int start, QVector<Row> rows) { m_page = Page{start, std::move(rows)}; }

void RowWindow::forgetCounts()
{
    m_failed = false;
    count.reset();
    index.reset();
    m_page.reset();
}

void RowWindow::markFailed()
{
    m_page.reset();
    m_failed = true;
}
