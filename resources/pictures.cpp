#include "resources/pictures.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QResource>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <vector>

namespace {

// ---------------------------------------------------------------- helpers

// Pixmaps must not outlive the application object, so the cache lives on
// the heap and is emptied by a post routine when the application ends.
struct Cache {
    QHash<int, QPixmap> lights, diagrams, bubble, causeEffect, logos;
    QHash<int, QImage> icons;
};
Cache *&cacheRef()
{
    static Cache *c = nullptr;
    return c;
}
void clearCache()
{
    delete cacheRef();
    cacheRef() = nullptr;
}
Cache &cache()
{
    if (!cacheRef()) {
        cacheRef() = new Cache;
        qAddPostRoutine(clearCache);
    }
    return *cacheRef();
}

template <class T, class Draw>
T cached(QHash<int, T> &store, int key, Draw draw)
{
    auto it = store.constFind(key);
    if (it != store.constEnd())
        return *it;
    T picture;
    if constexpr (std::is_same_v<T, QPixmap>)
        picture = QPixmap::fromImage(draw());
    else
        picture = draw();
    store.insert(key, picture);
    return picture;
}

// Transparent canvas; 1 device pixel per pixel whatever the screen scale.
QImage canvas(int w, int h, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage img(w, h, format);
    img.fill(Qt::transparent);
    return img;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QFont makeFont(qreal px, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qRound(px));
    f.setBold(bold);
    return f;
}

// Line from a to b with a filled head at b (and at a when bothEnds).
void arrow(QPainter &p, QPointF a, QPointF b, const QColor &colour, bool bothEnds)
{
    const qreal length = 6, half = 3;
    const QPointF d = b - a;
    const qreal len = std::hypot(d.x(), d.y());
    if (len < 1)
        return;
    const QPointF u = d / len, n(-u.y(), u.x());
    auto head = [&](QPointF tip, QPointF dir) {
        QPolygonF tri{tip, tip - dir * length + n * half, tip - dir * length - n * half};
        p.drawPolygon(tri);
    };
    p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(bothEnds ? a + u * (length - 1) : a, b - u * (length - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    head(b, u);
    if (bothEnds)
        head(a, -u);
}

// The four perspective colours, in perspective order.
constexpr QRgb kColour[4] = {0x2E6DB4, 0x1F8A70, 0x8A56A8, 0xCC7A00};
constexpr QRgb kInk = 0x34495E;   // dark slate for the centre and headings

// ---------------------------------------------------------------- lights

constexpr int kLightWidth = 49, kLightHeight = 16;
constexpr QRgb kLightBackground = 0xFFE0DFE3;
constexpr QRgb kRing = 0xFF3C3C3C;
struct Lamp {
    qreal x;   // centre; lamps sit on y = 8
    QRgb lit;
};
constexpr Lamp kLamps[3] = {{8.5, 0xFFFF0000}, {24.5, 0xFFF7BC5B}, {40.5, 0xFF00FF00}};

// state 1..3 lights lamp state-1; 0 lights none.
QImage drawTrafficLight(int state)
{
    QImage img(kLightWidth, kLightHeight, QImage::Format_RGB32);
    img.fill(kLightBackground);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        const QPointF c(kLamps[i].x, 8.0);
        p.setPen(Qt::NoPen);
        if (state == i + 1) {
            p.setBrush(QColor(kLamps[i].lit));
            p.drawEllipse(c, 6.0, 6.0);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(kRing), 1.5));
        p.drawEllipse(c, 5.75, 5.75);
    }
    return img;
}

// ---------------------------------------------------------------- diagram

constexpr int kDiagramWidth = 300, kDiagramHeight = 220;

// Boxes in perspective order: financial top, customer left, employee
// bottom, process right. Everything stays inside 282 x 216 because some
// views show the picture in a smaller frame without scaling.
struct Box {
    QRectF r;
    const char *title;
};
const Box kBoxes[4] = {
    {{70.5, 1.5, 141, 55}, "Finanzperspektive"},
    {{1.5, 81.5, 89, 55}, "Kundenperspektive"},
    {{70.5, 160.5, 141, 55}, "Mitarbeiterperspektive"},
    {{191.5, 81.5, 89, 55}, "Prozessperspektive"},
};
const QRectF kOval(113, 87, 56, 44);
const QPointF kCentre = kOval.center();

struct Column {
    const char *full, *brief;
};
constexpr Column kColumns[4] = {
    {"Ziele", "Ziele"}, {"Kennzahlen", "Kennz."}, {"Vorgaben", "Vorg."}, {"Maßnahmen", "Maßn."}};

void drawBox(QPainter &p, const Box &box, QColor colour, bool faded)
{
    const QColor white(Qt::white);
    const QColor edge = faded ? mix(colour, white, 0.65) : colour;
    const QColor head = faded ? mix(colour, white, 0.8) : colour;
    const QColor titleColour = faded ? mix(colour, white, 0.3) : white;
    const QColor labelRow = mix(colour, white, faded ? 0.93 : 0.85);
    const QColor text = faded ? mix(colour, white, 0.5) : mix(colour, Qt::black, 0.35);
    const QColor rule = mix(colour, white, faded ? 0.85 : 0.6);

    const QRectF r = box.r;
    const qreal headH = 15, rowH = 11;
    QPainterPath shape;
    shape.addRoundedRect(r, 3, 3);

    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), headH), head);
    p.fillRect(QRectF(r.left(), r.top() + headH, r.width(), rowH), labelRow);
    p.restore();

    // Title, the same size in every box.
    p.setFont(makeFont(9, true));
    p.setPen(titleColour);
    p.drawText(QRectF(r.left(), r.top(), r.width(), headH), Qt::AlignCenter,
               QString::fromUtf8(box.title));

    // Column labels: full words where they fit, else short forms; column
    // widths follow the label widths so the spare room is shared evenly.
    const QFont small = makeFont(7);
    const QFontMetricsF fm(small);
    const qreal inner = r.width() - 2;
    QStringList labels;
    qreal sum = 0;
    for (const Column &s : kColumns) {
        labels << QString::fromUtf8(s.full);
        sum += fm.horizontalAdvance(labels.last());
    }
    if (sum + 4 * 4 > inner) {
        labels.clear();
        sum = 0;
        for (const Column &s : kColumns) {
            labels << QString::fromUtf8(s.brief);
            sum += fm.horizontalAdvance(labels.last());
        }
    }
    const qreal extra = (inner - sum) / 4;
    const qreal yLabel = r.top() + headH, yBody = yLabel + rowH;
    qreal x = r.left() + 1;
    p.setFont(small);
    for (int i = 0; i < 4; ++i) {
        const qreal w = fm.horizontalAdvance(labels[i]) + extra;
        p.setPen(text);
        p.drawText(QRectF(x, yLabel, w, rowH), Qt::AlignCenter, labels[i]);
        if (i > 0) {
            p.setPen(QPen(rule, 1));
            p.drawLine(QPointF(std::round(x) + 0.5, yLabel + 1), QPointF(std::round(x) + 0.5, r.bottom() - 1));
        }
        x += w;
    }
    // Two empty table rows.
    const qreal yRow = std::round((yBody + r.bottom()) / 2) + 0.5;
    p.setPen(QPen(rule, 1));
    p.drawLine(QPointF(r.left() + 1, yRow), QPointF(r.right() - 1, yRow));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 1));
    p.drawPath(shape);
}

// Where the arrow between the oval and box i starts and ends.
QLineF connection(int i)
{
    const QRectF r = kBoxes[i].r;
    const qreal rx = kOval.width() / 2 + 2, ry = kOval.height() / 2 + 2;
    switch (i) {
    case 0: return {QPointF(kCentre.x(), kCentre.y() - ry), QPointF(kCentre.x(), r.bottom() + 2)};
    case 1: return {QPointF(kCentre.x() - rx, kCentre.y()), QPointF(r.right() + 2, kCentre.y())};
    case 2: return {QPointF(kCentre.x(), kCentre.y() + ry), QPointF(kCentre.x(), r.top() - 2)};
    default: return {QPointF(kCentre.x() + rx, kCentre.y()), QPointF(r.left() - 2, kCentre.y())};
    }
}

// highlight 0..3 keeps that box in colour and fades the others; -1 keeps all.
QImage drawDiagram(int highlight)
{
    QImage img = canvas(kDiagramWidth, kDiagramHeight);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    for (int i = 0; i < 4; ++i) {
        const bool faded = highlight >= 0 && highlight != i;
        const QColor colour = faded ? QColor(0xB4B4B4) : QColor(highlight < 0 ? kInk : kColour[i]);
        const QLineF l = connection(i);
        arrow(p, l.p1(), l.p2(), colour, true);
    }
    for (int i = 0; i < 4; ++i)
        drawBox(p, kBoxes[i], QColor(kColour[i]), highlight >= 0 && highlight != i);

    // Vision and strategy in the centre.
    p.setPen(QPen(QColor(kInk).darker(120), 1));
    p.setBrush(QColor(kInk));
    p.drawEllipse(kOval);
    p.setPen(Qt::white);
    p.setFont(makeFont(9, true));
    p.drawText(kOval, Qt::AlignCenter, QStringLiteral("Vision und\nStrategie"));
    return img;
}

// ---------------------------------------------------------------- information picture

constexpr int kBubbleWidth = 37, kBubbleHeight = 36;
constexpr QRgb kQuestionBlue = 0x1A56C8;

QImage drawInfoBubble()
{
    QImage img = canvas(kBubbleWidth, kBubbleHeight);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF body(1.5, 1.5, 34, 26);
    QPainterPath bubble;
    bubble.addRoundedRect(body, 9, 9);
    QPainterPath tail;
    tail.moveTo(8, 26);
    tail.lineTo(5.5, 34.5);
    tail.lineTo(17, 27);
    tail.closeSubpath();
    bubble = bubble.united(tail).simplified();
    // A grey rim keeps the white bubble apart from a white page.
    p.setPen(QPen(QColor(0x5A6470), 1));
    p.setBrush(Qt::white);
    p.drawPath(bubble);

    p.setFont(makeFont(23, true));
    p.setPen(QColor(kQuestionBlue));
    p.drawText(body, Qt::AlignCenter, QStringLiteral("?"));
    return img;
}

// ---------------------------------------------------------------- cause-effect diagram

// Boxes in grid order: rows financial, customer, process, employee from top
// to bottom, three key figures each from left to right.
enum BoxId {
    TotalProfitability, EquityRatio, CashRatio,
    CustomerLoyalty, MarketShare, Complaints,
    Accounting, MiddleProcess, Distribution,
    Suggestions, ProfitPersonnel, Matching,
    BoxCount
};

struct BoxText {
    const char *german, *english;
    const char *otherGerman = nullptr, *otherEnglish = nullptr;   // industries other than 0, where different
};
const BoxText kBoxTexts[BoxCount] = {
    {"Gesamtkapitalrentabilität", "Total profitability"},
    {"Eigenkapitalquote", "Equity ratio"},
    {"Liquidität", "Cash ratio"},
    {"Kundenzufriedenheit", "Customer loyalty"},
    {"Marktanteil", "Market share"},
    {"Anzahl Beschwerden", "Number of complaints"},
    {"Dauer bis zur Rechnungslegung", "Duration up to accounting"},
    {"Anteil von Neuprodukten", "Portion of new products", "Dauer der Auftragsbearbeitung", "Time of the job execution"},
    {"Auslieferungszeit", "Distribution time"},
    {"Verbesserungsvorschläge/MA", "Improvement suggestions"},
    {"Gewinn/Personalkosten", "Profit / personnel costs"},
    {"Matching MA-/Stellenprofil", "Matching coworker profile"},
};

// Grid row of each perspective: process is drawn above employee.
constexpr int kBandRow[4] = {0, 1, 3, 2};

enum class Side { Left, Right, Top, Bottom };
// A point on a box frame; at runs from 0 to 1 along the side, left to right
// or top to bottom.
struct Anchor {
    BoxId box;
    Side side;
    qreal at;
};

// Free room that connections around the grid follow: two lanes left of the
// grid, one above, two below, and two inside the gap under the first row.
enum class Lane { LeftOuter, LeftInner, Top, BottomInner, BottomOuter, Gap1Upper, Gap1Lower };

enum class Route {
    Straight,
    RightAngled,   // through the lanes, sharp corners
    Curved,        // through the lanes with round corners; without lanes an S along the sides' normals
};
enum class Heads { End, Both, None };
enum class Industry { All, Agriculture, Other };

// From cause to effect. A route through lanes leaves its first box at right
// angles to the side, turns at each lane, and meets the last box square on.
struct Link {
    Anchor from, to;
    Route route;
    Heads heads = Heads::End;
    Industry industry = Industry::All;
    std::vector<Lane> via = {};
};

const std::vector<Link> kLinks = {
    {{EquityRatio, Side::Left, .5}, {TotalProfitability, Side::Right, .5}, Route::Straight},
    {{EquityRatio, Side::Right, .5}, {CashRatio, Side::Left, .5}, Route::Straight},
    {{ProfitPersonnel, Side::Bottom, .5}, {TotalProfitability, Side::Left, .5}, Route::Curved, Heads::End,
     Industry::All, {Lane::BottomOuter, Lane::LeftOuter}},
    {{Accounting, Side::Left, .5}, {CashRatio, Side::Top, .5}, Route::RightAngled, Heads::Both, Industry::All,
     {Lane::LeftInner, Lane::Top}},
    {{CustomerLoyalty, Side::Right, .5}, {MarketShare, Side::Left, .5}, Route::Straight},
    {{CustomerLoyalty, Side::Top, .55}, {CashRatio, Side::Bottom, .25}, Route::Curved, Heads::End, Industry::All,
     {Lane::Gap1Upper}},
    {{CustomerLoyalty, Side::Top, .8}, {Complaints, Side::Top, .25}, Route::Curved, Heads::End, Industry::All,
     {Lane::Gap1Lower}},
    {{Complaints, Side::Top, .6}, {CashRatio, Side::Bottom, .6}, Route::Straight, Heads::None},
    {{Complaints, Side::Left, .5}, {MarketShare, Side::Right, .5}, Route::Straight},
    {{Accounting, Side::Top, .3}, {CustomerLoyalty, Side::Bottom, .3}, Route::Straight},
    {{Distribution, Side::Top, .15}, {CustomerLoyalty, Side::Bottom, .9}, Route::Straight},
    {{Distribution, Side::Top, .5}, {Complaints, Side::Bottom, .5}, Route::Straight},
    {{Distribution, Side::Bottom, .2}, {ProfitPersonnel, Side::Top, .8}, Route::Straight},
    {{Suggestions, Side::Right, .5}, {ProfitPersonnel, Side::Left, .5}, Route::Straight},
    {{Suggestions, Side::Top, .2}, {Accounting, Side::Bottom, .5}, Route::Curved},
    {{Matching, Side::Left, .5}, {ProfitPersonnel, Side::Right, .5}, Route::Straight},
    {{Matching, Side::Top, .6}, {Distribution, Side::Bottom, .6}, Route::Straight},
    {{Matching, Side::Bottom, .5}, {Suggestions, Side::Bottom, .5}, Route::RightAngled, Heads::End, Industry::All,
     {Lane::BottomInner}},

    {{MiddleProcess, Side::Top, .5}, {MarketShare, Side::Bottom, .5}, Route::Straight, Heads::End, Industry::Agriculture},
    {{MiddleProcess, Side::Top, .15}, {CustomerLoyalty, Side::Bottom, .7}, Route::Straight, Heads::End,
     Industry::Agriculture},
    {{Suggestions, Side::Top, .8}, {MiddleProcess, Side::Bottom, .25}, Route::Straight, Heads::End,
     Industry::Agriculture},

    {{MiddleProcess, Side::Top, .5}, {MarketShare, Side::Bottom, .5}, Route::Straight, Heads::End, Industry::Other},
    {{MiddleProcess, Side::Top, .85}, {Complaints, Side::Bottom, .15}, Route::Straight, Heads::End, Industry::Other},
    {{MiddleProcess, Side::Top, .15}, {CustomerLoyalty, Side::Bottom, .7}, Route::Straight, Heads::End,
     Industry::Other},
    {{MiddleProcess, Side::Bottom, .5}, {ProfitPersonnel, Side::Top, .5}, Route::Straight, Heads::End,
     Industry::Other},
    {{Accounting, Side::Right, .5}, {MiddleProcess, Side::Left, .5}, Route::Straight, Heads::End, Industry::Other},
    {{Suggestions, Side::Top, .8}, {MiddleProcess, Side::Bottom, .2}, Route::Straight, Heads::End, Industry::Other},
    {{Matching, Side::Top, .2}, {MiddleProcess, Side::Bottom, .8}, Route::Curved, Heads::End, Industry::Other},
};

constexpr QSize kAgricultureSize(704, 382), kOtherSize(703, 369);
constexpr QRgb kBandColour = 0xBDBDEF;
constexpr qreal kBoxWidth = 186, kBoxHeight = 34, kTextPadding = 6;
constexpr qreal kGridLeft = 32, kGridRightMargin = 8, kGridTop = 18, kGridBottomMargin = 28;
constexpr qreal kHeadLength = 7, kHeadHalfWidth = 3, kCornerRadius = 14;

// Box and lane positions for one picture size; the gaps share what the
// boxes leave.
struct Grid {
    qreal colX[3], rowY[4], rowGap;

    Grid(int width, int height)
    {
        const qreal colGap = (width - kGridLeft - kGridRightMargin - 3 * kBoxWidth) / 2;
        rowGap = (height - kGridTop - kGridBottomMargin - 4 * kBoxHeight) / 3;
        for (int c = 0; c < 3; ++c)
            colX[c] = std::round(kGridLeft + c * (kBoxWidth + colGap));
        for (int r = 0; r < 4; ++r)
            rowY[r] = std::round(kGridTop + r * (kBoxHeight + rowGap));
    }
    // Edges run through the centres of the frame pixels, so lines that end
    // on them stay one pixel wide.
    QRectF box(int id) const { return {colX[id % 3] + 0.5, rowY[id / 3] + 0.5, kBoxWidth, kBoxHeight}; }
    qreal lane(Lane l) const
    {
        const qreal below = rowY[3] + kBoxHeight, gap1 = rowY[0] + kBoxHeight;
        switch (l) {
        case Lane::LeftOuter: return 9.5;
        case Lane::LeftInner: return 20.5;
        case Lane::Top: return 8.5;
        case Lane::BottomInner: return below + 9.5;
        case Lane::BottomOuter: return below + 19.5;
        case Lane::Gap1Upper: return std::floor(gap1 + rowGap * 0.3) + 0.5;
        case Lane::Gap1Lower: return std::floor(gap1 + rowGap * 0.65) + 0.5;
        }
        return 0;
    }
    QPointF point(Anchor a) const
    {
        const QRectF r = box(a.box);
        const qreal x = std::floor(r.left() + a.at * r.width()) + 0.5;
        const qreal y = std::floor(r.top() + a.at * r.height()) + 0.5;
        switch (a.side) {
        case Side::Left: return {r.left(), y};
        case Side::Right: return {r.right(), y};
        case Side::Top: return {x, r.top()};
        case Side::Bottom: return {x, r.bottom()};
        }
        return {};
    }
};

QPointF outward(Side s)
{
    switch (s) {
    case Side::Left: return {-1, 0};
    case Side::Right: return {1, 0};
    case Side::Top: return {0, -1};
    case Side::Bottom: return {0, 1};
    }
    return {};
}

QPointF unit(QPointF d)
{
    const qreal len = std::hypot(d.x(), d.y());
    return len > 0 ? d / len : QPointF();
}

// The corner points of a route through lanes, first and last anchor included.
QList<QPointF> corners(const Grid &g, const Link &link)
{
    const QPointF b = g.point(link.to);
    QList<QPointF> pts{g.point(link.from)};
    bool horizontal = link.from.side == Side::Left || link.from.side == Side::Right;
    for (Lane l : link.via) {
        const QPointF last = pts.last();
        pts << (horizontal ? QPointF(g.lane(l), last.y()) : QPointF(last.x(), g.lane(l)));
        horizontal = !horizontal;
    }
    const QPointF last = pts.last();
    pts << (horizontal ? QPointF(b.x(), last.y()) : QPointF(last.x(), b.y())) << b;
    return pts;
}

void drawHead(QPainter &p, QPointF tip, QPointF dir)
{
    const QPointF n(-dir.y(), dir.x());
    const QPointF base = tip - dir * kHeadLength;
    p.drawPolygon(QPolygonF{tip, base + n * kHeadHalfWidth, base - n * kHeadHalfWidth});
}

void drawLink(QPainter &p, const Grid &g, const Link &link)
{
    const bool endHead = link.heads != Heads::None, startHead = link.heads == Heads::Both;
    // The line stops inside the head so that the tip stays sharp.
    const qreal stop = kHeadLength - 1;
    QPainterPath path;
    QPointF startDir, endDir;   // direction of travel at either end

    if (link.route == Route::Curved && link.via.empty()) {
        const QPointF a = g.point(link.from), b = g.point(link.to);
        const QPointF na = outward(link.from.side), nb = outward(link.to.side);
        const qreal reach = std::min(QLineF(a, b).length() * 0.45, g.rowGap * 0.9);
        startDir = na;
        endDir = -nb;
        path.moveTo(startHead ? a + na * stop : a);
        path.cubicTo(a + na * reach, b + nb * reach, endHead ? b + nb * stop : b);
    } else {
        QList<QPointF> pts = link.route == Route::Straight ? QList<QPointF>{g.point(link.from), g.point(link.to)}
                                                           : corners(g, link);
        pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
        startDir = unit(pts[1] - pts[0]);
        endDir = unit(pts.last() - pts[pts.size() - 2]);
        if (startHead)
            pts.first() += startDir * stop;
        if (endHead)
            pts.last() -= endDir * stop;
        const qreal radius = link.route == Route::Curved ? kCornerRadius : 0;
        path.moveTo(pts.first());
        for (int i = 1; i + 1 < pts.size(); ++i) {
            const QPointF in = pts[i] - pts[i - 1], out = pts[i + 1] - pts[i];
            const qreal r = std::min({radius, QLineF(pts[i - 1], pts[i]).length() / 2,
                                      QLineF(pts[i], pts[i + 1]).length() / 2});
            path.lineTo(pts[i] - unit(in) * r);
            if (r > 0)
                path.quadTo(pts[i], pts[i] + unit(out) * r);
        }
        path.lineTo(pts.last());
    }

    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    if (endHead)
        drawHead(p, g.point(link.to), endDir);
    if (startHead)
        drawHead(p, g.point(link.from), -startDir);
}

QString boxText(int id, bool agriculture, bool english)
{
    const BoxText &t = kBoxTexts[id];
    const char *text = english ? t.english : t.german;
    if (!agriculture && t.otherGerman)
        text = english ? t.otherEnglish : t.otherGerman;
    return QString::fromUtf8(text);
}

QImage drawCauseEffect(bool agriculture, bool english, int bandRow)
{
    const QSize size = agriculture ? kAgricultureSize : kOtherSize;
    const int width = size.width(), height = size.height();
    const Grid g(width, height);
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);

    // The band lies under the row, so lines and boxes stay crisp on top of
    // it; the outer rows' bands take in the lanes beyond them.
    if (bandRow >= 0) {
        const qreal pad = std::round(g.rowGap * 0.3);
        const qreal top = bandRow == 0 ? 0 : g.rowY[bandRow] - pad;
        const qreal bottom = bandRow == 3 ? height : g.rowY[bandRow] + kBoxHeight + 1 + pad;
        p.fillRect(QRectF(0, top, width, bottom - top), QColor(kBandColour));
    }

    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Industry industry = agriculture ? Industry::Agriculture : Industry::Other;
    for (const Link &link : kLinks)
        if (link.industry == Industry::All || link.industry == industry)
            drawLink(p, g, link);

    // One size for every box: the largest at which the longest text fits.
    QStringList texts;
    for (int id = 0; id < BoxCount; ++id)
        texts << boxText(id, agriculture, english);
    QFont font = makeFont(13);
    auto widest = [&] {
        const QFontMetricsF fm(font);
        qreal w = 0;
        for (const QString &t : texts)
            w = std::max(w, fm.horizontalAdvance(t));
        return w;
    };
    while (font.pixelSize() > 8 && widest() > kBoxWidth - 2 * kTextPadding)
        font.setPixelSize(font.pixelSize() - 1);
    p.setFont(font);
    const Qt::Alignment align = Qt::AlignVCenter | (english ? Qt::AlignHCenter : Qt::AlignLeft);
    for (int id = 0; id < BoxCount; ++id) {
        // Filled, not stroked: a stroked frame loses its corner pixels.
        const QRectF r = g.box(id);
        const QRect frame = r.adjusted(-0.5, -0.5, 0.5, 0.5).toRect();
        p.fillRect(frame, Qt::black);
        p.fillRect(frame.adjusted(1, 1, -1, -1), Qt::white);
        p.setPen(Qt::black);
        p.drawText(r.adjusted(kTextPadding, 0, -kTextPadding, 0), align, texts[id]);
    }
    return img;
}

// ---------------------------------------------------------------- logos

struct LogoSize {
    int w, h;
};
constexpr LogoSize kLogoSizes[4] = {{305, 73}, {153, 65}, {193, 105}, {193, 105}};

// The product's emblem: four squares in the perspective colours, placed
// as in the diagram (financial top left, then counter-clockwise).
// Aligned to whole pixels, small sizes keep sharp edges and an open gap.
void drawEmblem(QPainter &p, QRectF r, bool wholePixels = false)
{
    qreal gap = r.width() * 0.1, s = (r.width() - gap) / 2;
    if (wholePixels) {
        s = std::floor((r.width() - std::max(1.0, std::round(gap))) / 2);
        gap = r.width() - 2 * s;
    }
    const QPointF corner[4] = {{0, 0}, {0, s + gap}, {s + gap, s + gap}, {s + gap, 0}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(kColour[i]));
        p.drawRoundedRect(QRectF(r.topLeft() + corner[i], QSizeF(s, s)), s * 0.2, s * 0.2);
    }
}

// Wordmark banner.
void bannerLogo(QPainter &p, QSizeF g)
{
    const QRectF r(0.5, 0.5, g.width() - 1, g.height() - 1);
    QPainterPath shape;
    shape.addRoundedRect(r, 6, 6);
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    grad.setColorAt(0, QColor(0x3D5A78));
    grad.setColorAt(1, QColor(0x26374A));
    p.setPen(Qt::NoPen);
    p.setBrush(grad);
    p.drawPath(shape);

    // Stripe in the four perspective colours along the foot.
    p.save();
    p.setClipPath(shape);
    const qreal sw = r.width() / 4;
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRectF(r.left() + i * sw, r.bottom() - 5, sw + 1, 6), QColor(kColour[i]));
    p.restore();

    const qreal margin = 14;
    drawEmblem(p, QRectF(margin, 15, 38, 38));

    // Name and second name share the line; both shrink together until the
    // line ends a margin short of the right edge.
    const QString name = QStringLiteral("TARVO II"), secondName = QStringLiteral("Kelmora");
    const qreal x0 = margin + 38 + 12, room = g.width() - margin - x0, divider = 17;
    QFont big = makeFont(30, true), second = makeFont(24);
    while (QFontMetricsF(big).horizontalAdvance(name) + divider
               + QFontMetricsF(second).horizontalAdvance(secondName) > room) {
        big.setPixelSize(big.pixelSize() - 1);
        second.setPixelSize(qRound(big.pixelSize() * 0.8));
    }
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QPointF(x0, 38), name);
    const qreal after = x0 + QFontMetricsF(big).horizontalAdvance(name) + divider / 2;
    p.setPen(QPen(QColor(0x8FA9C4), 1));
    p.drawLine(QPointF(after, 16.5), QPointF(after, 39.5));
    p.setFont(second);
    p.setPen(QColor(0xB9D0E8));
    p.drawText(QPointF(after + divider / 2, 38), secondName);

    QFont sub = makeFont(11);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    p.setFont(sub);
    p.setPen(QColor(0xC9D4E0));
    p.drawText(QPointF(x0 + 1, 56), QStringLiteral("BALANCED SCORECARD"));
}

// A small scorecard sheet: one row per perspective with a progress bar and
// its traffic light.
void cardLogo(QPainter &p, QSizeF g)
{
    const QRectF card(1.5, 1.5, g.width() - 3, g.height() - 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(card.translated(1, 1), 4, 4);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0xA9B4BF), 1));
    p.drawRoundedRect(card, 4, 4);

    QPainterPath shape;
    shape.addRoundedRect(card, 4, 4);
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(card.left(), card.top(), card.width(), 14), QColor(kInk));
    p.restore();
    p.setFont(makeFont(9, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(card.left() + 6, card.top(), card.width() - 12, 14),
               Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TARVO II"));
    p.setFont(makeFont(9));
    p.setPen(QColor(0xB9D0E8));
    p.drawText(QRectF(card.left() + 6, card.top(), card.width() - 12, 14),
               Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("Kelmora"));

    const qreal share[4] = {0.86, 0.64, 0.42, 0.74};
    constexpr QRgb light[4] = {0x2DB84D, 0x2DB84D, 0xF0A830, 0x2DB84D};
    const qreal x0 = card.left() + 7, bar = card.width() - 34;
    for (int i = 0; i < 4; ++i) {
        const qreal y = card.top() + 19 + i * 11;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE6EAEE));
        p.drawRoundedRect(QRectF(x0, y + 2, bar, 5), 2.5, 2.5);
        p.setBrush(QColor(kColour[i]));
        p.drawRoundedRect(QRectF(x0, y + 2, bar * share[i], 5), 2.5, 2.5);
        const QPointF c(card.right() - 12, y + 4.5);
        p.setBrush(QColor(light[i]));
        p.setPen(QPen(QColor(0x3C3C3C), 1));
        p.drawEllipse(c, 4, 4);
    }
}

// Four arcs round the centre, legend beside it.
void perspectivesLogo(QPainter &p, QSizeF g)
{
    const QPointF m(g.height() / 2, g.height() / 2);
    const qreal ra = g.height() / 2 - 4, thickness = 17;
    // Qt angles: top first, then left, bottom, right, like the diagram.
    const int start[4] = {90, 180, 270, 0};
    for (int i = 0; i < 4; ++i) {
        QPainterPath arc;
        const qreal a0 = start[i] - 45, span = 90;
        arc.arcMoveTo(QRectF(m.x() - ra, m.y() - ra, 2 * ra, 2 * ra), a0);
        arc.arcTo(QRectF(m.x() - ra, m.y() - ra, 2 * ra, 2 * ra), a0, span);
        const qreal ri = ra - thickness;
        arc.arcTo(QRectF(m.x() - ri, m.y() - ri, 2 * ri, 2 * ri), a0 + span, -span);
        arc.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kColour[i]));
        p.drawPath(arc);
    }
    // Gaps of even width between the arcs.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(m + QPointF(-ra, -ra), m + QPointF(ra, ra));
    p.drawLine(m + QPointF(-ra, ra), m + QPointF(ra, -ra));
    p.restore();
    const qreal rk = ra - thickness - 5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kInk));
    p.drawEllipse(m, rk, rk);
    // Target mark in the middle.
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m, rk * 0.6, rk * 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(m, rk * 0.22, rk * 0.22);

    const char *names[4] = {"Finanzen", "Kunden", "Mitarbeiter", "Prozesse"};
    const qreal x = g.height() + 6;
    p.setFont(makeFont(12));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 20 + i * 22;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kColour[i]));
        p.drawRoundedRect(QRectF(x, y - 5, 10, 10), 2, 2);
        p.setPen(QColor(kInk));
        p.drawText(QRectF(x + 16, y - 9, g.width() - x - 16, 18), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromUtf8(names[i]));
    }
}

// Bars of actual and target values with the trend drawn over them.
void barsLogo(QPainter &p, QSizeF g)
{
    const qreal left = 14, bottom = g.height() - 6, top = 20;
    const qreal actual[4] = {34, 46, 41, 64}, target[4] = {40, 44, 50, 58};
    const qreal group = (g.width() - left - 12) / 4, bw = 15;

    // Legend.
    p.setFont(makeFont(10, true));
    const QString actualText = QStringLiteral("IST"), targetText = QStringLiteral("SOLL");
    drawEmblem(p, QRectF(left + 2, 4, 9, 9));
    p.setPen(QColor(kInk));
    p.drawText(QPointF(left + 15, 13), actualText);
    const qreal x2 = left + 15 + QFontMetricsF(p.font()).horizontalAdvance(actualText) + 12;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC9D1D9));
    p.drawRect(QRectF(x2, 4, 9, 9));
    p.setPen(QColor(kInk));
    p.drawText(QPointF(x2 + 13, 13), targetText);

    // Faint grid.
    p.setPen(QPen(QColor(0xD5DBE1), 1, Qt::DotLine));
    for (qreal y = bottom - 16; y > top; y -= 16)
        p.drawLine(QPointF(left, std::round(y) + 0.5), QPointF(g.width() - 4, std::round(y) + 0.5));

    QPolygonF trend;
    for (int i = 0; i < 4; ++i) {
        const qreal x = left + 6 + i * group;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC9D1D9));
        p.drawRect(QRectF(x + bw - 3, bottom - target[i], bw, target[i]));
        p.setBrush(QColor(kColour[i]));
        p.drawRect(QRectF(x, bottom - actual[i], bw, actual[i]));
        trend << QPointF(x + bw / 2, bottom - actual[i] - 7);
    }
    // Axes.
    p.setPen(QPen(QColor(kInk), 1.5));
    p.drawLine(QPointF(left, top), QPointF(left, bottom));
    p.drawLine(QPointF(left, bottom), QPointF(g.width() - 4, bottom));

    p.setPen(QPen(QColor(kInk), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    trend.last() += QPointF(10, -8);
    p.drawPolyline(trend);
    const QPointF a = trend[trend.size() - 2], b = trend.last();
    arrow(p, a, b + (b - a) / std::hypot((b - a).x(), (b - a).y()) * 4, QColor(kInk), false);
}

using LogoRoutine = void (*)(QPainter &, QSizeF);
constexpr LogoRoutine kLogoRoutines[4] = {bannerLogo, cardLogo, perspectivesLogo, barsLogo};

QImage drawLogo(int number)
{
    const LogoSize m = kLogoSizes[number];
    QImage img = canvas(m.w, m.h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    kLogoRoutines[number](p, QSizeF(m.w, m.h));
    return img;
}

QImage drawApplicationIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal margin = std::round(size * 0.04);
    drawEmblem(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), true);
    return img;
}

} // namespace

namespace Pictures {

QPixmap trafficLight(int state)
{
    const int s = (state >= 0 && state <= 3) ? state : 0;
    return cached(cache().lights, s, [s] { return drawTrafficLight(s); });
}

QPixmap perspectiveDiagram(int perspective)
{
    const int k = (perspective >= 0 && perspective <= 3) ? perspective : -1;
    return cached(cache().diagrams, k, [k] { return drawDiagram(k); });
}

QPixmap infoBubble()
{
    return cached(cache().bubble, 0, drawInfoBubble);
}

QPixmap causeEffectDiagram(int branche, bool english, int perspective)
{
    const bool agriculture = branche == 0;
    const int row = (perspective >= 0 && perspective <= 3) ? kBandRow[perspective] : -1;
    const int key = (agriculture ? 0 : 100) + (english ? 10 : 0) + row + 1;
    return cached(cache().causeEffect, key, [=] { return drawCauseEffect(agriculture, english, row); });
}

QPixmap logo(int number)
{
    if (number < 0 || number > 3)
        return QPixmap();
    return cached(cache().logos, number, [number] {
        const QImage picture = stored(storedLogoName(number), QSize(kLogoSizes[number].w, kLogoSizes[number].h));
        return picture.isNull() ? drawLogo(number) : picture;
    });
}

QImage applicationIcon(int size)
{
    if (size < 1 || size > 1024)
        return QImage();
    return cached(cache().icons, size, [size] {
        const bool carried = std::find(std::begin(StoredIconSizes), std::end(StoredIconSizes), size)
                             != std::end(StoredIconSizes);
        const QImage picture = carried ? stored(storedIconName(size), QSize(size, size)) : QImage();
        return picture.isNull() ? drawApplicationIcon(size) : picture;
    });
}

QImage drawnLogo(int number) { return number < 0 || number > 3 ? QImage() : drawLogo(number); }

QImage drawnApplicationIcon(int size) { return size < 1 || size > 1024 ? QImage() : drawApplicationIcon(size); }

QString storedLogoName(int number) { return QStringLiteral("logo%1.argb").arg(number); }

QString storedIconName(int size) { return QStringLiteral("icon%1.argb").arg(size); }

bool writeStored(QIODevice &out, const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const quint32 head[2] = {quint32(pixels.width()), quint32(pixels.height())};
    if (out.write(reinterpret_cast<const char *>(head), sizeof head) != qint64(sizeof head))
        return false;
    const qint64 line = qint64(pixels.width()) * 4;
    for (int y = 0; y < pixels.height(); ++y) {
        if (out.write(reinterpret_cast<const char *>(pixels.constScanLine(y)), line) != line)
            return false;
    }
    return true;
}

QImage stored(const QString &name, QSize size)
{
    const QResource resource(QStringLiteral(":/start/") + name);
    if (!resource.isValid() || size.isEmpty())
        return QImage();
    const QByteArray data = resource.compressionAlgorithm() == QResource::NoCompression
        ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size())
        : resource.uncompressedData();
    quint32 head[2] = {};
    const qint64 line = qint64(size.width()) * 4;
    if (data.size() != qsizetype(sizeof head + line * size.height()))
        return QImage();
    std::memcpy(head, data.constData(), sizeof head);
    if (head[0] != quint32(size.width()) || head[1] != quint32(size.height()))
        return QImage();
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    const char *pixels = data.constData() + sizeof head;
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(picture.scanLine(y), pixels + y * line, size_t(line));
    return picture;
}

} // namespace Pictures
