#pragma once

#include <QString>
#include <QStringList>

// Creating and extending the scorecard database. The program itself never
// creates tables or rows of the key-figure tables; this is done here, by
// bsc-db and by the tests' fixtures.
namespace DbAdmin {

// The fourteen value columns of every key-figure table, in entry order.
QStringList wertSpalten();

// First year that gets a row; rows run to the current year plus one, and at
// least to the last year the selectors offer.
int letztesJahr(int aktuellesJahr);

// Creates a new database file with the fourteen tables, one empty row per
// year in every key-figure table and, with demo, sample values and measures.
// Refuses an existing file and leaves it untouched. The file appears only
// when it is complete. Throws EngineError.
void anlegen(const QString &path, bool demo, int aktuellesJahr);

// Adds an empty row for a later year to every key-figure table of the file,
// all or nothing. Throws EngineError (for a year that exists, too).
void jahrHinzufuegen(const QString &path, const QString &jahr);

} // namespace DbAdmin
