#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "platform/ui/lightslot.h"
#include "views/pagekit.h"

struct Services;
class ClickLabel;
class DBText;
class DataSource;
class Query;
class QLabel;
class QPushButton;
class QWidget;
class Selector;
class Startwahl;

// Second page: the three goals of one perspective for one period and year,
// each with its actual and target value and a light.
class ObjectivesPage : public QObject {
    Q_OBJECT
public:
    // The report of a perspective (item index) and a year text.
    using ReportLaunch = std::function<void(int perspektive, const QString &jahr)>;

    // Builds the page's controls on the sheet. The three row queries and
    // their data sources (Query1, Query3, Query4) belong to the main window.
    ObjectivesPage(const Services &services, QWidget *sheet, const std::array<Query *, 3> &queries, const std::array<DataSource *, 3> &sources,
                   const Startwahl &wahl, const QStringList &years);
    ~ObjectivesPage() override;

    void setReportLaunch(ReportLaunch launch) { m_report = std::move(launch); }

    void combobox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void Button2Click();
    void Button7Click();
    void info_finanz();
    void info_finanz2();
    void info_finanz3();

    Selector *combobox1;
    Selector *ComboBox2;
    Selector *ComboBox3;
    QPushButton *Button2;
    QPushButton *Button7;
    QLabel *Label9;
    QLabel *Label10;
    QLabel *Label11;
    // Goal and key-figure captions of rows 1 to 3.
    QLabel *Label1;
    ClickLabel *Label4;
    QLabel *Label2;
    ClickLabel *Label6;
    QLabel *Label3;
    ClickLabel *Label7;
    ClickLabel *info1;
    ClickLabel *info2;
    ClickLabel *info3;
    // IST and SOLL fields of rows 1 to 3.
    DBText *DBText1;
    DBText *DBText2;
    DBText *DBText5;
    DBText *DBText6;
    DBText *DBText7;
    DBText *DBText8;

    LightSlot &slot(int row) { return *m_slots[row - 1]; }
    PageKit::PerspectivePictures &pictures() { return *m_pictures; }

signals:
    // A key-figure caption was double-clicked: its row (0 to 2), the
    // perspective last displayed (0 before the first display, as the
    // captions are) and the chosen period (the year when none is).
    void keyFigureDoubleClicked(int perspektive, int position, int zeitraum);
    // The display begins, and has judged its three rows.
    void displaying();
    void displayed();

private:
    struct RowControls {
        QLabel *goal;
        QLabel *figure;
        DBText *ist;
        DBText *soll;
        Query *query;
    };
    void showInfo(int row);

    const Services &m_services;
    const Startwahl &m_wahl;
    std::array<RowControls, 3> m_rows{};
    std::array<std::unique_ptr<LightSlot>, 3> m_slots;
    std::unique_ptr<PageKit::PerspectivePictures> m_pictures;
    ReportLaunch m_report;
    int m_shown = 0;   // the perspective last displayed
};
