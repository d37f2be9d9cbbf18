#include "model/history.h"

#include "model/katalog.h"
#include "model/statements.h"
#include "platform/db/database.h"

#include <QSqlQuery>
#include <algorithm>

namespace History {

namespace {

struct Text {
    const char *german;
    const char *english;
};
QString pick(const Text &text, bool english) { return QString::fromUtf8(english ? text.english : text.german); }

const Text LightWords[4] = {{"grau", "grey"}, {"rot", "red"}, {"gelb", "yellow"}, {"grün", "green"}};
const Text Heads[4] = {{"Jahr", "Year"}, {"IST", "Actual"}, {"SOLL", "Target"}, {"Ampel", "Light"}};

std::optional<qint32> number(const QVariant &value)
{
    if (value.isNull() || value.toString().isEmpty())
        return std::nullopt;
    return qint32(value.toLongLong());
}

} // namespace

QVector<Year> read(Database &db, int ziel, int branche, int zeitraum)
{
    const Database::Source source = db.query(Statements::history(ScorecardKatalog::table(ziel, branche),
                                                                 ScorecardKatalog::istColumn(zeitraum),
                                                                 ScorecardKatalog::sollColumn(zeitraum)));
    QVector<Year> years;
    db.scan(source, [&](const QVector<QVariant> &row) {
        Year y;
        y.year = row.value(0).toString();
        y.ist = number(row.value(1));
        y.soll = number(row.value(2));
        if (y.ist && y.soll) {
            y.light = judge(ziel, branche, View::Objectives, *y.ist, *y.soll);
            if (isNotJudged(*y.ist, *y.soll))
                y.light = Ampel::Grau;
        }
        years << y;
        return true;
    });
    std::sort(years.begin(), years.end(), [](const Year &a, const Year &b) { return a.year < b.year; });
    return years;
}

QString windowTitle(bool english) { return pick({"Entwicklung der Kennzahl", "Key-figure history"}, english); }

QString menuText(bool english) { return pick({"Entwicklung der Kennzahl...", "Key-figure history..."}, english); }

QStringList tableHeads(bool english)
{
    QStringList heads;
    for (const Text &t : Heads)
        heads << pick(t, english);
    return heads;
}

QString lightWord(Ampel light, bool english) { return pick(LightWords[int(light)], english); }

QString savePdfText(bool english) { return pick({"Als PDF speichern...", "Save as PDF..."}, english); }

QString savePngText(bool english) { return pick({"Als PNG speichern...", "Save as PNG..."}, english); }

QString seriesName(bool actual, bool english)
{
    return actual ? pick({"IST-Wert", "Actual value"}, english) : pick({"SOLL-Wert", "Target value"}, english);
}

QString saveCaption(bool english) { return pick({"Entwicklung speichern", "Save the history"}, english); }

} // namespace History
