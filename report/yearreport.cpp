#include "report/yearreport.h"

#include "core/safefile.h"
#include "model/katalog.h"
#include "model/startwahl.h"
#include "platform/db/engineerror.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "report/bericht.h"
#include "resources/marker.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>

namespace YearReport {

namespace {

constexpr double PageWidth = 210.0;
constexpr double PageHeight = 297.0;
constexpr double Margin = 10.0;
// Footer line, inside the bottom margin below every band of the pages.
constexpr double FooterTop = PageHeight - 7.5;

// Cover columns in millimetres from the left margin: goal, key figure,
// actual, target, light, measures, attention; 190 in all.
constexpr double Columns[7] = {50, 40, 13, 13, 19, 20, 35};

const QColor LightColours[4] = {QColor(0xE0, 0xDF, 0xE3), QColor(0xFF, 0x00, 0x00), QColor(0xF7, 0xBC, 0x5B),
                                QColor(0x00, 0xFF, 0x00)};

QFont arial(double points, bool bold, QPaintDevice *device)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return QFont(f, device);
}

QString message(bool english, const char *german, const char *englishText)
{
    return QString::fromUtf8(english ? englishText : german);
}

} // namespace

QString proposedFileName(const QString &year, bool english)
{
    QString name = (english ? QStringLiteral("Year report ") : QStringLiteral("Jahresbericht ")) + year;
    static const QRegularExpression unsafe(QStringLiteral("[^\\w.-]+"));
    name.replace(unsafe, QStringLiteral("-"));
    return name + QStringLiteral(".pdf");
}

void paintPageNumber(QPainter &painter, int page, int count)
{
    const MmScale mm(*painter.device());
    painter.save();
    painter.setFont(arial(9, false, painter.device()));
    painter.setPen(Qt::black);
    const QRectF line(mm.point({Margin, FooterTop}), mm.size({PageWidth - 2 * Margin, 5}));
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("%1 / %2").arg(page).arg(count));
    painter.restore();
}

void paintCover(QPainter &painter, const QVector<YearSummary::Goal> &goals, const QString &year, int branche,
                bool english)
{
    const MmScale mm(*painter.device());
    QPaintDevice *device = painter.device();
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(Qt::black);

    double top = Margin;
    painter.setFont(arial(16, true, device));
    painter.drawText(QRectF(mm.point({Margin, top}), mm.size({190, 10})), Qt::AlignLeft | Qt::AlignTop,
                     YearSummary::title(year, english));
    top += 10;
    painter.setFont(arial(10, false, device));
    const QString industry = english ? (ScorecardKatalog::isAgriculture(branche) ? QStringLiteral("agriculture")
                                                                                 : QStringLiteral("mining industry"))
                                     : (ScorecardKatalog::isAgriculture(branche) ? QStringLiteral("Landwirtschaft")
                                                                                 : QStringLiteral("Bergbau"));
    painter.drawText(QRectF(mm.point({Margin, top}), mm.size({190, 6})), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Balanced Scorecard · ") + industry);
    top += 10;

    const double pad = 1.2;
    // One row of cells; returns its height in millimetres.
    // Cells 4 and 6 (light, attention) leave room for their picture.
    auto row = [&](const QStringList &cells, bool bold, double minHeight, double pictureRoom = 0) {
        const QFont f = arial(8.5, bold, device);
        painter.setFont(f);
        double height = minHeight;
        double left = Margin;
        QVector<QRectF> rects;
        for (int c = 0; c < cells.size(); ++c) {
            const double indent = (c == 4 || c == 6) ? pictureRoom : 0;
            const QRectF box(mm.point({left + pad + indent, top + pad}), mm.size({Columns[c] - 2 * pad - indent, 100}));
            const QRectF needed = painter.boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, cells[c]);
            height = qMax(height, needed.height() * 25.4 / mm.dpiY() + 2 * pad);
            rects << box;
            left += Columns[c];
        }
        for (int c = 0; c < cells.size(); ++c)
            painter.drawText(rects[c], Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, cells[c]);
        return height;
    };
    auto rule = [&](double at, double width) {
        painter.save();
        painter.setPen(QPen(Qt::black, mm.x(width)));
        painter.drawLine(mm.point({Margin, at}), mm.point({PageWidth - Margin, at}));
        painter.restore();
    };

    const YearSummary::Heads h = YearSummary::heads(english);
    top += row({h.goal, h.kennzahl, h.ist, h.soll, h.light, h.measures, h.attention}, true, 6);
    rule(top, 0.4);
    int perspektive = -1;
    for (const YearSummary::Goal &g : goals) {
        if (g.perspektive != perspektive) {
            perspektive = g.perspektive;
            top += 1.5;
            painter.setFont(arial(10, true, device));
            painter.drawText(QRectF(mm.point({Margin + pad, top}), mm.size({190, 6})), Qt::AlignLeft | Qt::AlignTop,
                             ScorecardKatalog::perspektiveText(perspektive, english));
            top += 6;
        }
        const QString ist = g.hasRow ? QString::number(g.ist) : YearSummary::noValue();
        const QString soll = g.hasRow ? QString::number(g.soll) : YearSummary::noValue();
        // The light as colour (a lamp before its word) and as word.
        const QString word = YearSummary::lightWord(g.light, english);
        const QString attention = g.marked ? YearSummary::markerWord(english) : QString();
        const double rowTop = top;
        const double height = row({g.goal, g.kennzahl, ist, soll, word, QString::number(g.measures), attention}, false, 7,
                                  4.5);
        const double lampLeft = Margin + Columns[0] + Columns[1] + Columns[2] + Columns[3] + pad;
        painter.save();
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), mm.x(0.2)));
        painter.setBrush(LightColours[int(g.light)]);
        painter.drawEllipse(QRectF(mm.point({lampLeft, rowTop + pad + 0.2}), mm.size({3.2, 3.2})));
        painter.restore();
        if (g.marked) {
            const double markerLeft = lampLeft + Columns[4] + Columns[5];
            painter.drawPixmap(QRectF(mm.point({markerLeft, rowTop + pad}), mm.size({3.6, 3.6})),
                               Pictures::attentionMarker(), QRectF(0, 0, 17, 17));
        }
        top += height;
        rule(top, 0.1);
    }
    painter.restore();
}

bool write(Connection &connection, const Startwahl &wahl, const QString &year, const QString &file, QString *error)
{
    const bool english = wahl.englisch();
    const int branche = wahl.branche();
    if (SafeFile::occupied(file)) {
        if (error)
            *error = (QFileInfo(file).isDir()
                          ? message(english, "%1 ist ein Ordner; bitte den Namen einer neuen Datei angeben.",
                                    "%1 is a folder; give the name of a new file.")
                          : message(english, "Die Datei %1 gibt es schon; sie wurde nicht verändert.",
                                    "%1 exists already; it was left untouched."))
                         .arg(QDir::toNativeSeparators(file));
        return false;
    }
    try {
        static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
        QVector<YearSummary::Goal> goals;
        if (fourDigits.match(year).hasMatch())
            goals = YearSummary::read(connection, year, branche, english);
        if (!YearSummary::known(goals)) {
            if (error)
                *error = message(english, "Die Kennzahlentabellen kennen das Jahr \"%1\" nicht; es wurde kein Bericht geschrieben.",
                                 "The key-figure tables hold no year \"%1\"; no report was written.")
                             .arg(year);
            return false;
        }
        // A report window of its own, so that an open preview of the
        // evaluation report is never rewritten under the user's eyes.
        TForm2 form(connection);
        const QList<const ReportLayout *> pages = form.pages();
        return writePdf(
            PageCount,
            [&](int page, QPainter &painter) {
                if (page == 0) {
                    paintCover(painter, goals, year, branche, english);
                } else {
                    const int perspektive = (page - 1) / 2;
                    if ((page - 1) % 2 == 0)
                        form.prepare(perspektive, year, english, branche);
                    paintLayout(*pages[(page - 1) % 2], painter);
                }
                paintPageNumber(painter, page + 1, PageCount);
            },
            file, error);
    } catch (const EngineError &e) {
        if (error)
            *error = e.message();
        return false;
    }
}

} // namespace YearReport
