#include "resources/pictures.h"

#include <QImage>
#include <QTest>

class TstPictures : public QObject {
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void lights_data();
    void lights();
    void diagramsDiffer();
    void bubble();
    void outOfRange();
    void cached();
};

namespace {
const QRgb kBackground = qRgb(0xE0, 0xDF, 0xE3);
const QRgb kLit[3] = {qRgb(0xFF, 0, 0), qRgb(0xF7, 0xBC, 0x5B), qRgb(0, 0xFF, 0)};
const QPoint kLamps[3] = {{8, 8}, {24, 8}, {40, 8}};
} // namespace

void TstPictures::sizes_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QSize>("size");
    for (int s = 0; s <= 3; ++s)
        QTest::addRow("light %d", s) << Pictures::trafficLight(s).toImage() << QSize(49, 16);
    for (int k = -1; k <= 3; ++k)
        QTest::addRow("diagram %d", k) << Pictures::perspectiveDiagram(k).toImage() << QSize(300, 220);
    QTest::newRow("info") << Pictures::infoBubble().toImage() << QSize(37, 36);
    const QSize logos[4] = {{305, 73}, {153, 65}, {193, 105}, {193, 105}};
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("logo %d", n) << Pictures::logo(n).toImage() << logos[n];
}

void TstPictures::sizes()
{
    QFETCH(QImage, picture);
    QFETCH(QSize, size);
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.devicePixelRatio(), 1.0);
}

void TstPictures::lights_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("lamp"); // lit lamp, -1 none
    QTest::newRow("grau") << 0 << -1;
    QTest::newRow("rot") << 1 << 0;
    QTest::newRow("gelb") << 2 << 1;
    QTest::newRow("gruen") << 3 << 2;
    QTest::newRow("-1 is grau") << -1 << -1;
    QTest::newRow("4 is grau") << 4 << -1;
}

void TstPictures::lights()
{
    QFETCH(int, state);
    QFETCH(int, lamp);
    const QImage img = Pictures::trafficLight(state).toImage();
    for (int i = 0; i < 3; ++i) {
        const QRgb expected = i == lamp ? kLit[i] : kBackground;
        QCOMPARE(QColor(img.pixel(kLamps[i])), QColor(expected));
        QCOMPARE(QColor(img.pixel(kLamps[i] - QPoint(0, 1))), QColor(expected));
    }
    for (const QPoint &corner : {QPoint(0, 0), QPoint(48, 0), QPoint(0, 15), QPoint(48, 15)})
        QCOMPARE(QColor(img.pixel(corner)), QColor(kBackground));
}

void TstPictures::diagramsDiffer()
{
    QList<QImage> pictures;
    for (int k = -1; k <= 3; ++k)
        pictures << Pictures::perspectiveDiagram(k).toImage();
    for (int a = 0; a < pictures.size(); ++a)
        for (int b = a + 1; b < pictures.size(); ++b)
            QVERIFY2(pictures[a] != pictures[b], qPrintable(QString("%1 vs %2").arg(a - 1).arg(b - 1)));
}

void TstPictures::bubble()
{
    const QImage img = Pictures::infoBubble().toImage();
    QVERIFY(img.hasAlphaChannel());
    for (const QPoint &corner : {QPoint(0, 0), QPoint(36, 0), QPoint(0, 35), QPoint(36, 35)})
        QCOMPARE(qAlpha(img.pixel(corner)), 0);
    // White inside the bubble beside the question mark, blue in the middle.
    QCOMPARE(QColor(img.pixel(6, 14)), QColor(Qt::white));
    int blue = 0;
    for (int y = 10; y <= 18; ++y)
        for (int x = 14; x <= 22; ++x) {
            const QColor c = img.pixelColor(x, y);
            blue += c.alpha() == 255 && c.blue() > 150 && c.red() < 80 && c.green() < 140;
        }
    QVERIFY2(blue >= 6, qPrintable(QString::number(blue)));
}

void TstPictures::outOfRange()
{
    const QImage all = Pictures::perspectiveDiagram(-1).toImage();
    for (int k : {-2, 4, 1000})
        QCOMPARE(Pictures::perspectiveDiagram(k).toImage(), all);
    QCOMPARE(Pictures::trafficLight(99).toImage(), Pictures::trafficLight(0).toImage());
    for (int n : {-1, 4, 1000})
        QVERIFY(Pictures::logo(n).isNull());
}

void TstPictures::cached()
{
    QCOMPARE(Pictures::trafficLight(2).cacheKey(), Pictures::trafficLight(2).cacheKey());
    QCOMPARE(Pictures::perspectiveDiagram(1).cacheKey(), Pictures::perspectiveDiagram(1).cacheKey());
    QCOMPARE(Pictures::logo(3).cacheKey(), Pictures::logo(3).cacheKey());
    QCOMPARE(Pictures::infoBubble().cacheKey(), Pictures::infoBubble().cacheKey());
}

QTEST_MAIN(TstPictures)
#include "tst_pictures.moc"
