#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "platform/db/engine.h"

// The statements that create, fill, check and copy tables, for the code
// that knows which tables a program keeps. Names are given as stored and
// quoted here; every value is bound at a placeholder ("?" unless given).
// Expressions are SQL the database made (Database::quote, textAsBytes).
namespace SchemaSql {

struct Column {
    enum class Kind {
        DigitsKey,        // a text of four digits that keys the table's rows
        BoundedInteger,   // an integer between low and high
        NumberedKey,      // an integer key the engine numbers itself
        Text,
    };
    QString name;
    Kind kind = Kind::Text;
    qint64 low = 0;
    qint64 high = 0;
};

QString createTable(DbEngine engine, const QString &table, const QVector<Column> &columns);
// Made only when it is not there yet.
QString createIndex(const QString &index, const QString &table, const QStringList &columns);

QString insert(const QString &table, const QStringList &columns, const QStringList &placeholders = {});
// Sets the columns of the row whose key column equals the last value.
QString update(const QString &table, const QStringList &columns, const QString &keyColumn);

// Every row, the expressions of each, in the order of the given columns.
QString select(const QStringList &expressions, const QString &table, const QStringList &orderBy = {});
// The columns (names) of every row.
QString selectColumns(const QStringList &columns, const QString &table, const QStringList &orderBy = {});
QString maxOf(const QString &column, const QString &table);
// Each text of the column with the number of rows that hold it, in order.
QString countGrouped(const QString &column, const QString &table);
// The number of rows with a value in any of the columns.
QString countFilled(const QString &table, const QStringList &columns);

// A consistent copy of the whole file into the file bound (SQLite).
QString copyFileInto();
// The end of a transaction that only read (begun with upkeep().beginSnapshot).
QString endRead();

} // namespace SchemaSql
