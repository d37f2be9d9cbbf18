#pragma once

#include <QString>

#include "platform/db/engine.h"
#include "platform/db/engineerror.h"

class QSqlError;

// Names a failed call the same way on both engines: what kind of failure it
// is (busy, read-only, lost, missing, ...) and the message the user reads.
// It knows each engine's error codes and texts and nothing else of the
// connection, so that the rules can be read and tested in one place.
class ErrorClassifier {
public:
    // display: the target as it may be shown (never a password).
    ErrorClassifier(DbEngine engine, QString display) : m_engine(engine), m_display(std::move(display)) {}

    // connected: whether the connection still counts itself open (a server
    // that went away without saying so).
    EngineError::Kind classify(const QSqlError &error, bool connected = true) const;
    // A refused change (writing) is named as one the user may not make.
    QString describe(const QSqlError &error, const QString &what, bool writing = false, bool connected = true) const;

private:
    DbEngine m_engine;
    QString m_display;
};
