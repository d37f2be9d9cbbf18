#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database in a temporary folder, made by the same code as
// "bsc-db init", with the alias pointed at it. The alias connection is
// closed when the fixture goes.
class TestDatenbank {
public:
    explicit TestDatenbank(bool demo = false, int aktuellesJahr = 2013);
    ~TestDatenbank();

    QString path() const { return m_path; }

    // Writes through a connection of its own, as another program would.
    void sql(const QString &statement, const QVariantList &values = {}) const;
    QVariant wert(const QString &statement, const QVariantList &values = {}) const;
    // Sets IST and SOLL of one period column pair of a year's row.
    void setzePaar(const QString &tabelle, const QString &jahr, const QString &suffix, QVariant ist,
                   QVariant soll) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
