#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The small select dialect the pages send:
//   select * | col[,col...] from table[.db] [where col="value" [and col="value"]...]
// Keywords and names in any case, blanks around "=" and "," optional.
// The constants are kept as values; they are bound, never pasted into SQL.
struct Statement {
    struct Condition {
        QString column;
        QString value;
    };

    QStringList columns;            // empty for "*"
    QString table;                  // without the ".db" extension
    QVector<Condition> conditions;

    // Throws EngineError naming what is wrong and where.
    static Statement parse(const QString &text);
};
