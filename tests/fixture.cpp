#include "fixture.h"

#include "model/alias.h"
#include "platform/db/database.h"
#include "tools/dbadmin.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
const char *const FixtureConnection = "fixture";

QSqlQuery run(const QString &path, const QString &statement, const QVariantList &values)
{
    QSqlDatabase db = QSqlDatabase::contains(FixtureConnection)
        ? QSqlDatabase::database(FixtureConnection)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FixtureConnection);
    if (db.databaseName() != path) {
        db.close();
        db.setDatabaseName(path);
    }
    if (!db.isOpen() && !db.open())
        qFatal("fixture: cannot open %s", qPrintable(path));
    QSqlQuery query(db);
    query.prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        qFatal("fixture: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    return query;
}
} // namespace

TestDatabase::TestDatabase(bool demo, int currentYear)
{
    Database::close();
    ScorecardAlias::install();
    m_path = m_dir.filePath(QStringLiteral("projekt_bsc.sqlite"));
    DbAdmin::create(m_path, demo, currentYear);
    qputenv(qPrintable(Alias::settings().variable), m_path.toUtf8());
}

TestDatabase::~TestDatabase()
{
    Database::close();
    {
        QSqlDatabase db = QSqlDatabase::database(FixtureConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(FixtureConnection);
    qunsetenv(qPrintable(Alias::settings().variable));
}

void TestDatabase::sql(const QString &statement, const QVariantList &values) const
{
    run(m_path, statement, values);
}

QVariant TestDatabase::value(const QString &statement, const QVariantList &values) const
{
    QSqlQuery query = run(m_path, statement, values);
    return query.next() ? query.value(0) : QVariant();
}

void TestDatabase::setPair(const QString &tabelle, const QString &jahr, const QString &suffix,
                              QVariant ist, QVariant soll) const
{
    sql(QStringLiteral("UPDATE \"%1\" SET \"Ist_Wert_%2\"=?, \"Soll_Wert_%2\"=? WHERE \"Jahr\"=?")
            .arg(tabelle, suffix),
        {ist, soll, jahr});
}
