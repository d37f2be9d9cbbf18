#include "model/yearsummary.h"

#include "model/attention.h"
#include "model/katalog.h"
#include "model/statements.h"
#include "platform/db/dataset.h"

namespace YearSummary {

namespace {

struct Text {
    const char *german;
    const char *english;
};
QString pick(const Text &text, bool english) { return QString::fromUtf8(english ? text.english : text.german); }

const Text Title = {"Jahresbericht %1", "Year report %1"};
const Text HeadTexts[7] = {
    {"Ziel", "Goal"},      {"Kennzahl", "Key figure"}, {"IST", "Actual"},        {"SOLL", "Target"},
    {"Ampel", "Light"},    {"Maßnahmen", "Measures"},  {"Handlungsbedarf", "Attention"},
};
const Text LightWords[4] = {{"grau", "grey"}, {"rot", "red"}, {"gelb", "yellow"}, {"grün", "green"}};
const Text MarkerWord = {"keine Maßnahme", "no measure"};

} // namespace

QVector<Goal> read(Connection &connection, const QString &year, int branche, bool english)
{
    QVector<Goal> goals;
    Query query(connection, QStringLiteral("yearSummary"));
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        Goal g;
        g.ziel = ziel;
        g.perspektive = ScorecardKatalog::perspektiveOf(ziel);
        g.goal = english ? ScorecardKatalog::zielTextEnglish(ziel, branche) : ScorecardKatalog::zielText(ziel, branche);
        g.kennzahl = english ? ScorecardKatalog::kennzahlNameEnglish(ziel, branche)
                             : ScorecardKatalog::kennzahlName(ziel, branche);
        query.close();
        query.setSql(Statements::yearPair(ScorecardKatalog::table(ziel, branche), year));
        query.open();
        query.ensureRead();
        g.hasRow = !query.isEmpty();
        g.ist = query.asInteger(QStringLiteral("ist_wert_jahr"));
        g.soll = query.asInteger(QStringLiteral("soll_wert_jahr"));
        g.light = judge(ziel, branche, View::Perspectives, g.ist, g.soll);
        goals << g;
    }
    // As on the Perspectives page: a delivery-time pair of 1 and 1 marks the
    // whole year as not judged.
    if (isNotJudged(goals.last().ist, goals.last().soll)) {
        for (Goal &g : goals)
            g.light = Ampel::Grau;
    }
    // The cover lists the number of measures of every goal.
    const QHash<QString, qint64> counts = Attention::measureCounts(connection.database(), year);
    for (Goal &g : goals) {
        g.measures = counts.value(ScorecardKatalog::zielText(g.ziel, branche));
        g.marked = Attention::wanted(g.light, g.measures);
    }
    return goals;
}

bool known(const QVector<Goal> &goals)
{
    for (const Goal &g : goals) {
        if (g.hasRow)
            return true;
    }
    return false;
}

QString title(const QString &year, bool english) { return pick(Title, english).arg(year); }

Heads heads(bool english)
{
    return {pick(HeadTexts[0], english), pick(HeadTexts[1], english), pick(HeadTexts[2], english),
            pick(HeadTexts[3], english), pick(HeadTexts[4], english), pick(HeadTexts[5], english),
            pick(HeadTexts[6], english)};
}

QString lightWord(Ampel light, bool english) { return pick(LightWords[int(light)], english); }

QString markerWord(bool english) { return pick(MarkerWord, english); }

QString noValue() { return QStringLiteral("–"); }

QString menuText(bool english) { return pick({"Jahresbericht als PDF...", "Year report as PDF..."}, english); }

QString yearQuestion(bool english) { return pick({"Jahresbericht als PDF", "Year report as PDF"}, english); }

QString yearLabel(bool english) { return pick({"Jahr:", "Year:"}, english); }

QString saveCaption(bool english) { return pick({"Jahresbericht speichern", "Save the year report"}, english); }

} // namespace YearSummary
