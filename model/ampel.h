#pragma once
// Traffic-light judgement of an actual/target pair by the rule of its key figure.

#include <QString>
#include <QtGlobal>

enum class Ampel { Grau, Rot, Gelb, Gruen };

// The page that judges; only goal 7 has a rule of its own on the Measures page.
enum class View { Perspectives, Objectives, Measures, Overview };

struct AmpelRegel {
    // Keine: no rule (goal outside 1..12); judges everything grau.
    enum Art { Aufsteigend, Band, Absteigend, Keine };
    Art art = Keine;
    // Aufsteigend: rot below a, gelb from a, gruen from b.
    double a = 0, b = 0;
    // Band: gruen g1..g2, gelb y1..g1 and g2..y2, rot outside y1..y2.
    // Absteigend uses only the upper half: gruen up to g2, gelb up to y2.
    double y1 = 0, g1 = 0, g2 = 0, y2 = 0;
};

AmpelRegel ampelRegel(int ziel, int branche, View view);

// IST * 100 / SOLL as a percentage, unrounded. The product is taken in 64 bits,
// so it cannot overflow; inside the value range of the key-figure schema it
// equals the 32-bit product. soll must not be 0.
double erfuellungsgrad(qint32 ist, qint32 soll);

// Judges an achievement ratio r; the pair overloads take r = erfuellungsgrad(ist, soll)
// and give grau for SOLL 0, which has no ratio.
Ampel judgeRatio(const AmpelRegel &regel, double r);
Ampel judge(const AmpelRegel &regel, qint32 ist, qint32 soll);
Ampel judge(int ziel, int branche, View view, qint32 ist, qint32 soll);

// IST 1 with SOLL 1 means "not judged" on the pages that test for it;
// they reset the slot to grau instead of showing the rule's colour.
inline bool isNotJudged(qint32 ist, qint32 soll) { return ist == 1 && soll == 1; }

// "grau", "rot", "gelb", "gruen" (the names of the slot pictures).
QString ampelName(Ampel ampel);
