#pragma once

#include <QString>

#include "platform/db/database.h"

class Connection;

// The scorecard's change history: which table holds it, what names a
// changed row (a key figure's year, a measure's number) and what wrote it.
// The database layer writes it with every change (see Database::HistoryLog).
namespace ChangeHistory {

inline const QString Table = QStringLiteral("bsc_history");

// What wrote a change.
inline const QString Dialog = QStringLiteral("dialog");
inline const QString Editor = QStringLiteral("editor");
inline const QString Import = QStringLiteral("import");
inline const QString ImportLegacy = QStringLiteral("import-legacy");
inline const QString AddYear = QStringLiteral("add-year");

// What the database layer records of the scorecard's tables; every
// program hands it to the databases it opens (ScorecardAlias::settings).
Database::HistoryLog log();

// The column that names a row of a table in the history: "Jahr" for a
// key-figure table, "Nr" for the measures, empty for any other.
QString rowColumn(const QString &table);

// The last recorded change of a row as a line for a window ("Zuletzt
// geändert von X am ..."), built by the given text with %1 user and %2
// local time; empty when none is recorded or the history cannot be read
// (the window shows the row all the same).
QString lastChange(Connection &connection, const QString &table, const QString &row, const QString &text,
                   bool english);

// What writes to a database, for as long as the scope lasts.
class Scope {
public:
    Scope(Database &db, const QString &source);
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    Database &m_db;
    QString m_previous;
};

} // namespace ChangeHistory
