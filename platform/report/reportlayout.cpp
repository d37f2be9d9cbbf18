#include "platform/report/reportlayout.h"

#include "platform/db/dataset.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

MmScale::MmScale(const QPaintDevice &device)
    : m_dpiX(device.logicalDpiX()), m_dpiY(device.logicalDpiY())
{
}

// --- ReportItem --------------------------------------------------------------

ReportItem::ReportItem(ReportBand *band, const QString &name) : QObject(band)
{
    setObjectName(name);
}

ReportBand *ReportItem::band() const
{
    return qobject_cast<ReportBand *>(parent());
}

ReportLayout *ReportItem::layout() const
{
    ReportBand *b = band();
    return b ? b->layout() : nullptr;
}

// --- Text ----------------------------------------------------------------------

QFont ReportText::font() const
{
    if (m_font)
        return *m_font;
    const ReportLayout *l = layout();
    return l ? l->defaultFont() : QFont();
}

void ReportText::paint(QPainter &painter, const MmScale &mm, QPointF origin) const
{
    const QString t = text();
    if (t.isEmpty())
        return;
    // The font is resolved against the device, so points stay points.
    const QFont f(font(), painter.device());
    const QFontMetricsF metrics(f, painter.device());
    painter.setFont(f);
    painter.setPen(Qt::black);
    const QPointF topLeft = origin + mm.point(position());
    painter.drawText(topLeft + QPointF(0, metrics.ascent()), t);
}

ReportLabel::ReportLabel(ReportBand *band, const QString &name, const QString &caption)
    : ReportText(band, name), m_caption(caption)
{
}

ReportField::ReportField(ReportBand *band, const QString &name, DataSet *dataSet,
                         const QString &column)
    : ReportText(band, name), m_dataSet(dataSet), m_column(column)
{
}

QString ReportField::text() const
{
    if (!m_dataSet || !m_dataSet->isActive() || m_dataSet->isEmpty())
        return QString();
    return m_dataSet->asText(m_column);
}

// --- Picture -------------------------------------------------------------------

ReportPicture::ReportPicture(ReportBand *band, const QString &name, const QImage &image)
    : ReportItem(band, name), m_image(image)
{
}

QSizeF ReportPicture::size() const
{
    if (!m_size.isEmpty() || m_image.isNull())
        return m_size;
    const double dpmX = m_image.dotsPerMeterX() > 0 ? m_image.dotsPerMeterX() : 3780;
    const double dpmY = m_image.dotsPerMeterY() > 0 ? m_image.dotsPerMeterY() : 3780;
    return {m_image.width() * 1000.0 / dpmX, m_image.height() * 1000.0 / dpmY};
}

void ReportPicture::paint(QPainter &painter, const MmScale &mm, QPointF origin) const
{
    if (!m_enabled || m_image.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(origin + mm.point(position()), mm.size(size())), m_image);
}

// --- Band and layout -------------------------------------------------------------

ReportBand::ReportBand(ReportLayout *layout, Kind kind, double heightMm, const QString &name)
    : QObject(layout), m_kind(kind), m_height(heightMm)
{
    setObjectName(name);
}

ReportLayout *ReportBand::layout() const
{
    return qobject_cast<ReportLayout *>(parent());
}

QList<ReportItem *> ReportBand::items() const
{
    return findChildren<ReportItem *>(Qt::FindDirectChildrenOnly);
}

ReportLayout::ReportLayout(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
    m_defaultFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    m_defaultFont.setPointSizeF(10.0);
}

QList<ReportBand *> ReportLayout::bands() const
{
    QList<ReportBand *> result = findChildren<ReportBand *>(Qt::FindDirectChildrenOnly);
    std::stable_sort(result.begin(), result.end(),
                     [](const ReportBand *a, const ReportBand *b) { return a->kind() < b->kind(); });
    return result;
}
