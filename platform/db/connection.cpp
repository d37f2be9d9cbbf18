#include "platform/db/connection.h"

Connection::Connection(AliasSettings alias, Database::Settings settings)
    : m_alias(std::move(alias)), m_settings(std::move(settings))
{
    if (m_settings.createHint.isEmpty())
        m_settings.createHint = m_alias.createHint;
}

Connection::~Connection() = default;

Database &Connection::database()
{
    // A connection to a server that was lost is opened again here, at the
    // next command.
    if (!m_database || m_database->lost())
        return open(target());
    return *m_database;
}

Database &Connection::open(const QString &target, bool readOnly)
{
    close();
    m_database = Database::connect(target, readOnly, m_alias.name, m_settings);
    return *m_database;
}

void Connection::close() { m_database.reset(); }

std::unique_ptr<Database> Connection::connect(const QString &target, bool readOnly,
                                              const QString &connectionName) const
{
    return Database::connect(target, readOnly, connectionName, m_settings);
}
