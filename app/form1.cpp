#include "app/form1.h"

#include "app/captionswitch.h"
#include "dialogs/legacyimport.h"
#include "dialogs/sheettransfer.h"
#include "model/katalog.h"
#include "model/messages.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/ui/selector.h"
#include "platform/ui/guard.h"
#include "platform/ui/controls.h"
#include "resources/pictures.h"
#include "views/measures.h"
#include "views/objectives.h"
#include "views/overview.h"
#include "views/perspectives.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

#include <utility>

namespace {

using namespace Controls;

// The nine queries of the main window with their statements at creation,
// in the order they are opened.
struct Abfrage {
    int nr;
    const char *text;
};
const Abfrage Abfragen[] = {
    {2, "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta"},
    {1, "select ist_wert_q1,soll_wert_q1 from kz_ges_renta"},
    {3, "select ist_wert_q1,soll_wert_q1 from kz_kap_quote"},
    {4, "select ist_wert_q1,soll_wert_q1 from kz_liqui"},
    {5, "select ist_wert_q1,soll_wert_q1 from kz_ges_renta"},
    {7, "select * from maßnahmen where ziel =\"Steigerung der Gesamtrentabilität\" and Jahr =\"2007\""},
    {6, "select * from kz_ges_renta"},
    {8, "select * from kz_kap_quote"},
    {9, "select * from kz_liqui"},
};

struct Logo {
    const char *name;
    QRect rahmen;
};
const Logo Logos[] = {
    {"Image1", {40, 504, 305, 73}},
    {"Image2", {376, 504, 153, 65}},
    {"Image3", {560, 504, 193, 105}},
    {"Image5", {768, 504, 193, 105}},
};

const char *const Seitentitel[4] = {"Perspektiven", "Ziele", "Maßnahmen", "Übersicht"};

// Tabs drawn as flat buttons: no page frame, the chosen tab pressed in.
const char *const FlacheReiter =
    "QTabWidget::pane { border: none; }"
    "QTabBar::tab { background: transparent; border: 1px solid transparent; padding: 3px 10px; margin: 1px 2px; }"
    "QTabBar::tab:hover { border-color: palette(mid); }"
    "QTabBar::tab:selected { background: palette(midlight); border-color: palette(dark) palette(light) palette(light) palette(dark); }";

// The tab control calls back before it is first shown, so that the pages
// are built while it is still hidden and appear with it.
class PageTabs : public QTabWidget {
public:
    PageTabs(QWidget *parent, std::function<void()> beforeShow) : QTabWidget(parent), m_beforeShow(std::move(beforeShow)) {}
    void setVisible(bool visible) override
    {
        if (visible && m_beforeShow)
            m_beforeShow();   // may throw: the control then stays hidden
        QTabWidget::setVisible(visible);
    }

private:
    std::function<void()> m_beforeShow;
};

} // namespace

TForm1::TForm1(const Services &services) : m_services(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tarvo: Balance Scorecard"));
    setFont(defaultFont());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    buildMenu();
    buildStartScreen(client);

    PageControl1 = new PageTabs(client, [this] { buildPages(); });
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 24, 1009, 649);
    PageControl1->setStyleSheet(QString::fromLatin1(FlacheReiter));
    PageControl1->setAutoFillBackground(true);   // covers the start screen
    for (int i = 0; i < 4; ++i) {
        TabSheet[i] = new QWidget;
        TabSheet[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        TabSheet[i]->setAutoFillBackground(true);
        PageControl1->addTab(TabSheet[i], QString::fromUtf8(Seitentitel[i]));
    }
    PageControl1->setCurrentIndex(0);
    PageControl1->raise();   // in front of the start screen once shown
    PageControl1->hide();

    openQueries();
    m_years = ScorecardKatalog::yearsWithDatabase(m_services.database());

    setOuterGeometry(this, 1, -1, 1021, 729);
}

TForm1::~TForm1() = default;

// About 600 controls the start screen does not show: built when first needed.
void TForm1::buildPages()
{
    if (pagesBuilt())
        return;
    try {
        m_perspectives = new PerspectivesPage(m_services, TabSheet[0], query(2), dataSource(2), *this, m_years);
        m_objectives = new ObjectivesPage(m_services, TabSheet[1], {query(1), query(3), query(4)},
                                          {dataSource(1), dataSource(3), dataSource(4)}, *this, m_years);
        m_measures = new MeasuresPage(m_services, TabSheet[2], query(5), dataSource(5), query(7), dataSource(7),
                                      *this, m_years);
        m_overview = new OverviewPage(m_services, TabSheet[3], {query(6), query(8), query(9)},
                                      {dataSource(6), dataSource(8), dataSource(9)}, *this);
    } catch (...) {
        // No half-built page stays behind; the next request builds anew.
        for (QWidget *sheet : TabSheet) {
            while (!sheet->children().isEmpty())
                delete sheet->children().constFirst();
        }
        m_perspectives = nullptr;
        m_objectives = nullptr;
        m_measures = nullptr;
        m_overview = nullptr;
        throw;
    }
    m_pagesBuilt = true;
    for (const auto &wiring : std::exchange(m_pageWiring, {}))
        wiring();
}

void TForm1::whenPagesBuilt(std::function<void()> wiring)
{
    if (pagesBuilt())
        wiring();
    else
        m_pageWiring.push_back(std::move(wiring));
}

QString TForm1::PageChoice::zielText() const { return m_form.measuresPage()->zielText(); }

QString TForm1::PageChoice::yearText() const { return m_form.measuresPage()->yearText(); }

void TForm1::PageChoice::display() { m_form.measuresPage()->display(); }

void TForm1::PageChoice::rereadMeasures() { m_form.measuresPage()->rereadMeasures(); }

void TForm1::buildMenu()
{
    Datei1 = menuBar()->addMenu(QStringLiteral("Data"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    exportAction = Datei1->addAction(QString());
    exportAction->setObjectName(QStringLiteral("exportAction"));
    importAction = Datei1->addAction(QString());
    importAction->setObjectName(QStringLiteral("importAction"));
    legacyImportAction = Datei1->addAction(QString());
    legacyImportAction->setObjectName(QStringLiteral("legacyImportAction"));
    setSheetMenuTexts(false);
    Beenden1 = Datei1->addAction(QStringLiteral("Exit program"));
    Beenden1->setObjectName(QStringLiteral("Beenden1"));
    Einagbe1 = menuBar()->addMenu(QStringLiteral("Enter"));
    Einagbe1->setObjectName(QStringLiteral("Einagbe1"));
    Kennzahlen1 = Einagbe1->addAction(QStringLiteral("Financial ratios "));
    Kennzahlen1->setObjectName(QStringLiteral("Kennzahlen1"));
    About1 = menuBar()->addMenu(QStringLiteral("About"));
    About1->setObjectName(QStringLiteral("About1"));
    Help1 = About1->addAction(QStringLiteral("Help"));   // has no handler
    Help1->setObjectName(QStringLiteral("Help1"));

    connectGuarded(m_services, Beenden1, &QAction::triggered, this, &TForm1::Beenden1Click);
    connectGuarded(m_services, Kennzahlen1, &QAction::triggered, this, &TForm1::Kennzahlen1Click);
    connectGuarded(m_services, exportAction, &QAction::triggered, this, &TForm1::exportClick);
    connectGuarded(m_services, importAction, &QAction::triggered, this, &TForm1::importClick);
    connectGuarded(m_services, legacyImportAction, &QAction::triggered, this, &TForm1::legacyImportClick);
}

void TForm1::setSheetMenuTexts(bool german)
{
    exportAction->setText(Messages::mainWindow(Messages::MainWindow::ExportMenu, !german));
    importAction->setText(Messages::mainWindow(Messages::MainWindow::ImportMenu, !german));
    legacyImportAction->setText(Messages::mainWindow(Messages::MainWindow::LegacyImportMenu, !german));
}

void TForm1::buildStartScreen(QWidget *client)
{
    Label8 = label(client, QStringLiteral("Label8"), QStringLiteral("Balanced Scorecard"), {328, 152}, arial(27));
    Label12 = label(client, QStringLiteral("Label12"), QStringLiteral("TARVO II - Kelmora"), {40, 472}, arial(16));
    ComboBox6 = selector(client, QStringLiteral("ComboBox6"), QStringLiteral("Select your language..."), {376, 216}, 145,
                        {QStringLiteral("English"), QStringLiteral("Deutsch")}, true);
    ComboBox7 = selector(client, QStringLiteral("ComboBox7"), QStringLiteral("industry..."), {376, 256}, 145, {}, false);
    Button3 = button(client, QStringLiteral("Button3"), QStringLiteral("continue..."), {376, 296, 145, 25}, false);
    QLabel **bilder[4] = {&Image1, &Image2, &Image3, &Image5};
    for (int i = 0; i < 4; ++i)
        *bilder[i] = picture(client, QString::fromLatin1(Logos[i].name), Logos[i].rahmen, [i] { return Pictures::logo(i); });

    connectGuarded(m_services, ComboBox6, &Selector::changed, this, &TForm1::ComboBox6Change);
    connectGuarded(m_services, ComboBox7, &Selector::changed, this, &TForm1::ComboBox7Change);
    connectGuarded(m_services, Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
}

void TForm1::openQueries()
{
    for (int nr = 1; nr <= 9; ++nr) {
        m_queries[nr - 1] = new Query(*m_services.connection, QStringLiteral("Query%1").arg(nr), this);
        m_sources[nr - 1] = new DataSource(QStringLiteral("DataSource%1").arg(nr), m_queries[nr - 1], this);
        connect(m_sources[nr - 1], &DataSource::failed, this, [this](const QString &text) { m_services.tell(text); });
    }
    for (const Abfrage &a : Abfragen) {
        query(a.nr)->setSql(QString::fromUtf8(a.text));
        query(a.nr)->open();
    }
}

int TForm1::sprache() const { return ComboBox6->itemIndex(); }

int TForm1::branche() const { return ComboBox7->itemIndex(); }

void TForm1::ComboBox6Change()
{
    const QStringList *branchen = nullptr;
    static const QStringList englisch{QStringLiteral("agriculture"), QStringLiteral("mining industry")};
    static const QStringList deutsch{QStringLiteral("Landwirtschaft"), QStringLiteral("Bergbau")};
    QString text;
    if (sprache() == 0) {
        branchen = &englisch;
        text = QStringLiteral("industry...");
    } else if (sprache() == 1) {
        branchen = &deutsch;
        text = QStringLiteral("Branche...");
    } else {
        return;
    }
    ComboBox7->setEnabled(true);
    ComboBox7->setText(text);
    ComboBox7->clearItems();
    ComboBox7->addItems(*branchen);
}

void TForm1::ComboBox7Change()
{
    if (sprache() == 0) {
        Button3->setEnabled(true);
        Button3->setText(QStringLiteral("continue..."));
    } else if (sprache() == 1) {
        Button3->setEnabled(true);
        Button3->setText(QStringLiteral("weiter..."));
    }
}

void TForm1::Button3Click()
{
    PageControl1->show();
    m_perspectives->setBranche(branche());
    setSheetMenuTexts(!englisch());
    if (sprache() == 0)   // German keeps every caption as created
        switchToEnglish();
    emit languageChosen();
}

void TForm1::addFileAction(QAction *action)
{
    action->setParent(Datei1);
    Datei1->insertAction(Beenden1, action);
}

void TForm1::showPage(int index) { PageControl1->setCurrentWidget(TabSheet[size_t(index)]); }

// Applies the English captions to the main window and both dialogs.
void TForm1::switchToEnglish()
{
    applyCaptions(this, EnglishSwitch::mainWindow(branche()));
    if (m_switchOthers)
        m_switchOthers();
}

void TForm1::Beenden1Click() { close(); }

void TForm1::Kennzahlen1Click()
{
    if (m_keyFigureOpening)
        m_keyFigureOpening();
}

void TForm1::exportClick() { SheetTransfer::exportToSpreadsheet(m_services, this, *this); }

void TForm1::importClick() { SheetTransfer::importFromSpreadsheet(m_services, this, *this); }

void TForm1::legacyImportClick() { LegacyTransfer::importOldTables(m_services, this, *this); }

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever else is open,
    // once what was typed and not saved is settled.
    if (m_beforeExit && !m_beforeExit()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}
