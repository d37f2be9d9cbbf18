#include "resources/bilder.h"

#include <QImage>
#include <QTest>

class TstBilder : public QObject {
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void lights_data();
    void lights();
    void diagramsDiffer();
    void outOfRange();
    void cached();
};

namespace {
const QRgb kGrund = qRgb(0xE0, 0xDF, 0xE3);
const QRgb kLit[3] = {qRgb(0xFF, 0, 0), qRgb(0xF7, 0xBC, 0x5B), qRgb(0, 0xFF, 0)};
const QPoint kLampen[3] = {{8, 8}, {24, 8}, {40, 8}};
}

void TstBilder::sizes_data()
{
    QTest::addColumn<QPixmap>("bild");
    QTest::addColumn<QSize>("groesse");
    for (int z = 0; z <= 3; ++z)
        QTest::addRow("ampel %d", z) << Bilder::ampel(z) << QSize(49, 16);
    for (int k = -1; k <= 3; ++k)
        QTest::addRow("diagramm %d", k) << Bilder::perspektivenDiagramm(k) << QSize(300, 220);
    const QSize logos[4] = {{305, 73}, {153, 65}, {193, 105}, {193, 105}};
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("logo %d", n) << Bilder::logo(n) << logos[n];
}

void TstBilder::sizes()
{
    QFETCH(QPixmap, bild);
    QFETCH(QSize, groesse);
    QCOMPARE(bild.size(), groesse);
    QCOMPARE(bild.devicePixelRatio(), 1.0);
}

void TstBilder::lights_data()
{
    QTest::addColumn<int>("zustand");
    QTest::addColumn<int>("lampe"); // lit lamp, -1 none
    QTest::newRow("grau") << 0 << -1;
    QTest::newRow("rot") << 1 << 0;
    QTest::newRow("gelb") << 2 << 1;
    QTest::newRow("gruen") << 3 << 2;
    QTest::newRow("-1 is grau") << -1 << -1;
    QTest::newRow("4 is grau") << 4 << -1;
}

void TstBilder::lights()
{
    QFETCH(int, zustand);
    QFETCH(int, lampe);
    const QImage img = Bilder::ampel(zustand).toImage();
    for (int i = 0; i < 3; ++i) {
        const QRgb erwartet = i == lampe ? kLit[i] : kGrund;
        QCOMPARE(QColor(img.pixel(kLampen[i])), QColor(erwartet));
        QCOMPARE(QColor(img.pixel(kLampen[i] - QPoint(0, 1))), QColor(erwartet));
    }
    for (const QPoint &ecke : {QPoint(0, 0), QPoint(48, 0), QPoint(0, 15), QPoint(48, 15)})
        QCOMPARE(QColor(img.pixel(ecke)), QColor(kGrund));
}

void TstBilder::diagramsDiffer()
{
    QList<QImage> bilder;
    for (int k = -1; k <= 3; ++k)
        bilder << Bilder::perspektivenDiagramm(k).toImage();
    for (int a = 0; a < bilder.size(); ++a)
        for (int b = a + 1; b < bilder.size(); ++b)
            QVERIFY2(bilder[a] != bilder[b], qPrintable(QString("%1 vs %2").arg(a - 1).arg(b - 1)));
}

void TstBilder::outOfRange()
{
    const QImage alle = Bilder::perspektivenDiagramm(-1).toImage();
    for (int k : {-2, 4, 1000})
        QCOMPARE(Bilder::perspektivenDiagramm(k).toImage(), alle);
    QCOMPARE(Bilder::ampel(99).toImage(), Bilder::ampel(0).toImage());
    for (int n : {-1, 4, 1000})
        QVERIFY(Bilder::logo(n).isNull());
}

void TstBilder::cached()
{
    QCOMPARE(Bilder::ampel(2).cacheKey(), Bilder::ampel(2).cacheKey());
    QCOMPARE(Bilder::perspektivenDiagramm(1).cacheKey(), Bilder::perspektivenDiagramm(1).cacheKey());
    QCOMPARE(Bilder::logo(3).cacheKey(), Bilder::logo(3).cacheKey());
}

QTEST_MAIN(TstBilder)
#include "tst_bilder.moc"
