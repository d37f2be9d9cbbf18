#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "model/measureschoice.h"
#include "model/startwahl.h"

struct Services;
class Selector;
class DataSource;
class MeasuresPage;
class ObjectivesPage;
class OverviewPage;
class PerspectivesPage;
class Query;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

// The main window: menu, start screen and the tab control with the pages.
// It is the one place that reads the language and industry choices.
class TForm1 : public QMainWindow, public Startwahl {
    Q_OBJECT
public:
    // Builds the menu and the start screen and opens the nine queries;
    // throws EngineError when one cannot be opened. The four pages are built
    // when the tab control is first shown or a page is first asked for.
    // The services outlive the window.
    explicit TForm1(const Services &services);
    ~TForm1() override;

    int sprache() const override;   // Sprache
    int branche() const override;   // Branche

    void ComboBox6Change();
    void ComboBox7Change();
    void Button3Click();
    // What the English switch applies to the other windows (the dialogs).
    void setEnglishForOthers(std::function<void()> apply) { m_switchOthers = std::move(apply); }
    // Opens the key-figure dialog (menu "Enter", "Financial ratios ").
    void setKeyFigureOpening(std::function<void()> open) { m_keyFigureOpening = std::move(open); }
    // Asked before the program ends, by any way of closing the main
    // window; false keeps it running.
    void setBeforeExit(std::function<bool()> settle) { m_beforeExit = std::move(settle); }
    void Beenden1Click();
    void Kennzahlen1Click();
    // A feature's item in the "Data" menu, beside the others before "Exit
    // program"; the menu owns it.
    void addFileAction(QAction *action);
    // Shows a page of the tab control (0 to 3).
    void showPage(int index);
    void exportClick();
    void importClick();
    void legacyImportClick();

    // Menu
    QMenu *Datei1;
    QAction *exportAction;   // key figures and measures to a spreadsheet file
    QAction *importAction;   // key figures from a CSV file
    QAction *legacyImportAction;   // the old program's tables
    QAction *Beenden1;
    QMenu *Einagbe1;
    QAction *Kennzahlen1;
    QMenu *About1;
    QAction *Help1;

    // Start screen
    QLabel *Label8;
    QLabel *Label12;
    Selector *ComboBox6;
    Selector *ComboBox7;
    QPushButton *Button3;
    QLabel *Image1;
    QLabel *Image2;
    QLabel *Image3;
    QLabel *Image5;

    QTabWidget *PageControl1;
    std::array<QWidget *, 4> TabSheet;   // TabSheet1 ... TabSheet4

    // Data components, Query1 ... Query9 with DataSource1 ... DataSource9.
    Query *query(int nr) const { return m_queries[nr - 1]; }
    DataSource *dataSource(int nr) const { return m_sources[nr - 1]; }

    // The pages, built on the first request; throws EngineError when
    // building them fails (nothing of them stays then).
    PerspectivesPage *perspectivesPage() { buildPages(); return m_perspectives; }
    ObjectivesPage *objectivesPage() { buildPages(); return m_objectives; }
    MeasuresPage *measuresPage() { buildPages(); return m_measures; }
    OverviewPage *overviewPage() { buildPages(); return m_overview; }
    bool pagesBuilt() const { return m_pagesBuilt; }
    // Runs what ties others to the pages once they exist: at once when they
    // do, else right after they are built, in the order given.
    void whenPagesBuilt(std::function<void()> wiring);
    // The Measures page as the measures editor sees it, usable before the
    // page exists (it is built when first used).
    MeasuresChoice &measuresChoice() { return m_measuresChoice; }
    // What the window and its pages were given: questions, files, clock.
    const Services &services() const { return m_services; }
    // The items of every year selector, read from the database at creation.
    QStringList years() const { return m_years; }

signals:
    // "Start" was pressed: the language and industry are chosen.
    void languageChosen();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildStartScreen(QWidget *client);
    void buildMenu();
    void openQueries();
    void buildPages();
    void switchToEnglish();
    void setSheetMenuTexts(bool german);

    const Services &m_services;
    std::array<Query *, 9> m_queries{};
    std::array<DataSource *, 9> m_sources{};
    PerspectivesPage *m_perspectives = nullptr;
    ObjectivesPage *m_objectives = nullptr;
    MeasuresPage *m_measures = nullptr;
    OverviewPage *m_overview = nullptr;
    QStringList m_years;
    std::function<void()> m_switchOthers;
    std::function<bool()> m_beforeExit;
    std::function<void()> m_keyFigureOpening;
    bool m_pagesBuilt = false;
    std::vector<std::function<void()>> m_pageWiring;

    class PageChoice : public MeasuresChoice {
    public:
        explicit PageChoice(TForm1 &form) : m_form(form) {}
        QString zielText() const override;
        QString yearText() const override;
        void display() override;
        void rereadMeasures() override;

    private:
        TForm1 &m_form;
    };
    PageChoice m_measuresChoice{*this};
};
