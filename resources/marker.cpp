#include "resources/marker.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 17;
// Outline, face and sign of the triangle.
constexpr QRgb kEdge = 0xFF7F0000;
constexpr QRgb kFace = 0xFFFF0000;
constexpr QRgb kSign = 0xFFFFFFFF;

QImage drawMarker()
{
    QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(1.0);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(8.5, 1.0);
    triangle.lineTo(16.0, 15.5);
    triangle.lineTo(1.0, 15.5);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(kEdge), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(kFace));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kSign));
    p.drawRoundedRect(QRectF(7.5, 5.0, 2.0, 6.0), 1.0, 1.0);
    p.drawEllipse(QPointF(8.5, 13.0), 1.1, 1.1);
    return img;
}

// Pixmaps must not outlive the application object.
QPixmap *&cachedMarker()
{
    static QPixmap *marker = nullptr;
    return marker;
}
void dropMarker()
{
    delete cachedMarker();
    cachedMarker() = nullptr;
}

} // namespace

namespace Pictures {

QPixmap attentionMarker()
{
    if (!cachedMarker()) {
        cachedMarker() = new QPixmap(QPixmap::fromImage(drawMarker()));
        qAddPostRoutine(dropMarker);
    }
    return *cachedMarker();
}

} // namespace Pictures
