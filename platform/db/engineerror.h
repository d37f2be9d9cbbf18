#pragma once

#include <QString>
#include <stdexcept>

// Every failure of the database layer. The message says what failed and on
// what (file, table, column, value); handlers show it as it is.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
