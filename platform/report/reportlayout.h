#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/db/dataset.h"

class QChart;
class QGraphicsScene;
class QPaintDevice;
class QPainter;
class ReportBand;
class ReportLayout;

// Millimetres on one paint device, converted with the device's own
// resolution, so that a page comes out the same size on screen, paper and PDF.
class MmScale {
public:
    explicit MmScale(const QPaintDevice &device);
    MmScale(double dpiX, double dpiY) : m_dpiX(dpiX), m_dpiY(dpiY) {}

    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }
    double x(double mm) const { return mm * m_dpiX / 25.4; }
    double y(double mm) const { return mm * m_dpiY / 25.4; }
    QPointF point(QPointF mm) const { return {x(mm.x()), y(mm.y())}; }
    QSizeF size(QSizeF mm) const { return {x(mm.width()), y(mm.height())}; }

private:
    double m_dpiX;
    double m_dpiY;
};

// Anything placed on a band. The position is in millimetres from the band's
// top-left corner and may be changed until the page is painted.
class ReportItem : public QObject {
    Q_OBJECT
public:
    ReportBand *band() const;
    ReportLayout *layout() const;

    QPointF position() const { return m_position; }
    void setPosition(QPointF mm) { m_position = mm; }
    void setPosition(double left, double top) { m_position = {left, top}; }

    // Draws the item; origin is the band's top-left corner in device pixels.
    virtual void paint(QPainter &painter, const MmScale &mm, QPointF origin) const = 0;

protected:
    ReportItem(ReportBand *band, const QString &name);

private:
    QPointF m_position;
};

// One line of text, left-aligned, as wide as its text.
class ReportText : public ReportItem {
    Q_OBJECT
public:
    // The item's own font, or else the layout's default font.
    QFont font() const;
    void setFont(const QFont &font) { m_font = font; }

    // The text the item prints now.
    virtual QString text() const = 0;

    void paint(QPainter &painter, const MmScale &mm, QPointF origin) const override;

protected:
    using ReportItem::ReportItem;

private:
    std::optional<QFont> m_font;
};

class ReportLabel : public ReportText {
    Q_OBJECT
public:
    ReportLabel(ReportBand *band, const QString &name, const QString &caption = QString());

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    QString text() const override { return m_caption; }

private:
    QString m_caption;
};

// Prints one column of the current row of a dataset; nothing while the
// dataset is closed or has no row.
class ReportField : public ReportText {
    Q_OBJECT
public:
    ReportField(ReportBand *band, const QString &name, DataSet *dataSet = nullptr,
                const QString &column = QString());

    DataSet *dataSet() const { return m_dataSet; }
    void setDataSet(DataSet *dataSet) { m_dataSet = dataSet; }
    QString column() const { return m_column; }
    void setColumn(const QString &column) { m_column = column; }

    // Throws EngineError for a column the dataset does not have.
    QString text() const override;

private:
    QPointer<DataSet> m_dataSet;
    QString m_column;
};

// A bitmap drawn from the top-left corner of its place, printed only while
// enabled.
class ReportPicture : public ReportItem {
    Q_OBJECT
public:
    ReportPicture(ReportBand *band, const QString &name, const QImage &image = QImage());

    QImage image() const { return m_image; }
    void setImage(const QImage &image) { m_image = image; }
    void setImage(const QPixmap &pixmap) { m_image = pixmap.toImage(); }

    // The printed size in millimetres; by default the image's own size at
    // its stored resolution.
    QSizeF size() const;
    void setSize(QSizeF mm) { m_size = mm; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    void paint(QPainter &painter, const MmScale &mm, QPointF origin) const override;

private:
    QImage m_image;
    QSizeF m_size;
    bool m_enabled = true;
};

// One bar series of a chart: the values of its columns in the current row
// become consecutive bars.
struct ChartSeries {
    QString title;
    QColor colour;
    QStringList columns;
};

// A bar chart of the current row of a dataset: the series' bars stand side
// by side per category, the legend names the series.
class ReportChart : public ReportItem {
    Q_OBJECT
public:
    // The chart is laid out in units of 1/Resolution inch and scaled onto the
    // device, so that its proportions do not depend on the device.
    static constexpr double Resolution = 96.0;

    ReportChart(ReportBand *band, const QString &name, DataSet *dataSet = nullptr);

    DataSet *dataSet() const { return m_dataSet; }
    void setDataSet(DataSet *dataSet) { m_dataSet = dataSet; }

    QList<ChartSeries> series() const { return m_series; }
    void addSeries(const ChartSeries &series) { m_series << series; }
    void clearSeries() { m_series.clear(); }

    QSizeF size() const { return m_size; }
    void setSize(QSizeF mm) { m_size = mm; }

    // Legend and axis labels; the layout's default font unless set.
    QFont font() const;
    void setFont(const QFont &font) { m_font = font; }

    // The value of one bar, 0 (no bar) for an empty value or a missing row.
    // Throws EngineError for an unknown column or a value that is no number.
    double value(const QString &column) const;

    // Builds the chart from the current row into the scene, which owns it,
    // laid out at size() in chart units.
    QChart *createChart(QGraphicsScene &scene) const;

    void paint(QPainter &painter, const MmScale &mm, QPointF origin) const override;

private:
    QPointer<DataSet> m_dataSet;
    QList<ChartSeries> m_series;
    QSizeF m_size;
    std::optional<QFont> m_font;
};

// A band of fixed height across the printable width. Its items are its
// children, painted in the order they were made.
class ReportBand : public QObject {
    Q_OBJECT
public:
    enum class Kind { PageHeader, Detail, Summary };

    ReportBand(ReportLayout *layout, Kind kind, double heightMm, const QString &name = QString());

    ReportLayout *layout() const;
    Kind kind() const { return m_kind; }
    double height() const { return m_height; }
    void setHeight(double mm) { m_height = mm; }

    QList<ReportItem *> items() const;

private:
    Kind m_kind;
    double m_height;
};

// One A4 portrait page made of bands, printed once each in the order page
// header, detail, summary, whatever order they were made in.
class ReportLayout : public QObject {
    Q_OBJECT
public:
    explicit ReportLayout(const QString &name = QString(), QObject *parent = nullptr);

    static QSizeF pageSize() { return {210.0, 297.0}; }

    QMarginsF margins() const { return m_margins; }
    void setMargins(const QMarginsF &mm) { m_margins = mm; }

    QFont defaultFont() const { return m_defaultFont; }
    void setDefaultFont(const QFont &font) { m_defaultFont = font; }

    // In print order.
    QList<ReportBand *> bands() const;

private:
    QMarginsF m_margins{10.0, 10.0, 10.0, 10.0};
    QFont m_defaultFont;
};
