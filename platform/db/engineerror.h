#pragma once

#include <QString>
#include <stdexcept>

// Every failure of the database layer. The message says what failed and on
// what (file, table, column, value); handlers show it as it is.
class EngineError : public std::runtime_error {
public:
    // What kind of failure it is, classified before it is named, so that no
    // caller names a lock or a refused permission as a missing table.
    enum class Kind { Other, MissingTable, MissingColumn, WrongType, Locked, Permission, ReadOnly, LostConnection,
                      Conflict, DiskFull, Damaged };

    explicit EngineError(const QString &message, Kind kind = Kind::Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}
    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }
    // A change the user may not make: the role may only read, or the file
    // or its disk is read-only.
    bool refusesChange() const { return m_change && (m_kind == Kind::Permission || m_kind == Kind::ReadOnly); }
    EngineError &ofChange()
    {
        m_change = true;
        return *this;
    }

private:
    QString m_message;
    Kind m_kind = Kind::Other;
    bool m_change = false;
};
