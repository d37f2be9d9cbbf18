#pragma once

#include <QString>
#include <QList>
#include <QStringList>

#include <functional>

class Database;

// Creating and looking after the scorecard database. The program itself
// never creates tables or rows of the key-figure tables; this is done here,
// by bsc-db and by the tests' fixtures. Every function throws EngineError
// with a message that says what failed and leaves nothing half-done.
namespace DbAdmin {

// Rows run from the first year to the current year plus one, and at least
// to the last year the selectors offer.
int lastYear(int currentYear);

// Creates the fourteen tables with one empty row per year in every
// key-figure table and, with demo, sample values and measures: a new file
// (refusing an existing one, a dangling link too, which stays untouched;
// the file appears under its name only when it is complete), or the tables
// of an existing server database that holds none of them, in one go.
void create(const QString &target, bool demo, int currentYear);

// Whether the target is a database file that does not exist yet.
bool isNewFile(const QString &target);
// Creates the tables and empty rows as create() does and then fills them
// in the same transaction: a new file appears only when both are done,
// and after a failure or a kill there is none.
void createFilled(const QString &target, int currentYear, const std::function<void(Database &)> &fill);

// Adds an empty row for every year after the last one stored up to the
// given one to every key-figure table, in one transaction, all or nothing.
// The year is exactly four digits and at most MaxYearsAdded after the last.
constexpr int MaxYearsAdded = 100;
struct AddedYears {
    int first = 0;     // the first year added
    int count = 0;     // years added to one table or another
    QList<int> years;  // those years, in order
    // Whether they run without a gap from the first to the last.
    bool contiguous() const { return !years.isEmpty() && years.last() - years.first() + 1 == years.size(); }
};
AddedYears addYear(const QString &path, const QString &year);

// Writes a consistent copy of the database into a new file, also while
// the program works on it, and checks the copy before giving it its name.
// A server's database is copied into a database file.
void backup(const QString &path, const QString &file);

// Copies every row of the fourteen tables from one target to another (a
// file to a server's database or back), in one transaction, numbers of the
// measures kept, the row counts checked. The target is a new file, a
// server's database without the tables, or one whose tables hold no rows.
void copy(const QString &from, const QString &to);

struct CheckReport {
    QStringList faults;   // damage or missing data: the check fails
    QStringList warnings; // looks wrong, but older files may hold it: the check passes
    QStringList notes;    // worth knowing, nothing is wrong
    bool ok() const { return faults.isEmpty(); }
};
// The engine's integrity check, then the layout: every key-figure table
// holds all value columns and exactly one row per year from the first year
// on without gaps; the measures table has its columns. Measures whose goal
// is no goal text of the catalog are warnings: no page ever shows them.
CheckReport check(const QString &path);

// Brings a database made by an older version up to date (the index of the
// measures by goal and year); returns what was changed.
QStringList upgrade(const QString &path);

} // namespace DbAdmin
