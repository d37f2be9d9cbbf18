#pragma once

#include <QTableWidget>
#include <QVector>
#include <QWidget>

#include "model/history.h"

struct Services;
class QChart;
class QChartView;
class QPainter;
class QPushButton;
class Selector;
class Startwahl;

// The values of a table as text that can be copied: tab between columns,
// one line per row, the column heads first.
class CopyTable : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    // The selected rows, or all rows when none is selected.
    QString copyText() const;
    void copy() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A strip of one coloured cell per year, beneath the history chart and
// aligned with the chart's years.
class LightStrip : public QWidget {
    Q_OBJECT
public:
    LightStrip(QChart *chart, QWidget *parent);
    void setYears(const QVector<History::Year> &years) { m_years = years; update(); }
    // Draws the cells into a rectangle whose left and width match the chart's.
    void paintCells(QPainter &painter, const QRectF &area, double xScale) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QChart *m_chart;
    QVector<History::Year> m_years;
};

// "Entwicklung der Kennzahl": one key figure's actual and target value of
// a period over every year its table holds, as a chart with the light of
// each year beneath and as a table beside it, saved as PDF or PNG.
class KeyFigureHistory : public QWidget {
    Q_OBJECT
public:
    KeyFigureHistory(const Services &services, const Startwahl &wahl, QWidget *owner);

    // Shows the window in the current language with the key figure of a
    // perspective (0..3, position 0..2) and a period (0..6), displayed.
    void open(int perspektive, int position, int zeitraum);

    void perspectiveChange();
    void figureChange();
    void periodChange();
    // Reads the chosen key figure's years (one statement) and shows them;
    // nothing when a selector holds typed text.
    void display();
    void savePdfClick();
    void savePngClick();

    // Writes the chart, its lights and the values; false with the reason.
    bool writePdf(const QString &file, QString *error) const;
    bool writePng(const QString &file, QString *error) const;

    const QVector<History::Year> &years() const { return m_years; }

    Selector *perspectiveBox;
    Selector *figureBox;
    Selector *periodBox;
    QChartView *historyChart;
    LightStrip *lightStrip;
    CopyTable *valueTable;
    QPushButton *savePdfButton;
    QPushButton *savePngButton;

private:
    void applyLanguage();
    void fillFigures();
    int ziel() const;
    QString chartTitle() const;
    QImage picture() const;
    void showFailure(const QString &error) const;

    const Services &m_services;
    const Startwahl &m_wahl;
    QChart *m_chart;
    QVector<History::Year> m_years;
    bool m_english = false;
};
