#include "resources/bilder.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace {

// ---------------------------------------------------------------- helpers

// Pixmaps must not outlive the application object, so the cache lives on
// the heap and is emptied by a post routine when the application ends.
struct Cache {
    QHash<int, QPixmap> ampel, diagramm, logo;
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

template <class Draw>
QPixmap cached(QHash<int, QPixmap> &store, int key, Draw draw)
{
    auto it = store.constFind(key);
    if (it != store.constEnd())
        return *it;
    QPixmap pm = QPixmap::fromImage(draw());
    store.insert(key, pm);
    return pm;
}

// Transparent canvas; 1 device pixel per pixel whatever the screen scale.
QImage leinwand(int w, int h, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
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

QFont schrift(qreal px, bool fett = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qRound(px));
    f.setBold(fett);
    return f;
}

// Line from a to b with a filled head at b (and at a when beidseitig).
void pfeil(QPainter &p, QPointF a, QPointF b, const QColor &farbe, bool beidseitig)
{
    const qreal lang = 6, halb = 3;
    const QPointF d = b - a;
    const qreal len = std::hypot(d.x(), d.y());
    if (len < 1)
        return;
    const QPointF u = d / len, n(-u.y(), u.x());
    auto spitze = [&](QPointF tip, QPointF dir) {
        QPolygonF tri{tip, tip - dir * lang + n * halb, tip - dir * lang - n * halb};
        p.drawPolygon(tri);
    };
    p.setPen(QPen(farbe, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(beidseitig ? a + u * (lang - 1) : a, b - u * (lang - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(farbe);
    spitze(b, u);
    if (beidseitig)
        spitze(a, -u);
}

// The four perspective colours, in perspective order.
constexpr QRgb kFarbe[4] = {0x2E6DB4, 0x1F8A70, 0x8A56A8, 0xCC7A00};
constexpr QRgb kTinte = 0x34495E;   // dark slate for the centre and headings

// ---------------------------------------------------------------- lights

constexpr int kAmpelBreite = 49, kAmpelHoehe = 16;
constexpr QRgb kAmpelGrund = 0xFFE0DFE3;
constexpr QRgb kRing = 0xFF3C3C3C;
struct Lampe {
    qreal x;   // centre; lamps sit on y = 8
    QRgb an;
};
constexpr Lampe kLampen[3] = {{8.5, 0xFFFF0000}, {24.5, 0xFFF7BC5B}, {40.5, 0xFF00FF00}};

// zustand 1..3 lights lamp zustand-1; 0 lights none.
QImage zeichneAmpel(int zustand)
{
    QImage img(kAmpelBreite, kAmpelHoehe, QImage::Format_RGB32);
    img.fill(kAmpelGrund);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        const QPointF c(kLampen[i].x, 8.0);
        p.setPen(Qt::NoPen);
        if (zustand == i + 1) {
            p.setBrush(QColor(kLampen[i].an));
            p.drawEllipse(c, 6.0, 6.0);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(kRing), 1.5));
        p.drawEllipse(c, 5.75, 5.75);
    }
    return img;
}

// ---------------------------------------------------------------- diagram

constexpr int kDiagBreite = 300, kDiagHoehe = 220;

// Boxes in perspective order: financial top, customer left, employee
// bottom, process right. Everything stays inside 282 x 216 because some
// views show the picture in a smaller frame without scaling.
struct Kasten {
    QRectF r;
    const char *titel;
};
const Kasten kKaesten[4] = {
    {{70.5, 1.5, 141, 55}, "Finanzperspektive"},
    {{1.5, 81.5, 89, 55}, "Kundenperspektive"},
    {{70.5, 160.5, 141, 55}, "Mitarbeiterperspektive"},
    {{191.5, 81.5, 89, 55}, "Prozessperspektive"},
};
const QRectF kOval(113, 87, 56, 44);
const QPointF kMitte = kOval.center();

struct Spalte {
    const char *lang, *kurz;
};
constexpr Spalte kSpalten[4] = {
    {"Ziele", "Ziele"}, {"Kennzahlen", "Kennz."}, {"Vorgaben", "Vorg."}, {"Maßnahmen", "Maßn."}};

void zeichneKasten(QPainter &p, const Kasten &k, QColor farbe, bool blass)
{
    const QColor weiss(Qt::white);
    const QColor kante = blass ? mix(farbe, weiss, 0.65) : farbe;
    const QColor kopf = blass ? mix(farbe, weiss, 0.8) : farbe;
    const QColor titel = blass ? mix(farbe, weiss, 0.3) : weiss;
    const QColor zeile = mix(farbe, weiss, blass ? 0.93 : 0.85);
    const QColor text = blass ? mix(farbe, weiss, 0.5) : mix(farbe, Qt::black, 0.35);
    const QColor linie = mix(farbe, weiss, blass ? 0.85 : 0.6);

    const QRectF r = k.r;
    const qreal kopfH = 15, zeileH = 11;
    QPainterPath form;
    form.addRoundedRect(r, 3, 3);

    p.setPen(Qt::NoPen);
    p.setBrush(weiss);
    p.drawPath(form);
    p.save();
    p.setClipPath(form);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), kopfH), kopf);
    p.fillRect(QRectF(r.left(), r.top() + kopfH, r.width(), zeileH), zeile);
    p.restore();

    // Title, the same size in every box.
    p.setFont(schrift(9, true));
    p.setPen(titel);
    p.drawText(QRectF(r.left(), r.top(), r.width(), kopfH), Qt::AlignCenter,
               QString::fromUtf8(k.titel));

    // Column labels: full words where they fit, else short forms; column
    // widths follow the label widths so the spare room is shared evenly.
    const QFont klein = schrift(7);
    const QFontMetricsF fm(klein);
    const qreal innen = r.width() - 2;
    QStringList labels;
    qreal summe = 0;
    for (const Spalte &s : kSpalten) {
        labels << QString::fromUtf8(s.lang);
        summe += fm.horizontalAdvance(labels.last());
    }
    if (summe + 4 * 4 > innen) {
        labels.clear();
        summe = 0;
        for (const Spalte &s : kSpalten) {
            labels << QString::fromUtf8(s.kurz);
            summe += fm.horizontalAdvance(labels.last());
        }
    }
    const qreal zugabe = (innen - summe) / 4;
    const qreal yLabel = r.top() + kopfH, yKoerper = yLabel + zeileH;
    qreal x = r.left() + 1;
    p.setFont(klein);
    for (int i = 0; i < 4; ++i) {
        const qreal w = fm.horizontalAdvance(labels[i]) + zugabe;
        p.setPen(text);
        p.drawText(QRectF(x, yLabel, w, zeileH), Qt::AlignCenter, labels[i]);
        if (i > 0) {
            p.setPen(QPen(linie, 1));
            p.drawLine(QPointF(std::round(x) + 0.5, yLabel + 1), QPointF(std::round(x) + 0.5, r.bottom() - 1));
        }
        x += w;
    }
    // Two empty table rows.
    const qreal yZeile = std::round((yKoerper + r.bottom()) / 2) + 0.5;
    p.setPen(QPen(linie, 1));
    p.drawLine(QPointF(r.left() + 1, yZeile), QPointF(r.right() - 1, yZeile));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kante, 1));
    p.drawPath(form);
}

// Where the arrow between the oval and box i starts and ends.
QLineF verbindung(int i)
{
    const QRectF r = kKaesten[i].r;
    const qreal rx = kOval.width() / 2 + 2, ry = kOval.height() / 2 + 2;
    switch (i) {
    case 0: return {QPointF(kMitte.x(), kMitte.y() - ry), QPointF(kMitte.x(), r.bottom() + 2)};
    case 1: return {QPointF(kMitte.x() - rx, kMitte.y()), QPointF(r.right() + 2, kMitte.y())};
    case 2: return {QPointF(kMitte.x(), kMitte.y() + ry), QPointF(kMitte.x(), r.top() - 2)};
    default: return {QPointF(kMitte.x() + rx, kMitte.y()), QPointF(r.left() - 2, kMitte.y())};
    }
}

// hervor 0..3 keeps that box in colour and fades the others; -1 keeps all.
QImage zeichneDiagramm(int hervor)
{
    QImage img = leinwand(kDiagBreite, kDiagHoehe);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    for (int i = 0; i < 4; ++i) {
        const bool blass = hervor >= 0 && hervor != i;
        const QColor farbe = blass ? QColor(0xB4B4B4) : QColor(hervor < 0 ? kTinte : kFarbe[i]);
        const QLineF l = verbindung(i);
        pfeil(p, l.p1(), l.p2(), farbe, true);
    }
    for (int i = 0; i < 4; ++i)
        zeichneKasten(p, kKaesten[i], QColor(kFarbe[i]), hervor >= 0 && hervor != i);

    // Vision and strategy in the centre.
    p.setPen(QPen(QColor(kTinte).darker(120), 1));
    p.setBrush(QColor(kTinte));
    p.drawEllipse(kOval);
    p.setPen(Qt::white);
    p.setFont(schrift(9, true));
    p.drawText(kOval, Qt::AlignCenter, QStringLiteral("Vision und\nStrategie"));
    return img;
}

// ---------------------------------------------------------------- logos

struct LogoMass {
    int w, h;
};
constexpr LogoMass kLogoMass[4] = {{305, 73}, {153, 65}, {193, 105}, {193, 105}};

// The product's emblem: four squares in the perspective colours, placed
// as in the diagram (financial top left, then counter-clockwise).
void zeichneEmblem(QPainter &p, QRectF r)
{
    const qreal lueck = r.width() * 0.1, s = (r.width() - lueck) / 2;
    const QPointF ecke[4] = {{0, 0}, {0, s + lueck}, {s + lueck, s + lueck}, {s + lueck, 0}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(kFarbe[i]));
        p.drawRoundedRect(QRectF(r.topLeft() + ecke[i], QSizeF(s, s)), s * 0.2, s * 0.2);
    }
}

// Wordmark banner.
void logoBanner(QPainter &p, QSizeF g)
{
    const QRectF r(0.5, 0.5, g.width() - 1, g.height() - 1);
    QPainterPath form;
    form.addRoundedRect(r, 6, 6);
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    grad.setColorAt(0, QColor(0x3D5A78));
    grad.setColorAt(1, QColor(0x26374A));
    p.setPen(Qt::NoPen);
    p.setBrush(grad);
    p.drawPath(form);

    // Stripe in the four perspective colours along the foot.
    p.save();
    p.setClipPath(form);
    const qreal sw = r.width() / 4;
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRectF(r.left() + i * sw, r.bottom() - 5, sw + 1, 6), QColor(kFarbe[i]));
    p.restore();

    const qreal abstand = 14;
    zeichneEmblem(p, QRectF(abstand, 15, 38, 38));

    // Name and second name share the line; both shrink together until the
    // line ends a margin short of the right edge.
    const QString name = QStringLiteral("TARVO II"), zweitName = QStringLiteral("Kelmora");
    const qreal x0 = abstand + 38 + 12, platz = g.width() - abstand - x0, teiler = 17;
    QFont gross = schrift(30, true), zweit = schrift(24);
    while (QFontMetricsF(gross).horizontalAdvance(name) + teiler
               + QFontMetricsF(zweit).horizontalAdvance(zweitName) > platz) {
        gross.setPixelSize(gross.pixelSize() - 1);
        zweit.setPixelSize(qRound(gross.pixelSize() * 0.8));
    }
    p.setFont(gross);
    p.setPen(Qt::white);
    p.drawText(QPointF(x0, 38), name);
    const qreal nach = x0 + QFontMetricsF(gross).horizontalAdvance(name) + teiler / 2;
    p.setPen(QPen(QColor(0x8FA9C4), 1));
    p.drawLine(QPointF(nach, 16.5), QPointF(nach, 39.5));
    p.setFont(zweit);
    p.setPen(QColor(0xB9D0E8));
    p.drawText(QPointF(nach + teiler / 2, 38), zweitName);

    QFont unter = schrift(11);
    unter.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    p.setFont(unter);
    p.setPen(QColor(0xC9D4E0));
    p.drawText(QPointF(x0 + 1, 56), QStringLiteral("BALANCED SCORECARD"));
}

// A small scorecard sheet: one row per perspective with a progress bar and
// its traffic light.
void logoKarte(QPainter &p, QSizeF g)
{
    const QRectF karte(1.5, 1.5, g.width() - 3, g.height() - 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(karte.translated(1, 1), 4, 4);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0xA9B4BF), 1));
    p.drawRoundedRect(karte, 4, 4);

    QPainterPath form;
    form.addRoundedRect(karte, 4, 4);
    p.save();
    p.setClipPath(form);
    p.fillRect(QRectF(karte.left(), karte.top(), karte.width(), 14), QColor(kTinte));
    p.restore();
    p.setFont(schrift(9, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(karte.left() + 6, karte.top(), karte.width() - 12, 14),
               Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TARVO II"));
    p.setFont(schrift(9));
    p.setPen(QColor(0xB9D0E8));
    p.drawText(QRectF(karte.left() + 6, karte.top(), karte.width() - 12, 14),
               Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("Kelmora"));

    const qreal anteil[4] = {0.86, 0.64, 0.42, 0.74};
    constexpr QRgb licht[4] = {0x2DB84D, 0x2DB84D, 0xF0A830, 0x2DB84D};
    const qreal x0 = karte.left() + 7, balken = karte.width() - 34;
    for (int i = 0; i < 4; ++i) {
        const qreal y = karte.top() + 19 + i * 11;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE6EAEE));
        p.drawRoundedRect(QRectF(x0, y + 2, balken, 5), 2.5, 2.5);
        p.setBrush(QColor(kFarbe[i]));
        p.drawRoundedRect(QRectF(x0, y + 2, balken * anteil[i], 5), 2.5, 2.5);
        const QPointF c(karte.right() - 12, y + 4.5);
        p.setBrush(QColor(licht[i]));
        p.setPen(QPen(QColor(0x3C3C3C), 1));
        p.drawEllipse(c, 4, 4);
    }
}

// Four arcs round the centre, legend beside it.
void logoPerspektiven(QPainter &p, QSizeF g)
{
    const QPointF m(g.height() / 2, g.height() / 2);
    const qreal ra = g.height() / 2 - 4, dicke = 17;
    // Qt angles: top first, then left, bottom, right, like the diagram.
    const int start[4] = {90, 180, 270, 0};
    for (int i = 0; i < 4; ++i) {
        QPainterPath bogen;
        const qreal a0 = start[i] - 45, span = 90;
        bogen.arcMoveTo(QRectF(m.x() - ra, m.y() - ra, 2 * ra, 2 * ra), a0);
        bogen.arcTo(QRectF(m.x() - ra, m.y() - ra, 2 * ra, 2 * ra), a0, span);
        const qreal ri = ra - dicke;
        bogen.arcTo(QRectF(m.x() - ri, m.y() - ri, 2 * ri, 2 * ri), a0 + span, -span);
        bogen.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kFarbe[i]));
        p.drawPath(bogen);
    }
    // Gaps of even width between the arcs.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(m + QPointF(-ra, -ra), m + QPointF(ra, ra));
    p.drawLine(m + QPointF(-ra, ra), m + QPointF(ra, -ra));
    p.restore();
    const qreal rk = ra - dicke - 5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kTinte));
    p.drawEllipse(m, rk, rk);
    // Target mark in the middle.
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m, rk * 0.6, rk * 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(m, rk * 0.22, rk * 0.22);

    const char *namen[4] = {"Finanzen", "Kunden", "Mitarbeiter", "Prozesse"};
    const qreal x = g.height() + 6;
    p.setFont(schrift(12));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 20 + i * 22;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kFarbe[i]));
        p.drawRoundedRect(QRectF(x, y - 5, 10, 10), 2, 2);
        p.setPen(QColor(kTinte));
        p.drawText(QRectF(x + 16, y - 9, g.width() - x - 16, 18), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromUtf8(namen[i]));
    }
}

// Bars of actual and target values with the trend drawn over them.
void logoBalken(QPainter &p, QSizeF g)
{
    const qreal links = 14, unten = g.height() - 6, oben = 20;
    const qreal ist[4] = {34, 46, 41, 64}, soll[4] = {40, 44, 50, 58};
    const qreal gruppe = (g.width() - links - 12) / 4, bw = 15;

    // Legend.
    p.setFont(schrift(10, true));
    const QString istText = QStringLiteral("IST"), sollText = QStringLiteral("SOLL");
    zeichneEmblem(p, QRectF(links + 2, 4, 9, 9));
    p.setPen(QColor(kTinte));
    p.drawText(QPointF(links + 15, 13), istText);
    const qreal x2 = links + 15 + QFontMetricsF(p.font()).horizontalAdvance(istText) + 12;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC9D1D9));
    p.drawRect(QRectF(x2, 4, 9, 9));
    p.setPen(QColor(kTinte));
    p.drawText(QPointF(x2 + 13, 13), sollText);

    // Faint grid.
    p.setPen(QPen(QColor(0xD5DBE1), 1, Qt::DotLine));
    for (qreal y = unten - 16; y > oben; y -= 16)
        p.drawLine(QPointF(links, std::round(y) + 0.5), QPointF(g.width() - 4, std::round(y) + 0.5));

    QPolygonF trend;
    for (int i = 0; i < 4; ++i) {
        const qreal x = links + 6 + i * gruppe;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC9D1D9));
        p.drawRect(QRectF(x + bw - 3, unten - soll[i], bw, soll[i]));
        p.setBrush(QColor(kFarbe[i]));
        p.drawRect(QRectF(x, unten - ist[i], bw, ist[i]));
        trend << QPointF(x + bw / 2, unten - ist[i] - 7);
    }
    // Axes.
    p.setPen(QPen(QColor(kTinte), 1.5));
    p.drawLine(QPointF(links, oben), QPointF(links, unten));
    p.drawLine(QPointF(links, unten), QPointF(g.width() - 4, unten));

    p.setPen(QPen(QColor(kTinte), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    trend.last() += QPointF(10, -8);
    p.drawPolyline(trend);
    const QPointF a = trend[trend.size() - 2], b = trend.last();
    pfeil(p, a, b + (b - a) / std::hypot((b - a).x(), (b - a).y()) * 4, QColor(kTinte), false);
}

using LogoRoutine = void (*)(QPainter &, QSizeF);
constexpr LogoRoutine kLogoRoutinen[4] = {logoBanner, logoKarte, logoPerspektiven, logoBalken};

QImage zeichneLogo(int nr)
{
    const LogoMass m = kLogoMass[nr];
    QImage img = leinwand(m.w, m.h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    kLogoRoutinen[nr](p, QSizeF(m.w, m.h));
    return img;
}

} // namespace

namespace Bilder {

QPixmap ampel(int zustand)
{
    const int z = (zustand >= 0 && zustand <= 3) ? zustand : 0;
    return cached(cache().ampel, z, [z] { return zeichneAmpel(z); });
}

QPixmap perspektivenDiagramm(int perspektive)
{
    const int k = (perspektive >= 0 && perspektive <= 3) ? perspektive : -1;
    return cached(cache().diagramm, k, [k] { return zeichneDiagramm(k); });
}

QPixmap logo(int nr)
{
    if (nr < 0 || nr > 3)
        return QPixmap();
    return cached(cache().logo, nr, [nr] { return zeichneLogo(nr); });
}

} // namespace Bilder
