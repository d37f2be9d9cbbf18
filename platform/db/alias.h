#pragma once

#include <QString>

// How a program names its database. The layer knows no product: the
// program hands these to its Connection (connection.h).
struct AliasSettings {
    QString name;          // the alias the datasets open, also the connection name
    QString variable;      // environment variable that points the alias elsewhere
    QString defaultFile;   // relative to the user's data folder
    QString createHint;    // the command that creates a missing database
    QString configFile;    // relative to the user's configuration folder: a stored target
};

// What an alias points to: a database file, or a PostgreSQL server's
// database given as a connection URI
// (postgresql://user@host:port/dbname?sslmode=...).
struct Target {
    bool postgres = false;
    QString file;        // a file
    QString host;        // a server: a host name, or a socket folder
    int port = -1;
    QString database;
    QString user;
    QString password;    // only as given; never stored or printed
    QString options;     // further connection parameters, "key=value;..." (sslpassword too)

    // Reads a file path or a URI as libpq reads it; throws EngineError for
    // a URI it cannot read, one whose password may have been taken for
    // another part, and libpq's keyword=value form.
    static Target parse(const QString &text);
    // For messages and "bsc-db path": the URI without any password.
    QString display() const;
    // Whether it holds a password or another secret (sslpassword).
    bool holdsSecret() const;
    // Any text as messages may show it, read or not: every stretch that
    // could hold a password, however it was written, masked.
    static QString masked(const QString &text);
};

namespace Alias {

// Where the alias points: the environment variable when set, else the
// target stored in the configuration file, else the default file under the
// user's data folder (the same for every program).
QString target(const AliasSettings &settings);

// The target stored in the configuration file, "" when none.
QString stored(const AliasSettings &settings);
// Stores a target (replacing the one before) or, with "", removes it.
// Refuses a target that holds a password. Throws EngineError.
void store(const AliasSettings &settings, const QString &target);
QString configPath(const AliasSettings &settings);

} // namespace Alias
