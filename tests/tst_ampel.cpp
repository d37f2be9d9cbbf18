#include <QTest>
#include <climits>

#include "model/ampel.h"

Q_DECLARE_METATYPE(View)

namespace {

constexpr View alleAnsichten[] = {View::Perspectives, View::Objectives, View::Measures,
                                     View::Overview};

const char *ansichtName(View a)
{
    switch (a) {
    case View::Perspectives: return "perspectives";
    case View::Objectives: return "objectives";
    case View::Measures: return "measures";
    case View::Overview: return "overview";
    }
    return "?";
}

// The thresholds per key figure, written out independently of the model.
struct Schwellen {
    int ziel;
    int branche;
    AmpelRegel::Art art;
    int s[4];   // Aufsteigend: a, b; Band: y1, g1, g2, y2; Absteigend: 120, 150
    bool nurMassnahmen;
};

constexpr Schwellen schwellen[] = {
    {1, 1, AmpelRegel::Aufsteigend, {75, 90}, false},
    {2, 1, AmpelRegel::Band, {65, 80, 120, 135}, false},
    {3, 1, AmpelRegel::Band, {70, 90, 110, 130}, false},
    {4, 1, AmpelRegel::Aufsteigend, {50, 75}, false},
    {5, 1, AmpelRegel::Aufsteigend, {20, 40}, false},
    {6, 1, AmpelRegel::Aufsteigend, {60, 80}, false},
    {7, 1, AmpelRegel::Aufsteigend, {50, 75}, false},
    {7, 1, AmpelRegel::Aufsteigend, {60, 80}, true},
    {8, 1, AmpelRegel::Aufsteigend, {80, 90}, false},
    {9, 1, AmpelRegel::Aufsteigend, {50, 70}, false},
    {10, 1, AmpelRegel::Absteigend, {120, 150}, false},
    {11, 0, AmpelRegel::Aufsteigend, {60, 80}, false},
    {11, 1, AmpelRegel::Absteigend, {120, 150}, false},
    {12, 1, AmpelRegel::Absteigend, {120, 150}, false},
};

// Both judging tables share their columns and their check.
void spalten()
{
    QTest::addColumn<int>("ziel");
    QTest::addColumn<int>("branche");
    QTest::addColumn<View>("ansicht");
    QTest::addColumn<int>("ist");
    QTest::addColumn<int>("soll");
    QTest::addColumn<QString>("ampel");
}

void pruefeZeile()
{
    QFETCH(int, ziel);
    QFETCH(int, branche);
    QFETCH(View, ansicht);
    QFETCH(int, ist);
    QFETCH(int, soll);
    QFETCH(QString, ampel);

    QCOMPARE(ampelName(judge(ziel, branche, ansicht, ist, soll)), ampel);
}

} // namespace

class TstAmpel : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void everyBoundary_data();
    void everyBoundary();
    void targetMetIsGreenUnderEveryRule();
    void ratioIsExactAndUnrounded();
    void invalidGoalIsNotJudged();
};

void TstAmpel::rules_data()
{
    spalten();

    const View P = View::Perspectives;
    QTest::newRow("goal 1 r 75") << 1 << 1 << P << 3 << 4 << "gelb";
    QTest::newRow("goal 1 r 90") << 1 << 1 << P << 9 << 10 << "gruen";
    QTest::newRow("goal 1 r 74") << 1 << 1 << P << 74 << 100 << "rot";
    QTest::newRow("goal 1 r 89.9 not rounded up") << 1 << 1 << P << 899 << 1000 << "gelb";
    QTest::newRow("goal 5 r 33.3") << 5 << 1 << P << 1 << 3 << "gelb";
    QTest::newRow("goal 10 r 150") << 10 << 1 << P << 30 << 20 << "gelb";
    QTest::newRow("goal 10 r 155") << 10 << 1 << P << 31 << 20 << "rot";
    QTest::newRow("goal 10 r 120") << 10 << 1 << P << 24 << 20 << "gruen";

    // Goal 2 is judged alike on every view.
    const struct { int r; const char *ampel; } kapQuote[] = {
        {64, "rot"}, {65, "gelb"}, {80, "gruen"}, {120, "gruen"},
        {121, "gelb"}, {135, "gelb"}, {136, "rot"}};
    for (View a : alleAnsichten)
        for (const auto &f : kapQuote)
            QTest::addRow("goal 2 r %d %s", f.r, ansichtName(a)) << 2 << 1 << a << f.r << 100 << f.ampel;

    // Goal 7 has a stricter rule on the Measures page only.
    for (View a : alleAnsichten) {
        const bool m = a == View::Measures;
        QTest::addRow("goal 7 r 55 %s", ansichtName(a)) << 7 << 1 << a << 55 << 100 << (m ? "rot" : "gelb");
        QTest::addRow("goal 7 r 75 %s", ansichtName(a)) << 7 << 1 << a << 75 << 100 << (m ? "gelb" : "gruen");
    }

    // Goal 11: higher is better for agriculture, lower is better for mining.
    QTest::newRow("goal 11 agriculture r 130") << 11 << 0 << P << 130 << 100 << "gruen";
    QTest::newRow("goal 11 mining r 130") << 11 << 1 << P << 130 << 100 << "gelb";
    QTest::newRow("goal 11 agriculture r 70") << 11 << 0 << P << 70 << 100 << "gelb";
    QTest::newRow("goal 11 mining r 70") << 11 << 1 << P << 70 << 100 << "gruen";
    QTest::newRow("goal 11 nothing chosen r 70") << 11 << -1 << P << 70 << 100 << "gruen";

    // No target: no ratio, no judgement.
    QTest::newRow("soll 0 ist 0") << 1 << 1 << P << 0 << 0 << "grau";
    QTest::newRow("soll 0 ist 5") << 2 << 1 << P << 5 << 0 << "grau";
    QTest::newRow("soll 0 descending") << 12 << 1 << P << -5 << 0 << "grau";

    // Magnitudes far outside the tables' range must still judge without overflow.
    QTest::newRow("ist max ascending") << 1 << 1 << P << INT_MAX << 1 << "gruen";
    QTest::newRow("ist max descending") << 12 << 1 << P << INT_MAX << 1 << "rot";
    QTest::newRow("ist max band") << 2 << 1 << P << INT_MAX << 1 << "rot";
    QTest::newRow("ist min soll -1") << 1 << 1 << P << INT_MIN << -1 << "gruen";
    QTest::newRow("ist min soll 1 ascending") << 1 << 1 << P << INT_MIN << 1 << "rot";
    QTest::newRow("ist min soll 1 descending") << 10 << 1 << P << INT_MIN << 1 << "gruen";
    QTest::newRow("ist max soll max") << 3 << 1 << P << INT_MAX << INT_MAX << "gruen";

    // Negative values give negative ratios unless both are negative.
    QTest::newRow("negative ist ascending") << 1 << 1 << P << -10 << 100 << "rot";
    QTest::newRow("negative ist descending") << 10 << 1 << P << -10 << 100 << "gruen";
    QTest::newRow("negative soll band") << 2 << 1 << P << 10 << -10 << "rot";
    QTest::newRow("both negative band") << 2 << 1 << P << -10 << -10 << "gruen";
    QTest::newRow("ist 0 ascending") << 4 << 1 << P << 0 << 50 << "rot";
    QTest::newRow("ist 0 descending") << 12 << 1 << P << 0 << 50 << "gruen";
}

void TstAmpel::rules()
{
    pruefeZeile();
}

void TstAmpel::everyBoundary_data()
{
    spalten();

    // Each threshold is judged a tenth below, exactly at and a tenth above it
    // (SOLL 1000, IST 10 * threshold - 1, + 0, + 1).
    struct Seite { const char *unter, *an, *ueber; };
    const Seite aufA{"rot", "gelb", "gelb"}, aufB{"gelb", "gruen", "gruen"};
    const Seite bandY1{"rot", "gelb", "gelb"}, bandG1{"gelb", "gruen", "gruen"},
                bandG2{"gruen", "gruen", "gelb"}, bandY2{"gelb", "gelb", "rot"};
    const Seite abG{"gruen", "gruen", "gelb"}, abY{"gelb", "gelb", "rot"};

    auto add = [](const Schwellen &s, View a, int schwelle, const Seite &seite) {
        const char *erwartet[] = {seite.unter, seite.an, seite.ueber};
        for (int d = -1; d <= 1; ++d)
            QTest::addRow("goal %d/%d %s r %d%+d/10", s.ziel, s.branche, ansichtName(a), schwelle, d)
                << s.ziel << s.branche << a << schwelle * 10 + d << 1000 << erwartet[d + 1];
    };

    for (const Schwellen &s : schwellen) {
        for (View a : alleAnsichten) {
            if (s.ziel == 7 && (a == View::Measures) != s.nurMassnahmen)
                continue;
            switch (s.art) {
            case AmpelRegel::Aufsteigend:
                add(s, a, s.s[0], aufA);
                add(s, a, s.s[1], aufB);
                break;
            case AmpelRegel::Band:
                add(s, a, s.s[0], bandY1);
                add(s, a, s.s[1], bandG1);
                add(s, a, s.s[2], bandG2);
                add(s, a, s.s[3], bandY2);
                break;
            case AmpelRegel::Absteigend:
                add(s, a, s.s[0], abG);
                add(s, a, s.s[1], abY);
                break;
            case AmpelRegel::Keine:
                break;
            }
        }
    }
}

void TstAmpel::everyBoundary()
{
    pruefeZeile();
}

void TstAmpel::targetMetIsGreenUnderEveryRule()
{
    for (int branche : {0, 1})
        for (int ziel = 1; ziel <= 12; ++ziel)
            for (View a : alleAnsichten)
                QVERIFY2(judge(ziel, branche, a, 1, 1) == Ampel::Gruen,
                         qPrintable(QStringLiteral("goal %1 industry %2").arg(ziel).arg(branche)));
    // The pages that skip this pair test it themselves.
    QVERIFY(isNotJudged(1, 1));
    QVERIFY(!isNotJudged(2, 2));
    QVERIFY(!isNotJudged(1, 0));
}

void TstAmpel::ratioIsExactAndUnrounded()
{
    QCOMPARE(erfuellungsgrad(3, 4), 75.0);
    QCOMPARE(erfuellungsgrad(1, 3), 100.0 / 3);
    QCOMPARE(erfuellungsgrad(-21474836, 1), -2147483600.0);
    QCOMPARE(erfuellungsgrad(INT_MAX, 1), 214748364700.0);
    QCOMPARE(erfuellungsgrad(INT_MIN, -1), 214748364800.0);
}

void TstAmpel::invalidGoalIsNotJudged()
{
    for (int ziel : {0, 13, -1, INT_MIN, INT_MAX}) {
        QCOMPARE(ampelRegel(ziel, 1, View::Objectives).art, AmpelRegel::Keine);
        QCOMPARE(ampelName(judge(ziel, 1, View::Objectives, 50, 100)), QStringLiteral("grau"));
    }
    QCOMPARE(ampelName(judge(AmpelRegel{}, 50, 100)), QStringLiteral("grau"));
}

QTEST_APPLESS_MAIN(TstAmpel)
#include "tst_ampel.moc"
