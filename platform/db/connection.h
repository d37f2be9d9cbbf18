#pragma once

#include "platform/db/alias.h"
#include "platform/db/database.h"

#include <QString>
#include <memory>

// The database a program works on, reached under its alias: opened on
// first use, and again at the next use after the connection to a server
// was lost. It carries what the program tells every database it opens (the
// hint that creates a missing one, the change history). The program makes
// one and hands it to whatever reads or writes; a test makes its own. The
// alias names the engine's connection, so one Connection per alias is open
// at a time; a second database beside it is opened with connect().
class Connection {
public:
    explicit Connection(AliasSettings alias, Database::Settings settings = {});
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    const AliasSettings &alias() const { return m_alias; }
    const Database::Settings &settings() const { return m_settings; }
    // Where the alias points now (alias.h).
    QString target() const { return Alias::target(m_alias); }

    // The open database. Throws EngineError when the target is missing, is
    // not a database or cannot be reached.
    Database &database();
    // Opens a given target instead (a file or a postgresql:// address),
    // closing the one held before.
    Database &open(const QString &target, bool readOnly = false);
    void close();
    bool isOpen() const { return m_database != nullptr; }

    // A database of its own beside this one, told the same (copying from
    // one database to another, a backup's snapshot).
    std::unique_ptr<Database> connect(const QString &target, bool readOnly, const QString &connectionName) const;

private:
    AliasSettings m_alias;
    Database::Settings m_settings;
    std::unique_ptr<Database> m_database;
};
