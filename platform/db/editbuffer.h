#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include "platform/db/database.h"

// The row being edited or appended: its values as typed, which of them were
// typed, and what saving it writes. Nothing here reaches the database.
class EditBuffer {
public:
    // Editing starts from the current row's values, appending from an empty row.
    void start(const QVector<QVariant> &values);
    void startEmpty(int fields);
    void clear();

    const QVector<QVariant> &values() const { return m_values; }
    void set(int field, const QString &text);

    // What saving writes: the typed fields, their values converted to the
    // column types, the values those fields held when the row was read
    // (compared, so that another user's change is not overwritten), and the
    // row as it is after the write. Throws EngineError naming the value a
    // column cannot take; then nothing is written.
    struct Write {
        QVector<int> fields;
        QVariantList values;
        QVariantList originals;
        QVector<QVariant> row;
    };
    Write write(const Database::Source &source, const QVector<QVariant> *stored) const;

    // What deleting a row compares: every field with the value it was read with.
    static Write removal(const QVector<QVariant> &stored);

    // A typed text as the column stores it: null for an empty text, a
    // 32-bit integer for an integer column. Throws EngineError.
    static QVariant convert(const Database::Source &source, int field, const QVariant &value);

private:
    QVector<QVariant> m_values;
    QVector<bool> m_modified;
};
