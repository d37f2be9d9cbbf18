// The statement texts the pages send, letter for letter.
#include "model/statements.h"

#include <QTest>

class TestAnweisungen : public QObject {
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const QString ziel = QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen");
        QTest::newRow("S1") << Statements::yearPair("kz_reklamation", "2005")
                            << "select ist_wert_jahr,soll_wert_jahr from kz_reklamation.db where jahr=\"2005\"";
        QTest::newRow("S2") << Statements::objectivesPair("kz_kap_quote", "ist_wert_q3", "soll_wert_q3", "2006")
                            << "select ist_wert_q3,soll_wert_q3 from kz_kap_quote.db where jahr=\"2006\"";
        QTest::newRow("S2 kz_liqui without extension") << Statements::objectivesPair("kz_liqui", "ist_wert_jahr", "soll_wert_jahr", "2006")
                                                       << "select ist_wert_jahr,soll_wert_jahr from kz_liqui where jahr=\"2006\"";
        QTest::newRow("S3 kz_liqui with extension") << Statements::measuresPagePair("kz_liqui", "ist_wert_q1", "soll_wert_q1", "2007")
                                                    << "select ist_wert_q1,soll_wert_q1 from kz_liqui.db where jahr=\"2007\"";
        QTest::newRow("S4") << Statements::measures(ziel, "2007")
                            << "select * from maßnahmen where ziel=\"" + ziel + "\" and jahr=\"2007\"";
        QTest::newRow("S5") << Statements::measuresList(ziel, "2007")
                            << "select * from maßnahmen where ziel=\"" + ziel + "\" and jahr = \"2007\"";
        QTest::newRow("S6") << Statements::yearRow("kz_neuprod", "2026")
                            << "select * from kz_neuprod.db where jahr=\"2026\"";
        QTest::newRow("S7") << Statements::reportRow("kz_ges_renta", "2005")
                            << "select * from kz_ges_renta where jahr=\"2005\"";
        QTest::newRow("typed year spliced as typed") << Statements::yearPair("kz_liqui", "20\"05")
                                                     << "select ist_wert_jahr,soll_wert_jahr from kz_liqui.db where jahr=\"20\"05\"";
    }
    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_APPLESS_MAIN(TestAnweisungen)
#include "tst_statements.moc"
