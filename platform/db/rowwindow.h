#pragma once

#include <QVariant>
#include <QVector>
#include <optional>

#include "platform/db/database.h"

// The rows of a dataset's result that are held at a time: consecutive rows
// in key order, one of them current, and whether they reach the first or the
// last row of the result. Beside them what a grid asked for (the number of
// rows, the current row's index, one page of rows by position), kept until
// the data changes; what has not been asked since is unknown.
class RowWindow {
public:
    using Row = Database::Row;

    // Holds these rows, the one at position current (clamped), and forgets
    // what was known of the current row's index.
    void hold(QVector<Row> rows, int position, bool atStart, bool atEnd);
    // Nothing held, nothing known: a closed dataset.
    void clear();
    // Open, but no row read yet: the first use reads one.
    void markUnread();
    bool isUnread() const { return m_unread; }

    bool isEmpty() const { return m_rows.isEmpty(); }
    int size() const { return int(m_rows.size()); }
    const Row &at(int i) const { return m_rows[i]; }
    int position() const { return m_position; }   // -1 without a current row
    const Row *current() const;
    QVariant currentKey() const;
    // The current row read again; the values written when it cannot be.
    void replaceCurrent(Row row);
    void setCurrentValues(QVector<QVariant> values);

    bool atStart() const { return m_atStart; }
    bool atEnd() const { return m_atEnd; }
    void reachedStart() { m_atStart = true; }
    void reachedEnd() { m_atEnd = true; }

    // Moves among the rows held; false when there is none in that direction.
    bool forward();
    bool back();
    void toFirst();
    void toLast();

    // The cursor's flags as the caller sees them.
    bool eof = true;
    bool bof = true;

    // For grids.
    std::optional<qint64> count;
    std::optional<int> index;   // of the current row, while it stays current
    const Row *paged(int index) const;   // nullptr when the cached page does not hold it
    void keepPage(int start, QVector<Row> rows);
    // The data changed: count, index and page are unknown again.
    void forgetCounts();

    // A grid's read failed: no rows are shown until the data is read again.
    bool failed() const { return m_failed; }
    void markFailed();

private:
    QVector<Row> m_rows;
    int m_position = -1;
    bool m_atStart = false;
    bool m_atEnd = false;
    bool m_unread = false;
    bool m_failed = false;

    struct Page {
        int start = 0;
        QVector<Row> rows;
    };
    std::optional<Page> m_page;
};
