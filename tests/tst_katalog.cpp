#include <QSet>
#include <QTest>
#include <climits>

#include "model/katalog.h"

using namespace ScorecardKatalog;

class TstKatalog : public QObject
{
    Q_OBJECT

private slots:
    void goal11FollowsIndustry_data();
    void goal11FollowsIndustry();
    void goal7IsStoredWithDoubleS();
    void storedGoalTextsFitTheMeasuresColumn();
    void periodColumns_data();
    void periodColumns();
    void yearList();
    void goalNumberRoundTrip();
    void thirteenDistinctTables();
    void indexesOutsideTheirRange_data();
    void indexesOutsideTheirRange();
    void firstIndexPastEachRange();
};

void TstKatalog::goal11FollowsIndustry_data()
{
    QTest::addColumn<int>("branche");
    QTest::addColumn<QString>("expectedTable");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("english");

    const QString neu = QStringLiteral("Erhöhung des Anteils innovativer Produkte");
    const QString auf = QStringLiteral("Dauer der Auftragsabwicklung verringern");
    const QString neuEn = QStringLiteral("Increase of the prtion innovative products");
    const QString aufEn = QStringLiteral("Duration of the job execution reduce");
    QTest::newRow("agriculture") << 0 << "kz_neuprod" << neu << neuEn;
    QTest::newRow("mining") << 1 << "kz_auf_abwicklung" << auf << aufEn;
    QTest::newRow("nothing chosen") << -1 << "kz_auf_abwicklung" << auf << aufEn;
    QTest::newRow("other index") << 5 << "kz_auf_abwicklung" << auf << aufEn;
}

void TstKatalog::goal11FollowsIndustry()
{
    QFETCH(int, branche);
    QFETCH(QString, expectedTable);
    QFETCH(QString, text);
    QFETCH(QString, english);

    QCOMPARE(table(11, branche), expectedTable);
    QCOMPARE(zielText(11, branche), text);
    QCOMPARE(kennzahlName(11, branche), text);
    QCOMPARE(zielTextEnglish(11, branche), english);
    // Only goal 11 depends on the industry.
    for (int ziel = 1; ziel <= ZielCount; ++ziel) {
        if (ziel == 11)
            continue;
        QCOMPARE(table(ziel, branche), table(ziel, 1));
        QCOMPARE(zielText(ziel, branche), zielText(ziel, 1));
    }
}

void TstKatalog::goal7IsStoredWithDoubleS()
{
    const QString text = zielText(7, 1);
    QCOMPARE(text, QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen"));
    QVERIFY(text.contains(QLatin1String("ss")));
    QVERIFY(!text.contains(QChar(0x00DF)));
    QCOMPARE(zielText(7, 0), text);
}

void TstKatalog::storedGoalTextsFitTheMeasuresColumn()
{
    // The Ziel column of the measures table holds at most 54 characters;
    // goal 2 is the longest text and uses them all.
    for (int branche : {0, 1})
        for (int ziel = 1; ziel <= ZielCount; ++ziel)
            QVERIFY2(zielText(ziel, branche).size() <= 54, qPrintable(zielText(ziel, branche)));
    QCOMPARE(zielText(2, 1).size(), 54);
}

void TstKatalog::periodColumns_data()
{
    QTest::addColumn<int>("zeitraum");
    QTest::addColumn<QString>("ist");
    QTest::addColumn<QString>("soll");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");

    QTest::newRow("first quarter") << 0 << "ist_wert_q1" << "soll_wert_q1" << "1. Quartal" << "1. Quarter";
    QTest::newRow("fourth quarter") << 3 << "ist_wert_q4" << "soll_wert_q4" << "4. Quartal" << "4. Quarter";
    QTest::newRow("first half") << 4 << "ist_wert_halbjahr1" << "soll_wert_halbjahr1" << "1. Halbjahr" << "1. Half-year";
    QTest::newRow("second half") << 5 << "ist_wert_halbjahr2" << "soll_wert_halbjahr2" << "2. Halbjahr" << "2. Half-year";
    QTest::newRow("year") << 6 << "ist_wert_jahr" << "soll_wert_jahr" << "Jahr" << "Year";
}

void TstKatalog::periodColumns()
{
    QFETCH(int, zeitraum);
    QFETCH(QString, ist);
    QFETCH(QString, soll);
    QFETCH(QString, german);
    QFETCH(QString, english);

    QCOMPARE(istColumn(zeitraum), ist);
    QCOMPARE(sollColumn(zeitraum), soll);
    QCOMPARE(zeitraumText(zeitraum, false), german);
    QCOMPARE(zeitraumText(zeitraum, true), english);
}

void TstKatalog::yearList()
{
    const QStringList liste = ScorecardKatalog::years();
    QCOMPARE(liste.size(), 11);
    QCOMPARE(liste.first(), QStringLiteral("2003"));
    QCOMPARE(liste.last(), QStringLiteral("2013"));
    QCOMPARE(liste.at(4), QStringLiteral("2007"));
}

void TstKatalog::goalNumberRoundTrip()
{
    QSet<int> seen;
    for (int ziel = 1; ziel <= ZielCount; ++ziel) {
        const int p = perspektiveOf(ziel);
        const int pos = positionOf(ziel);
        QVERIFY(p >= 0 && p < PerspektiveCount);
        QVERIFY(pos >= 0 && pos < 3);
        QCOMPARE(zielNumber(p, pos), ziel);
        seen.insert(p * 3 + pos);
    }
    QCOMPARE(seen.size(), ZielCount);
    QCOMPARE(perspektiveOf(7), 2);
    QCOMPARE(positionOf(11), 1);
    QCOMPARE(zielNumber(3, 2), 12);
}

void TstKatalog::thirteenDistinctTables()
{
    const QStringList liste = allTables();
    QCOMPARE(liste.size(), 13);
    QCOMPARE(QSet<QString>(liste.begin(), liste.end()).size(), 13);
    // Every goal's table, in both industries, is one of them.
    for (int branche : {0, 1})
        for (int ziel = 1; ziel <= ZielCount; ++ziel)
            QVERIFY2(liste.contains(table(ziel, branche)), qPrintable(table(ziel, branche)));
    QCOMPARE(table(1, 1), QStringLiteral("kz_ges_renta"));
    QCOMPARE(table(3, 1), QStringLiteral("kz_liqui"));
    QCOMPARE(table(12, 0), QStringLiteral("kz_reklamation"));
}

void TstKatalog::indexesOutsideTheirRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
    QTest::newRow("13") << 13;
}

void TstKatalog::indexesOutsideTheirRange()
{
    QFETCH(int, index);

    for (int branche : {0, 1}) {
        QVERIFY(zielText(index, branche).isEmpty());
        QVERIFY(zielTextEnglish(index, branche).isEmpty());
        QVERIFY(table(index, branche).isEmpty());
        QVERIFY(kennzahlName(index, branche).isEmpty());
        QVERIFY(kennzahlNameEnglish(index, branche).isEmpty());
        QVERIFY(unitText(index, branche).isEmpty());
    }
    QCOMPARE(perspektiveOf(index), -1);
    QCOMPARE(positionOf(index), -1);
    QCOMPARE(zielNumber(index, 0), -1);
    QCOMPARE(zielNumber(0, index), -1);
    QVERIFY(perspektiveText(index, false).isEmpty());
    QVERIFY(zeitraumText(index, true).isEmpty());
    QVERIFY(istColumn(index).isEmpty());
    QVERIFY(sollColumn(index).isEmpty());
}

void TstKatalog::firstIndexPastEachRange()
{
    QVERIFY(zielText(0, 1).isEmpty());
    QCOMPARE(perspektiveOf(0), -1);
    QVERIFY(perspektiveText(PerspektiveCount, true).isEmpty());
    QCOMPARE(zielNumber(PerspektiveCount, 0), -1);
    QCOMPARE(zielNumber(0, 3), -1);
    QVERIFY(istColumn(ZeitraumCount).isEmpty());
}

QTEST_APPLESS_MAIN(TstKatalog)
#include "tst_katalog.moc"
