#include "platform/report/reportlayout.h"

#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLocale>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

namespace {

// Chart fonts are given in pixels of the chart's own units, so that the
// scaled painter prints them at their size in points. A font in points would
// be laid out at the screen's resolution, and the printed size would follow
// the screen.
QFont chartUnitFont(const QFont &font)
{
    QFont f = font;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    f.setPixelSize(std::max(1, qRound(points * ReportChart::Resolution / 72.0)));
    return f;
}

} // namespace

ReportChart::ReportChart(ReportBand *band, const QString &name, DataSet *dataSet)
    : ReportItem(band, name), m_dataSet(dataSet)
{
}

QFont ReportChart::font() const
{
    if (m_font)
        return *m_font;
    const ReportLayout *l = layout();
    return l ? l->defaultFont() : QFont();
}

double ReportChart::value(const QString &column) const
{
    if (!m_dataSet || !m_dataSet->isActive() || m_dataSet->isEmpty())
        return 0.0;
    const QString text = m_dataSet->asText(column).trimmed();
    if (text.isEmpty())
        return 0.0;
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok)
        throw EngineError(QStringLiteral("Chart %1: \"%2\" in %3 is not a number")
                              .arg(objectName(), text, column));
    return v;
}

QChart *ReportChart::createChart(QGraphicsScene &scene) const
{
    auto *chart = new QChart;
    scene.addItem(chart);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setMargins(QMargins(2, 4, 2, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundPen(QPen(Qt::gray, 0));

    auto *bars = new QBarSeries;
    bars->setLabelsVisible(false);
    double low = 0.0;
    double high = 0.0;
    qsizetype categories = 0;
    for (const ChartSeries &s : m_series) {
        auto *set = new QBarSet(s.title);
        set->setColor(s.colour);
        // Without an outline a missing value leaves no trace at the axis.
        set->setPen(Qt::NoPen);
        for (const QString &column : s.columns) {
            const double v = value(column);
            set->append(v);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        categories = std::max(categories, s.columns.size());
        bars->append(set);
    }
    chart->addSeries(bars);

    const QFont font = chartUnitFont(this->font());

    auto *bottom = new QBarCategoryAxis;
    QStringList names;
    for (qsizetype i = 1; i <= categories; ++i)
        names << QString::number(i);
    bottom->append(names);
    bottom->setLabelsVisible(false);
    bottom->setGridLineVisible(false);
    bottom->setLinePen(QPen(Qt::black, 0));
    chart->addAxis(bottom, Qt::AlignBottom);
    bars->attachAxis(bottom);

    auto *left = new QValueAxis;
    if (low == high)
        high = low + 10.0;   // a chart without bars still has a scale
    left->setRange(low, high);
    left->applyNiceNumbers();
    left->setLabelFormat(QStringLiteral("%.10g"));
    left->setLabelsFont(font);
    left->setLabelsBrush(Qt::black);
    left->setLinePen(QPen(Qt::black, 0));
    left->setGridLinePen(QPen(QColor(0xD0, 0xD0, 0xD0), 0));
    chart->addAxis(left, Qt::AlignLeft);
    bars->attachAxis(left);

    QLegend *legend = chart->legend();
    legend->setVisible(true);
    legend->setAlignment(Qt::AlignRight);
    legend->setFont(font);
    legend->setLabelBrush(Qt::black);
    legend->setBackgroundVisible(false);

    const QSizeF units(m_size.width() * Resolution / 25.4, m_size.height() * Resolution / 25.4);
    chart->resize(units);
    scene.setSceneRect(QRectF(QPointF(), units));
    return chart;
}

void ReportChart::paint(QPainter &painter, const MmScale &mm, QPointF origin) const
{
    if (m_size.isEmpty())
        return;
    QGraphicsScene scene;
    createChart(scene);
    const QRectF units = scene.sceneRect();
    painter.translate(origin + mm.point(position()));
    painter.scale(mm.dpiX() / Resolution, mm.dpiY() / Resolution);
    scene.render(&painter, units, units);
}
