#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "model/measureschoice.h"
#include "platform/ui/lightslot.h"
#include "views/pagekit.h"

struct Services;
class DBGrid;
class DBText;
class DataSource;
class Query;
class QLabel;
class QPushButton;
class QWidget;
class Selector;
class Startwahl;

// Third page: one goal's values for a period and year with its light, and
// the measures stored for the goal and year.
class MeasuresPage : public QObject, public MeasuresChoice {
    Q_OBJECT
public:
    // Builds the page's controls on the sheet. The value query Query5 and
    // the measures query Query7 with their data sources belong to the main
    // window.
    MeasuresPage(const Services &services, QWidget *sheet, Query *query5, DataSource *dataSource5, Query *query7, DataSource *dataSource7,
                 const Startwahl &wahl, const QStringList &years);
    ~MeasuresPage() override;

    // What "Maßnahmen einfügen / bearbeiten..." opens.
    void setEditorOpening(std::function<void()> open) { m_openEditor = std::move(open); }

    void ComboBox4Change();
    void ComboBox5Change();
    void ComboBox8Change();
    void ComboBox9Change();
    void Button5Click();
    void Button6Click();
    // Chooses the goal (perspective and position), the period and the year
    // as a user would, each choice followed by its handler, and displays.
    void showGoal(int perspektive, int position, int zeitraum, const QString &year);

    // MeasuresChoice
    QString zielText() const override;
    QString yearText() const override;
    void display() override { Button5Click(); }
    void rereadMeasures() override;

    Selector *ComboBox4;
    Selector *ComboBox5;
    Selector *ComboBox8;
    Selector *ComboBox9;
    QPushButton *Button5;
    QPushButton *Button6;
    QLabel *Label13;
    QLabel *Label14;
    QLabel *Label24;
    QLabel *Label25;
    QLabel *Label26;
    DBText *DBText9;
    DBText *DBText10;
    DBGrid *DBGrid1;

    LightSlot &light() { return *m_light; }
    PageKit::PerspectivePictures &pictures() { return *m_pictures; }

private:
    // The goal of the perspective and goal selectors: its number, or -1
    // when either holds typed text.
    int ziel() const;

    const Services &m_services;
    const Startwahl &m_wahl;
    Query *m_query5;
    Query *m_query7;
    std::unique_ptr<LightSlot> m_light;
    std::unique_ptr<PageKit::PerspectivePictures> m_pictures;
    std::function<void()> m_openEditor;
};
