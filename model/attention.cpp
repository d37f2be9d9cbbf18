#include "model/attention.h"

#include "model/statements.h"
#include "platform/db/database.h"

namespace Attention {

namespace {

// Texts by language: German, English.
struct Text {
    const char *german;
    const char *english;
};
const Text MarkerText = {"rot, keine Maßnahme für %1", "red, no measure for %1"};

QString pick(const Text &text, bool english) { return QString::fromUtf8(english ? text.english : text.german); }

} // namespace

QHash<QString, qint64> measureCounts(Database &db, const QString &year)
{
    const Database::Source source = db.query(Statements::measureGoalsOfYear(year));
    return db.countBy(source, 0);
}

QString markerText(const QString &year, bool english) { return pick(MarkerText, english).arg(year); }

} // namespace Attention
