#pragma once
// A key figure over the years: the actual and target value of one period
// for every year its table holds, and the texts of the history window.

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "model/ampel.h"

class Database;

namespace History {

struct Year {
    QString year;
    std::optional<qint32> ist;    // empty: never entered (a gap, not a zero)
    std::optional<qint32> soll;
    // The light of the pair as the Objectives page judges it; grau when a
    // value is missing, SOLL is 0 or the pair is 1 and 1.
    Ampel light = Ampel::Grau;
};

// Every year of the goal's key-figure table with the period's pair, in year
// order, read in one statement. Throws EngineError.
QVector<Year> read(Database &db, int ziel, int branche, int zeitraum);

// Texts by language.
QString windowTitle(bool english);
QString menuText(bool english);
QStringList tableHeads(bool english);   // year, actual, target, light
QString lightWord(Ampel light, bool english);
QString savePdfText(bool english);
QString savePngText(bool english);
QString seriesName(bool actual, bool english);
QString saveCaption(bool english);

} // namespace History
