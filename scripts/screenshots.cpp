// Drives the real windows on a fresh demo database, the way the tests do,
// and saves a PNG picture of each state worth looking at.
#include "app/attention.h"
#include "app/form1.h"
#include "dialogs/history.h"
#include "report/yearreport.h"
#include "app/globals.h"
#include "app/start.h"
#include "model/alias.h"
#include "platform/services.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "report/bericht.h"
#include "report/launch.h"
#include "resources/pictures.h"
#include "platform/ui/selector.h"
#include "core/dbadmin.h"
#include "core/history.h"
#include "platform/db/dataset.h"
#include "views/perspectives.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s_dir;

void save(QWidget *window, const QString &name)
{
    QApplication::processEvents();
    QTest::qWait(50);
    const QString file = QDir(s_dir).filePath(name + QStringLiteral(".png"));
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

template <class T>
T *find(QWidget *window, const char *name)
{
    T *child = window->findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

void choose(QWidget *window, const char *name, int index) { find<Selector>(window, name)->choose(index); }

void choose(QWidget *window, const char *name, const QString &item)
{
    auto *selector = find<Selector>(window, name);
    selector->choose(selector->items().indexOf(item));
}

void click(QWidget *window, const char *name) { find<QPushButton>(window, name)->click(); }

// What needs attention: the markers on both pages, the key-figure history
// and the year report's cover.
void attentionTour(const QString &lang)
{
    auto shot = [&](QWidget *window, const char *name) { save(window, lang + QString::fromLatin1(name)); };
    auto *pages = find<QTabWidget>(Form1, "PageControl1");
    pages->setCurrentIndex(0);
    choose(Form1, "ComboBox10", QStringLiteral("2005"));
    click(Form1, "Button4");
    shot(Form1, "19-attention-perspectives-2005");
    pages->setCurrentIndex(1);
    choose(Form1, "combobox1", 0);
    choose(Form1, "ComboBox2", 6);
    choose(Form1, "ComboBox3", QStringLiteral("2005"));
    click(Form1, "Button2");
    shot(Form1, "20-attention-objectives-financial-2005");
    Attention::openHistory(*Form1, 0, 2, 6);
    KeyFigureHistory *history = Attention::history(*Form1);
    history->resize(history->size());
    shot(history, "21-history-cash-ratio-year");
    history->hide();

    const QString pdf = QDir(s_dir).filePath(lang + QStringLiteral("22-year-report.pdf"));
    QFile::remove(pdf);
    QString error;
    if (!YearReport::write(*Form1->services().connection, *Form1, QStringLiteral("2005"), pdf, &error))
        qFatal("year report: %s", qPrintable(error));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                                   QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                   QStringLiteral("1"), pdf,
                                                   QDir(s_dir).filePath(lang + QStringLiteral("22-year-report-cover"))});
    std::printf("%s\n", qPrintable(pdf));
}

} // namespace

// Every page and both dialogs in one language and industry; the names
// start with the language ("de-", "en-").
void tour(int sprache, int branche)
{
    const QString lang = sprache == 0 ? QStringLiteral("en-") : QStringLiteral("de-");
    auto shot = [&](QWidget *window, const char *name) { save(window, lang + QString::fromLatin1(name)); };

    Connection connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
    Services services = Services::standard(connection);
    Start::createWindows(services);
    Form1->show();
    if (sprache == 1)
        shot(Form1, "01-start-screen");
    choose(Form1, "ComboBox6", sprache);
    choose(Form1, "ComboBox7", branche);
    shot(Form1, "02-start-screen-chosen");
    click(Form1, "Button3");
    shot(Form1, "03-perspectives-empty");

    choose(Form1, "ComboBox10", QStringLiteral("2005"));
    click(Form1, "Button4");
    shot(Form1, "04-perspectives-2005");

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(1);
    choose(Form1, "combobox1", 0);
    choose(Form1, "ComboBox2", 6);
    choose(Form1, "ComboBox3", QStringLiteral("2005"));
    click(Form1, "Button2");
    shot(Form1, "05-objectives-financial-2005-year");
    choose(Form1, "combobox1", 3);
    choose(Form1, "ComboBox2", 0);
    click(Form1, "Button2");
    shot(Form1, "06-objectives-process-2005-q1");
    choose(Form1, "combobox1", 2);
    click(Form1, "Button2");
    shot(Form1, "07-objectives-employee-2005-q1");

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(2);
    choose(Form1, "ComboBox4", 0);
    choose(Form1, "ComboBox5", 0);
    choose(Form1, "ComboBox8", 6);
    choose(Form1, "ComboBox9", QStringLiteral("2005"));
    click(Form1, "Button5");
    shot(Form1, "08-measures-goal-1-2005");
    click(Form1, "Button6");
    shot(eingabe_m, "09-measures-editor");
    choose(Form1, "ComboBox9", QStringLiteral("2010"));
    click(Form1, "Button6");
    shot(eingabe_m, "10-measures-editor-empty-list");
    // A recorded change of every measure of the goal and year: the editor
    // names the last one.
    {
        const ChangeHistory::Scope writer(connection.database(), ChangeHistory::Editor);
        Table measures(connection, QStringLiteral("history"));
        measures.setTableName(QStringLiteral("maßnahmen.DB"));
        measures.open();
        for (measures.first(); !measures.eof(); measures.next()) {
            measures.edit();
            measures.setText(QStringLiteral("Erfüllungsgrad_in_%"), QStringLiteral("90"));
            measures.post();
        }
    }
    choose(Form1, "ComboBox9", QStringLiteral("2005"));
    click(Form1, "Button6");
    shot(eingabe_m, "17-measures-editor-last-change");
    eingabe_m->hide();

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(3);
    const struct {
        int perspektive, raster;
        const char *name;
    } overviews[] = {{0, 0, "11-overview-financial-quarterly"}, {3, 1, "12-overview-process-half-yearly"},
                     {1, 2, "13-overview-customer-yearly"}, {2, 0, "14-overview-employee-quarterly"}};
    for (const auto &o : overviews) {
        choose(Form1, "ComboBox11", o.perspektive);
        choose(Form1, "ComboBox12", o.raster);
        click(Form1, "Button1");
        shot(Form1, o.name);
    }

    Form1->findChild<QAction *>(QStringLiteral("Kennzahlen1"))->trigger();
    choose(Eingabe_kennzahlen, "combobox1", 0);
    choose(Eingabe_kennzahlen, "combobox2", 1);
    choose(Eingabe_kennzahlen, "combobox3", QStringLiteral("2005"));
    click(Eingabe_kennzahlen, "Button1");
    shot(Eingabe_kennzahlen, "15-key-figures-2005");
    find<Selector>(Eingabe_kennzahlen, "combobox3")->type(QStringLiteral("2040"));
    click(Eingabe_kennzahlen, "Button1");
    shot(Eingabe_kennzahlen, "16-key-figures-year-without-row");
    {
        const ChangeHistory::Scope writer(connection.database(), ChangeHistory::Dialog);
        Table figures(connection, QStringLiteral("history"));
        figures.setTableName(QStringLiteral("kz_kap_quote.DB"));
        figures.open();
        figures.locate(QStringLiteral("Jahr"), QStringLiteral("2005"));
        figures.edit();
        figures.setText(QStringLiteral("Ist_Wert_Q1"), QStringLiteral("41"));
        figures.post();
    }
    find<Selector>(Eingabe_kennzahlen, "combobox3")->type(QStringLiteral("2005"));
    click(Eingabe_kennzahlen, "Button1");
    shot(Eingabe_kennzahlen, "18-key-figures-last-change");
    Eingabe_kennzahlen->hide();

    // Both report pages, through the same painter as the preview, as PNG.
    const int perspektive = sprache == 0 ? 3 : 0;
    ReportLaunch *report = Form2->findChild<ReportLaunch *>();
    report->prepare(perspektive, QStringLiteral("2005"));
    const QString pdf = QDir(s_dir).filePath(lang + QStringLiteral("17-report.pdf"));
    QFile::remove(pdf);
    QString error;
    if (!report->writePdf(pdf, &error))
        qFatal("report: %s", qPrintable(error));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), pdf,
                                                   QDir(s_dir).filePath(lang + QStringLiteral("17-report-page"))});
    std::printf("%s\n", qPrintable(pdf));

    attentionTour(lang);
    Start::destroyWindows();
}

// The sixteen cause-effect diagrams by industry, language and perspective.
void diagrams()
{
    for (int branche = 0; branche < 2; ++branche) {
        for (int english = 0; english < 2; ++english) {
            for (int p = 0; p < 4; ++p) {
                const QString file = QDir(s_dir).filePath(QStringLiteral("18-diagram-%1-%2-%3.png")
                                                              .arg(branche == 0 ? QStringLiteral("agriculture") : QStringLiteral("mining"),
                                                                   english ? QStringLiteral("en") : QStringLiteral("de"))
                                                              .arg(p));
                Pictures::causeEffectDiagram(branche, english, p).save(file);
                std::printf("%s\n", qPrintable(file));
            }
        }
    }
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    s_dir = app.arguments().value(1, QStringLiteral("shots"));
    QDir().mkpath(s_dir);

    QTemporaryDir temp;
    const QString database = temp.filePath(QStringLiteral("demo.sqlite"));
    DbAdmin::create(database, true, QDate::currentDate().year());
    qputenv("PROJEKT_BSC_DATABASE", database.toUtf8());

    Start::setUp();
    tour(1, 1);   // German, mining
    tour(0, 0);   // English, agriculture
    diagrams();
    return 0;
}
