#pragma once

#include <QObject>
#include <array>
#include <memory>

#include "platform/ui/lightslot.h"
#include "views/pagekit.h"

struct Services;
class DBText;
class DataSource;
class Query;
class QLabel;
class QPushButton;
class QWidget;
class Selector;
class Startwahl;

// Fourth page: one perspective's three key figures for the current
// calendar year, by quarter, half-year or the whole year, each with a light.
class OverviewPage : public QObject {
    Q_OBJECT
public:
    static constexpr int Rows = 3;
    static constexpr int Columns = 4;

    // Builds the page's controls on the sheet. The row queries Query6,
    // Query8 and Query9 and their data sources belong to the main window.
    OverviewPage(const Services &services, QWidget *sheet, const std::array<Query *, Rows> &queries,
                 const std::array<DataSource *, Rows> &sources, const Startwahl &wahl);
    ~OverviewPage() override;

    void ComboBox11Change();
    void Button1Click();

    Selector *ComboBox11;
    Selector *ComboBox12;
    QPushButton *Button1;
    QLabel *Label50;
    QLabel *Label15;
    QLabel *Label18;
    QLabel *Label16;
    QLabel *Label49;
    QLabel *Label19;
    QLabel *Label17;
    QLabel *Label20;

    // Headers of column c (0..3): IST, SOLL and status heading.
    std::array<std::array<QLabel *, 3>, Columns> headers{};
    // Value cells of row r and column c: IST, SOLL (DBText11 ... DBText34).
    DBText *istCell(int row, int column) const { return m_cells[row][column][0]; }
    DBText *sollCell(int row, int column) const { return m_cells[row][column][1]; }
    LightSlot &slot(int row, int column) { return *m_slots[row][column]; }
    PageKit::PerspectivePictures &pictures() { return *m_pictures; }

private:
    void writeCaptions(int perspektive);
    void setColumnVisible(int column, bool visible);

    const Services &m_services;
    const Startwahl &m_wahl;
    std::array<Query *, Rows> m_queries;
    std::array<std::array<std::array<DBText *, 2>, Columns>, Rows> m_cells{};
    std::array<std::array<std::unique_ptr<LightSlot>, Columns>, Rows> m_slots;
    std::unique_ptr<PageKit::PerspectivePictures> m_pictures;
};
