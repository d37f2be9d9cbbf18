#include "platform/db/schemasql.h"

#include "platform/db/database.h"

namespace {

QStringList quoted(const QStringList &names)
{
    QStringList list;
    for (const QString &name : names)
        list << Database::quote(name);
    return list;
}

QString orderBy(const QStringList &columns)
{
    return columns.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + quoted(columns).join(QStringLiteral(", "));
}

} // namespace

QString SchemaSql::createTable(DbEngine engine, const QString &table, const QVector<Column> &columns)
{
    const Database::Upkeep &upkeep = Database::upkeep(engine);
    QStringList definitions;
    for (const Column &c : columns) {
        const QString name = Database::quote(c.name);
        switch (c.kind) {
        case Column::Kind::DigitsKey:
            definitions << QStringLiteral("%1 %2 CHECK (%3)").arg(name, upkeep.keyedText, upkeep.fourDigits.arg(name));
            break;
        case Column::Kind::BoundedInteger:
            definitions << QStringLiteral("%1 INTEGER CHECK (%1 BETWEEN %2 AND %3)").arg(name).arg(c.low).arg(c.high);
            break;
        case Column::Kind::NumberedKey:
            definitions << name + QLatin1Char(' ') + upkeep.numberedKey;
            break;
        case Column::Kind::Text:
            definitions << name + QStringLiteral(" TEXT");
            break;
        }
    }
    return QStringLiteral("CREATE TABLE %1 (%2)%3")
        .arg(Database::quote(table), definitions.join(QStringLiteral(", ")), upkeep.tableOptions);
}

QString SchemaSql::createIndex(const QString &index, const QString &table, const QStringList &columns)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(Database::quote(index), Database::quote(table), quoted(columns).join(QStringLiteral(", ")));
}

QString SchemaSql::insert(const QString &table, const QStringList &columns, const QStringList &placeholders)
{
    const QStringList marks = placeholders.isEmpty() ? QStringList(columns.size(), QStringLiteral("?")) : placeholders;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(Database::quote(table), quoted(columns).join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

QString SchemaSql::update(const QString &table, const QStringList &columns, const QString &keyColumn)
{
    QStringList assignments;
    for (const QString &column : columns)
        assignments << Database::quote(column) + QStringLiteral("=?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
        .arg(Database::quote(table), assignments.join(QLatin1Char(',')), Database::quote(keyColumn));
}

QString SchemaSql::select(const QStringList &expressions, const QString &table, const QStringList &order)
{
    return QStringLiteral("SELECT %1 FROM %2").arg(expressions.join(QStringLiteral(", ")), Database::quote(table))
        + orderBy(order);
}

QString SchemaSql::selectColumns(const QStringList &columns, const QString &table, const QStringList &order)
{
    return select(quoted(columns), table, order);
}

QString SchemaSql::maxOf(const QString &column, const QString &table)
{
    return QStringLiteral("SELECT max(%1) FROM %2").arg(Database::quote(column), Database::quote(table));
}

QString SchemaSql::countGrouped(const QString &column, const QString &table)
{
    return QStringLiteral("SELECT %1, count(*) FROM %2 GROUP BY %1 ORDER BY %1")
        .arg(Database::quote(column), Database::quote(table));
}

QString SchemaSql::countFilled(const QString &table, const QStringList &columns)
{
    QStringList filled;
    for (const QString &column : columns)
        filled << Database::quote(column) + QStringLiteral(" IS NOT NULL");
    return QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(Database::quote(table), filled.join(QStringLiteral(" OR ")));
}

QString SchemaSql::copyFileInto() { return QStringLiteral("VACUUM INTO ?"); }

QString SchemaSql::endRead() { return QStringLiteral("COMMIT"); }
