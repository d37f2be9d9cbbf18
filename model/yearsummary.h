#pragma once
// The firm's twelve goals for one year as the cover of the year report
// lists them: yearly values, light, measures and the attention marker.

#include <QString>
#include <QVector>

#include "model/ampel.h"

class Connection;

namespace YearSummary {

struct Goal {
    int ziel = 0;
    int perspektive = 0;
    QString goal;       // in the report's language
    QString kennzahl;   // key-figure name in the report's language
    bool hasRow = false;   // the key-figure table holds a row for the year
    qint32 ist = 0;
    qint32 soll = 0;
    Ampel light = Ampel::Grau;   // judged as the Perspectives page judges
    qint64 measures = 0;
    bool marked = false;         // red without a measure
};

// Reads the twelve yearly pairs (one statement per key-figure table, as the
// Perspectives page does) and the measure counts (one statement). Throws
// EngineError.
QVector<Goal> read(Connection &connection, const QString &year, int branche, bool english);

// Whether any of the goals has a row for the year: a year the tables do not
// know gives no report.
bool known(const QVector<Goal> &goals);

// Texts of the cover, by language.
QString title(const QString &year, bool english);
struct Heads {
    QString goal, kennzahl, ist, soll, light, measures, attention;
};
Heads heads(bool english);
QString lightWord(Ampel light, bool english);
QString markerWord(bool english);
// A value of a year without a row.
QString noValue();
// The menu item, the caption and label of its year question, the save caption.
QString menuText(bool english);
QString yearQuestion(bool english);
QString yearLabel(bool english);
QString saveCaption(bool english);

} // namespace YearSummary
