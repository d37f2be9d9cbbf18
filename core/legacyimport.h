#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;

// The old program's tables (one Paradox file per table, the measures' texts
// in the memo file beside them) brought into a new database: read and
// checked first, every fault listed, then written in one transaction, all
// or nothing, into a target that holds no data yet. Shared by bsc-db and
// the program.
namespace LegacyImport {

// Where something is wrong: the file, the record (from 1; 0 for the file
// itself) and the column.
struct Fault {
    QString file;
    int row = 0;
    QString column;
    QString year;     // the row's year, where known
    QString message;
    QString text() const;   // "kz_liqui.db, row 3 (year 2005), Ist_Wert_Q1: ..."
};

// What one table brings.
struct TableSummary {
    QString table;      // the name in the new database
    QString file;       // the file it was read from; empty when missing
    int rows = 0;       // records read
    int values = 0;     // values set (key figures) or measures
};

struct Plan {
    QString folder;
    QList<Fault> faults;
    QStringList notes;               // worth knowing, nothing is wrong
    QList<TableSummary> tables;      // the thirteen key-figure tables, then the measures

    struct Year {
        QString year;
        QVariantList values;         // the fourteen value columns; null when empty
        QString origin;              // the file it came from: "KZ_LIQUI.DB"
    };
    struct Figures {
        QString table;
        QList<Year> years;
    };
    QList<Figures> figures;

    struct Measure {
        qint64 nr = 0;
        QVariantList texts;          // the eight columns after Nr; null when empty
        QString origin;              // the file it came from: "maßnahmen.DB"
    };
    QList<Measure> measures;

    bool ok() const { return faults.isEmpty(); }
    int valueCount() const;
};

// The columns of the measures table after Nr, in the order of Measure::texts.
const QStringList &measureColumns();

// Reads and checks every table in the folder; reads no database.
Plan plan(const QString &folder);

// Why the target may not take an import (it holds values or measures, or
// lacks a table); empty when it is fresh.
QString refusal(Database &db);

// Writes the plan in one transaction: the years into the key-figure tables
// (every table then holds a row for every year from the first year of the
// catalog to the current year plus one, or the last year read), the
// measures with their numbers. Refuses a plan with faults and a target that
// is not fresh, checked inside the transaction. The change history gets
// one entry per imported row (the whole row, and the file it came from),
// not one per value: the database held nothing before.
void apply(Database &db, const Plan &plan, int currentYear);

// The same into a database file that does not exist yet: created as
// "bsc-db init" creates it and filled in the same transaction, so that the
// file appears complete or, after a fault or a kill, not at all.
void applyToNewFile(const QString &file, const Plan &plan, int currentYear);

} // namespace LegacyImport
