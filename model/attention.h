#pragma once
// What needs attention: a goal whose light is red while nobody works on it
// (no measure stored for the goal and year).

#include <QHash>
#include <QString>

#include "model/ampel.h"

class Database;

namespace Attention {

// The number of measures per stored goal text for a year, read in one
// statement for all goals. Throws EngineError.
QHash<QString, qint64> measureCounts(Database &db, const QString &year);

// A red light with no measure wants attention; every other light does not
// (grey, SOLL 0 and the not-judged pair included).
inline bool wanted(Ampel light, qint64 measures) { return light == Ampel::Rot && measures == 0; }

// The marker's accessible name and tooltip for a year.
QString markerText(const QString &year, bool english);

} // namespace Attention
