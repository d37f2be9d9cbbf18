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
    void causeEffectGrid_data();
    void causeEffectGrid();
    void causeEffectBand_data();
    void causeEffectBand();
    void causeEffectTexts();
    void icon_data();
    void icon();
    void outOfRange();
    void cached();
    void storedAsDrawn_data();
    void storedAsDrawn();
    void storedOfOtherSizeRefused();
};

namespace {
const QRgb kBackground = qRgb(0xE0, 0xDF, 0xE3);
const QRgb kLit[3] = {qRgb(0xFF, 0, 0), qRgb(0xF7, 0xBC, 0x5B), qRgb(0, 0xFF, 0)};
const QPoint kLamps[3] = {{8, 8}, {24, 8}, {40, 8}};
const QRgb kBand = qRgb(0xBD, 0xBD, 0xEF);

QImage diagram(int branche, bool english, int perspective)
{
    return Pictures::causeEffectDiagram(branche, english, perspective).toImage();
}

// The boxes of a cause-effect diagram as they are drawn: closed black
// frames, found from their top-left corners, in reading order.
QList<QRect> findBoxes(const QImage &img)
{
    auto dark = [&](int x, int y) { return img.rect().contains(x, y) && qGray(img.pixel(x, y)) < 64; };
    auto run = [&](int x, int y, int dx, int dy) {
        int n = 0;
        while (dark(x + n * dx, y + n * dy))
            ++n;
        return n;
    };
    QList<QRect> boxes;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!dark(x, y) || dark(x - 1, y) || dark(x, y - 1))
                continue;
            const int w = run(x, y, 1, 0), h = run(x, y, 0, 1);
            if (w >= 100 && h >= 20 && run(x, y + h - 1, 1, 0) >= w && run(x + w - 1, y, 0, 1) >= h)
                boxes << QRect(x, y, w, h);
        }
    return boxes;
}

QImage interior(const QImage &img, const QRect &box)
{
    return img.copy(box.adjusted(1, 1, -1, -1));
}

// Left and right end of the dark pixels inside a box, relative to its frame.
std::pair<int, int> textExtent(const QImage &img, const QRect &box)
{
    int left = box.right(), right = box.left();
    for (int y = box.top() + 1; y < box.bottom(); ++y)
        for (int x = box.left() + 1; x < box.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left - box.left(), box.right() - right};
}
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
    for (int branche : {0, 1, 2, -1})
        for (bool english : {false, true})
            for (int p = 0; p <= 3; ++p)
                QTest::addRow("cause-effect %d %s %d", branche, english ? "en" : "de", p)
                    << diagram(branche, english, p) << (branche == 0 ? QSize(704, 382) : QSize(703, 369));
    const QSize logos[4] = {{305, 73}, {153, 65}, {193, 105}, {193, 105}};
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("logo %d", n) << Pictures::logo(n).toImage() << logos[n];
    for (int s : {16, 32, 48, 64, 128, 256})
        QTest::addRow("icon %d", s) << Pictures::applicationIcon(s) << QSize(s, s);
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

void TstPictures::causeEffectGrid_data()
{
    QTest::addColumn<int>("branche");
    QTest::addColumn<bool>("english");
    for (int branche : {0, 1})
        for (bool english : {false, true})
            QTest::addRow("%d %s", branche, english ? "en" : "de") << branche << english;
}

// Twelve boxes in four rows and three columns; the text stays off the frame,
// left-aligned in German and centred in English.
void TstPictures::causeEffectGrid()
{
    QFETCH(int, branche);
    QFETCH(bool, english);
    const QImage img = diagram(branche, english, -1);
    QVERIFY(!img.hasAlphaChannel());
    QCOMPARE(QColor(img.pixel(img.width() - 1, img.height() / 2)), QColor(Qt::white));
    const QList<QRect> boxes = findBoxes(img);
    QCOMPARE(boxes.size(), 12);
    for (int i = 0; i < 12; ++i) {
        const QRect b = boxes[i];
        const QString where = QString("box %1: %2,%3 %4x%5").arg(i).arg(b.x()).arg(b.y()).arg(b.width()).arg(b.height());
        QVERIFY2(b.width() > 150 && b.height() > 20, qPrintable(where));
        if (i % 3)
            QCOMPARE(b.top(), boxes[i - 1].top());
        if (i >= 3)
            QCOMPARE(b.left(), boxes[i - 3].left());
        QCOMPARE(interior(img, b).pixel(b.width() / 4, 2), qRgb(255, 255, 255));   // white box
        const auto [left, right] = textExtent(img, b);
        QVERIFY2(left >= 4 && right >= 4, qPrintable(where + QString(" text margins %1, %2").arg(left).arg(right)));
        if (english)
            QVERIFY2(std::abs(left - right) <= 2, qPrintable(where + QString(" not centred: %1, %2").arg(left).arg(right)));
        else
            QVERIFY2(left <= 10 && right > left, qPrintable(where + QString(" not left-aligned: %1, %2").arg(left).arg(right)));
    }
}

void TstPictures::causeEffectBand_data()
{
    QTest::addColumn<int>("branche");
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("perspective");
    QTest::addColumn<int>("row");   // grid row of the band, -1 none
    const int rowOf[6] = {-1, 0, 1, 3, 2, -1};
    for (int branche : {0, 1})
        for (bool english : {false, true})
            for (int p = -1; p <= 4; ++p)
                QTest::addRow("%d %s %d", branche, english ? "en" : "de", p) << branche << english << p << rowOf[p + 1];
}

// The band runs across the whole picture under the chosen row only: in the
// margins and between the boxes of that row, and nowhere beyond the gaps
// next to it.
void TstPictures::causeEffectBand()
{
    QFETCH(int, branche);
    QFETCH(bool, english);
    QFETCH(int, perspective);
    QFETCH(int, row);
    const QImage img = diagram(branche, english, perspective);
    const QList<QRect> boxes = findBoxes(img);
    QCOMPARE(boxes.size(), 12);
    for (int r = 0; r < 4; ++r) {
        const QRect a = boxes[3 * r], b = boxes[3 * r + 1], c = boxes[3 * r + 2];
        const int xs[4] = {2, (a.right() + b.left()) / 2, (b.right() + c.left()) / 2, img.width() - 3};
        for (int y : {a.top() + 4, a.bottom() - 4})
            for (int x : xs)
                QVERIFY2((img.pixel(x, y) == kBand) == (r == row),
                         qPrintable(QString("row %1 at %2,%3: %4").arg(r).arg(x).arg(y).arg(img.pixel(x, y), 0, 16)));
    }
    const int from = row <= 0 ? 0 : boxes[3 * (row - 1)].bottom();
    const int to = row < 0 ? -1 : row == 3 ? img.height() : boxes[3 * (row + 1)].top();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kBand && (y < from || y > to))
                QFAIL(qPrintable(QString("band colour at %1,%2").arg(x).arg(y)));
}

// English and German differ in every box; the industries differ in the
// middle box of the process row only.
void TstPictures::causeEffectTexts()
{
    const int middleProcess = 7;
    for (bool english : {false, true}) {
        const QImage a = diagram(0, english, -1), b = diagram(1, english, -1);
        const QList<QRect> boxesA = findBoxes(a), boxesB = findBoxes(b);
        QCOMPARE(boxesA.size(), 12);
        QCOMPARE(boxesB.size(), 12);
        for (int i = 0; i < 12; ++i)
            QVERIFY2((interior(a, boxesA[i]) == interior(b, boxesB[i])) == (i != middleProcess),
                     qPrintable(QString("box %1, english %2").arg(i).arg(english)));
    }
    for (int branche : {0, 1}) {
        const QImage de = diagram(branche, false, -1), en = diagram(branche, true, -1);
        const QList<QRect> boxes = findBoxes(de);
        QCOMPARE(findBoxes(en), boxes);
        for (int i = 0; i < 12; ++i)
            QVERIFY2(interior(de, boxes[i]) != interior(en, boxes[i]), qPrintable(QString("box %1").arg(i)));
    }
}

void TstPictures::icon_data()
{
    QTest::addColumn<int>("size");
    for (int s : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%d", s) << s;
}

// Four opaque squares of different colours on a transparent ground.
void TstPictures::icon()
{
    QFETCH(int, size);
    const QImage img = Pictures::applicationIcon(size);
    QVERIFY(img.hasAlphaChannel());
    for (const QPoint &corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
        QCOMPARE(qAlpha(img.pixel(corner)), 0);
    QCOMPARE(qAlpha(img.pixel(size / 2, size / 2)), 0);   // the gap between the squares
    QSet<QRgb> colours;
    for (int qy : {1, 3})
        for (int qx : {1, 3}) {
            const QRgb c = img.pixel(size * qx / 4, size * qy / 4);
            QCOMPARE(qAlpha(c), 255);
            colours << c;
        }
    QCOMPARE(colours.size(), 4);
}

void TstPictures::outOfRange()
{
    const QImage all = Pictures::perspectiveDiagram(-1).toImage();
    for (int k : {-2, 4, 1000})
        QCOMPARE(Pictures::perspectiveDiagram(k).toImage(), all);
    QCOMPARE(Pictures::trafficLight(99).toImage(), Pictures::trafficLight(0).toImage());
    for (int n : {-1, 4, 1000})
        QVERIFY(Pictures::logo(n).isNull());
    // Any industry but 0 is the other one; a perspective outside 0..3 has no band.
    QCOMPARE(diagram(-1, true, 2), diagram(1, true, 2));
    QCOMPARE(diagram(7, false, 0), diagram(1, false, 0));
    QCOMPARE(diagram(0, true, 4), diagram(0, true, -1));
    for (int s : {0, -16, 1025})
        QVERIFY(Pictures::applicationIcon(s).isNull());
}

void TstPictures::cached()
{
    QCOMPARE(Pictures::trafficLight(2).cacheKey(), Pictures::trafficLight(2).cacheKey());
    QCOMPARE(Pictures::perspectiveDiagram(1).cacheKey(), Pictures::perspectiveDiagram(1).cacheKey());
    QCOMPARE(Pictures::logo(3).cacheKey(), Pictures::logo(3).cacheKey());
    QCOMPARE(Pictures::infoBubble().cacheKey(), Pictures::infoBubble().cacheKey());
    QCOMPARE(Pictures::causeEffectDiagram(1, true, 3).cacheKey(), Pictures::causeEffectDiagram(1, true, 3).cacheKey());
    QVERIFY(Pictures::causeEffectDiagram(1, true, 3).cacheKey() != Pictures::causeEffectDiagram(1, true, 2).cacheKey());
}

// The start screen loads these pictures, made at build time; they are the
// drawings to the pixel.
void TstPictures::storedAsDrawn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QImage>("drawn");
    QTest::addColumn<QImage>("shown");
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("logo %d", n) << Pictures::storedLogoName(n) << Pictures::drawnLogo(n) << Pictures::logo(n).toImage();
    for (int s : Pictures::StoredIconSizes)
        QTest::addRow("icon %d", s) << Pictures::storedIconName(s) << Pictures::drawnApplicationIcon(s)
                                    << Pictures::applicationIcon(s);
}

void TstPictures::storedAsDrawn()
{
    QFETCH(QString, name);
    QFETCH(QImage, drawn);
    QFETCH(QImage, shown);
    const QImage stored = Pictures::stored(name, drawn.size());
    QVERIFY2(!stored.isNull(), qPrintable(name));
    QCOMPARE(stored.format(), drawn.format());
    QCOMPARE(stored, drawn);
    QCOMPARE(shown.convertToFormat(drawn.format()), drawn);
}

void TstPictures::storedOfOtherSizeRefused()
{
    QVERIFY(!Pictures::stored(Pictures::storedLogoName(0), QSize(305, 73)).isNull());
    QVERIFY(Pictures::stored(Pictures::storedLogoName(0), QSize(73, 305)).isNull());
    QVERIFY(Pictures::stored(Pictures::storedLogoName(0), QSize(305, 72)).isNull());
    QVERIFY(Pictures::stored(QStringLiteral("none.argb"), QSize(305, 73)).isNull());
    QVERIFY(Pictures::drawnLogo(4).isNull());
    QVERIFY(Pictures::drawnApplicationIcon(0).isNull());
}

QTEST_MAIN(TstPictures)
#include "tst_pictures.moc"
