#include "platform/db/errorclassifier.h"

#include <QSqlError>

namespace {

// Messages quote statements, but never whole generated texts.
QString shortened(const QString &text)
{
    constexpr int Max = 160;
    return text.size() <= Max ? text : text.left(Max) + QStringLiteral("…");
}

// What libpq says when the server went away without a SQLSTATE.
bool soundsLost(const QString &text)
{
    static const char *const phrases[] = {"server closed the connection", "no connection to the server",
                                          "could not receive data from server", "could not send data to server",
                                          "terminating connection", "connection to server was lost",
                                          "SSL SYSCALL error", "SSL connection has been closed"};
    for (const char *phrase : phrases) {
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

using Kind = EngineError::Kind;

Kind classifyServer(const QSqlError &error, bool connected)
{
    const QString state = error.nativeErrorCode();
    if (error.type() == QSqlError::ConnectionError || state.startsWith(QLatin1String("08"))
        || state.startsWith(QLatin1String("57P"))
        || (state.isEmpty() && (!connected || soundsLost(error.databaseText() + QLatin1Char('\n') + error.driverText()))))
        return Kind::LostConnection;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return Kind::Locked;
    if (state == QLatin1String("25006"))
        return Kind::ReadOnly;
    if (state == QLatin1String("42501"))
        return Kind::Permission;
    if (state == QLatin1String("42P01"))
        return Kind::MissingTable;
    if (state == QLatin1String("42703"))
        return Kind::MissingColumn;
    if (state == QLatin1String("22P02") || state == QLatin1String("22003") || state == QLatin1String("42804"))
        return Kind::WrongType;
    if (state == QLatin1String("53100"))
        return Kind::DiskFull;
    if (state == QLatin1String("XX001") || state == QLatin1String("XX002"))
        return Kind::Damaged;
    return Kind::Other;
}

Kind classifyFile(const QSqlError &error)
{
    const int extended = error.nativeErrorCode().toInt();
    if (extended == 3091) // SQLITE_CONSTRAINT_DATATYPE
        return Kind::WrongType;
    // Primary SQLite result codes; extended codes share the low byte.
    switch (extended & 0xff) {
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return Kind::Permission;
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return Kind::Locked;
    case 8: // SQLITE_READONLY
        return Kind::ReadOnly;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return Kind::Damaged;
    case 13: // SQLITE_FULL
        return Kind::DiskFull;
    case 1: { // SQLITE_ERROR: the statement names what is missing
        const QString text = error.databaseText() + QLatin1Char('\n') + error.driverText();
        if (text.contains(QLatin1String("no such table")))
            return Kind::MissingTable;
        if (text.contains(QLatin1String("no such column")))
            return Kind::MissingColumn;
        return Kind::Other;
    }
    default:
        return Kind::Other;
    }
}

} // namespace

EngineError::Kind ErrorClassifier::classify(const QSqlError &error, bool connected) const
{
    return m_engine == DbEngine::PostgreSQL ? classifyServer(error, connected) : classifyFile(error);
}

QString ErrorClassifier::describe(const QSqlError &error, const QString &what, bool writing, bool connected) const
{
    const QString detail = (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
    switch (classify(error, connected)) {
    case Kind::LostConnection:
        // One line: the driver's own words say nothing more.
        return QStringLiteral("The connection to the database server was lost (could not %1; %2); "
                              "it is opened again at the next command.")
            .arg(what, m_display);
    case Kind::Locked:
        return QStringLiteral("The database is locked by another user or program; nothing was changed. "
                              "Try again in a moment.\nCould not %1\nDatabase: %2")
            .arg(what, m_display);
    case Kind::ReadOnly:
        return QStringLiteral("You may read this scorecard but not change it: the database is read-only; "
                              "nothing was changed.\nCould not %1\nDatabase: %2")
            .arg(what, m_display);
    case Kind::Permission:
        if (writing)
            return QStringLiteral("You may read this scorecard but not change it: the database server does not "
                                  "let this user %1; nothing was changed.\nDatabase: %2")
                .arg(what, m_display);
        return QStringLiteral("Permission refused: the database does not let this user %1.\nDatabase: %2")
            .arg(what, m_display);
    case Kind::WrongType:
        return QStringLiteral("Could not %1: a value does not suit the type of its column; nothing was changed.\n%2")
            .arg(what, shortened(detail));
    case Kind::DiskFull:
        return QStringLiteral("The disk is full; nothing was written.\nCould not %1\nDatabase: %2").arg(what, m_display);
    case Kind::Damaged:
        if ((error.nativeErrorCode().toInt() & 0xff) == 26 && m_engine == DbEngine::SQLite)
            return QStringLiteral("The file is not a database: %1").arg(m_display);
        return QStringLiteral("The database file is damaged: %1\nCould not %2").arg(m_display, what);
    default:
        break;
    }

    const QString outside =
        QStringLiteral("Could not %1: the value is outside what the table allows; nothing was changed.\n%2")
            .arg(what, shortened(detail));
    if (m_engine == DbEngine::PostgreSQL) {
        const QString state = error.nativeErrorCode();
        if (state.startsWith(QLatin1String("23")))
            return outside;
        if (state == QLatin1String("54000") || state == QLatin1String("54001") || state == QLatin1String("54011"))
            return QStringLiteral("Could not %1: the statement is larger than the database allows.\n%2").arg(what, shortened(detail));
        return QStringLiteral("Could not %1: %2").arg(what, shortened(detail));
    }
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 18: // SQLITE_TOOBIG
        return QStringLiteral("Could not %1: a text or value is larger than the database allows.").arg(what);
    case 19: // SQLITE_CONSTRAINT
        return outside;
    default:
        return QStringLiteral("Could not %1: %2").arg(what, shortened(detail));
    }
}
