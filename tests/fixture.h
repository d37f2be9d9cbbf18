#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database in a temporary folder, made by the same code as
// "bsc-db init", with the alias pointed at it. The alias connection is
// closed when the fixture goes.
class TestDatabase {
public:
    explicit TestDatabase(bool demo = false, int currentYear = 2013);
    ~TestDatabase();

    QString path() const { return m_path; }

    // Writes through a connection of its own, as another program would.
    void sql(const QString &statement, const QVariantList &values = {}) const;
    QVariant value(const QString &statement, const QVariantList &values = {}) const;
    // Sets IST and SOLL of one period column pair of a year's row.
    void setPair(const QString &tabelle, const QString &jahr, const QString &suffix, QVariant ist,
                   QVariant soll) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
