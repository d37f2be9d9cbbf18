// The English caption switch of the main window and both dialogs.
#include "fixture_windows.h"

#include "app/captionswitch.h"
#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "model/englishswitch.h"
#include "model/messages.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/lightslot.h"
#include "platform/ui/selector.h"
#include "report/bericht.h"
#include "views/measures.h"
#include "views/objectives.h"
#include "views/overview.h"
#include "views/perspectives.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTest>

namespace {

QLabel *label(QWidget *window, const char *name) { return TestWindows::findIn<QLabel>(window, QString::fromLatin1(name)); }
Selector *selector(QWidget *window, const char *name) { return TestWindows::findIn<Selector>(window, QString::fromLatin1(name)); }

// Text, place and items of every control of the three windows.
QStringList snapshot()
{
    QStringList lines;
    for (QWidget *window : std::initializer_list<QWidget *>{Form1, Eingabe_kennzahlen, eingabe_m}) {
        lines << window->objectName() + QLatin1Char('=') + window->windowTitle();
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (w->objectName().isEmpty())
                continue;
            QString text;
            if (auto *l = qobject_cast<QLabel *>(w))
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                text = b->text();
            else if (auto *s = qobject_cast<Selector *>(w))
                text = s->text() + QLatin1Char('|') + s->items().join(QLatin1Char(','));
            lines << QStringLiteral("%1 %2,%3 %4").arg(w->objectName()).arg(w->x()).arg(w->y()).arg(text);
        }
    }
    auto *tabs = TestWindows::findIn<QTabWidget>(Form1, QStringLiteral("PageControl1"));
    for (int i = 0; i < tabs->count(); ++i)
        lines << tabs->tabText(i);
    return lines;
}

// What the pages and the dialog show for the same item indexes: values and
// lights, language aside.
QStringList shownFor(int sprache, const QDateTime &now)
{
    QStringList shown;
    TestWindows w(true);
    w.services().setNow(now);
    w.continueWith(sprache, 1);
    ObjectivesPage *o = Form1->objectivesPage();
    o->combobox1->choose(1);
    o->ComboBox2->choose(4);
    o->ComboBox3->choose(3);
    o->Button2->click();
    for (DBText *t : {o->DBText1, o->DBText2, o->DBText5, o->DBText6, o->DBText7, o->DBText8})
        shown << t->text();
    for (int r = 1; r <= 3; ++r)
        shown << QString::number(o->slot(r).state());

    MeasuresPage *m = Form1->measuresPage();
    m->ComboBox4->choose(3);
    m->ComboBox5->choose(2);
    m->ComboBox8->choose(6);
    m->ComboBox9->choose(4);
    m->Button5->click();
    shown << m->DBText9->text() << m->DBText10->text() << QString::number(m->light().state()) << m->zielText();

    OverviewPage *v = Form1->overviewPage();
    v->ComboBox11->choose(2);
    v->ComboBox12->choose(1);
    v->Button1->click();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c)
            shown << v->istCell(r, c)->text() << v->sollCell(r, c)->text() << QString::number(v->slot(r, c).state());
    }

    Eingabe_kennzahlen->combobox1->choose(1);
    Eingabe_kennzahlen->combobox2->choose(2);
    Eingabe_kennzahlen->combobox3->choose(2);
    Eingabe_kennzahlen->Button1->click();
    shown << Eingabe_kennzahlen->Table1->tableName() << Eingabe_kennzahlen->edits[13]->text();
    return shown;
}

} // namespace

class TestEnglish : public QObject {
    Q_OBJECT

private slots:
    // A renamed control must not drop out of the switch unseen: every name
    // of every table is exactly one control of its window.
    // Every message of every window's table comes in both languages, with
    // the same placeholders in each.
    void everyMessageComesInBothLanguages()
    {
        const auto check = [](const QString &german, const QString &english, const char *where) {
            QVERIFY2(!german.isEmpty() && !english.isEmpty(), where);
            static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
            QStringList de, en;
            for (const auto &m : placeholder.globalMatch(german))
                de << m.captured();
            for (const auto &m : placeholder.globalMatch(english))
                en << m.captured();
            de.sort();
            en.sort();
            QVERIFY2(de == en, qPrintable(german + QStringLiteral(" / ") + english));
        };
        for (int id = 0; id <= int(Messages::KeyFigure::Unsaved); ++id)
            check(Messages::keyFigure(Messages::KeyFigure(id), false), Messages::keyFigure(Messages::KeyFigure(id), true), "key-figure dialog");
        for (int id = 0; id <= int(Messages::Measures::Count); ++id)
            check(Messages::measures(Messages::Measures(id), false), Messages::measures(Messages::Measures(id), true), "measures editor");
        for (int id = 0; id <= int(Messages::Report::FileNamePrefix); ++id)
            check(Messages::report(Messages::Report(id), false), Messages::report(Messages::Report(id), true), "report");
        for (int id = 0; id <= int(Messages::MainWindow::ImportMenu); ++id)
            check(Messages::mainWindow(Messages::MainWindow(id), false), Messages::mainWindow(Messages::MainWindow(id), true), "main window");
        for (int id = 0; id <= int(Messages::Sheets::ConfirmMany); ++id)
            check(Messages::sheets(Messages::Sheets(id), false), Messages::sheets(Messages::Sheets(id), true), "spreadsheets");
        for (int id = 0; id <= int(Messages::Legacy::OnlyNew); ++id)
            check(Messages::legacy(Messages::Legacy(id), false), Messages::legacy(Messages::Legacy(id), true), "old tables");
        QCOMPARE(Messages::caption(false), QStringLiteral("Meldungsfenster"));
        QCOMPARE(Messages::caption(true), QStringLiteral("Information"));
    }

    void everyRowNamesOneControlOfItsWindow()
    {
        TestWindows w;
        Form1->perspectivesPage();   // the switch runs once the pages are built
        const struct {
            QWidget *window;
            QList<EnglishSwitch::Row> rows;
        } tables[] = {{Form1, EnglishSwitch::mainWindow(0)},
                      {Eingabe_kennzahlen, EnglishSwitch::keyFigureDialog()},
                      {eingabe_m, EnglishSwitch::measuresEditor()}};
        for (const auto &t : tables) {
            for (const EnglishSwitch::Row &row : t.rows) {
                if (!row.name.isEmpty())
                    QVERIFY2(t.window->findChildren<QWidget *>(row.name).size() == 1, qPrintable(row.name));
            }
            QCOMPARE(applyCaptions(t.window, t.rows), QStringList());
        }
        QTest::ignoreMessage(QtWarningMsg, "caption switch: no control Label99 in Form1");
        QCOMPARE(applyCaptions(Form1, {{QStringLiteral("Label99"), QStringLiteral("x"), {}, -1}}), QStringList{"Label99"});
    }

    void mainWindowInEnglish()
    {
        TestWindows w;
        w.continueWith(0, 1);
        auto *tabs = w.find<QTabWidget>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Perspectives"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("General view"));
        QCOMPARE(selector(Form1, "ComboBox10")->text(), QStringLiteral("Year:"));
        QCOMPARE(label(Form1, "Label40")->text(), QStringLiteral("Duration of the job execution reduce:"));
        QCOMPARE(label(Form1, "Label36")->text(), QStringLiteral("Quality awareness of the coworkers increase:"));
        QCOMPARE(label(Form1, "Label16")->text(), QStringLiteral("Increase of financial independence "));
        QCOMPARE(label(Form1, "Label18")->text(), QStringLiteral("Total profitabilit [in %]:"));
        QCOMPARE(label(Form1, "Label4")->text(), QStringLiteral("Total profitabilit [in %]:"));
        QCOMPARE(w.find<QAbstractButton>(QStringLiteral("Button6"))->text(), QStringLiteral("Measures add/edit..."));
        QCOMPARE(w.find<QAbstractButton>(QStringLiteral("Button7"))->text(), QStringLiteral("Show report..."));

        // Selectors: English items in the German order, nothing chosen.
        const QStringList perspectives{"Financial perspective", "Customer perspective", "Coworker perspective", "Process perspective"};
        for (const char *name : {"combobox1", "ComboBox4", "ComboBox11"}) {
            QCOMPARE(selector(Form1, name)->items(), perspectives);
            QCOMPARE(selector(Form1, name)->itemIndex(), -1);
            QCOMPARE(selector(Form1, name)->text(), QStringLiteral("Perspectives:"));
        }
        QCOMPARE(selector(Form1, "ComboBox8")->items().value(4), QStringLiteral("1. Half-year"));
        QCOMPARE(selector(Form1, "ComboBox2")->items().size(), 7);
        QCOMPARE(selector(Form1, "ComboBox12")->items(), (QStringList{"quarterly", "half-yearly", "yearly"}));
        QCOMPARE(selector(Form1, "ComboBox5")->text(), QStringLiteral("Objectives:"));
        QCOMPARE(selector(Form1, "ComboBox9")->items().first(), QStringLiteral("2003"));   // years stay

        // Moved labels keep their top; the status headings stay.
        const struct {
            const char *name;
            QPoint pos;
            const char *text;
        } places[] = {{"Label9", {510, 112}, "Actual value:"}, {"Label10", {600, 112}, "Target value:"},
                      {"Label24", {550, 72}, "Actual value:"}, {"Label25", {638, 72}, "Target value:"},
                      {"Label21", {295, 72}, "Act. value:"},   {"Label54", {896, 72}, "Ta. value:"},
                      {"Label46", {613, 72}, "Status:"},       {"Label48", {788, 72}, "Status:"},
                      {"Label44", {432, 72}, "Status:"},       {"Label55", {960, 72}, "Status:"},
                      {"Label11", {720, 112}, "Status:"},      {"Label26", {739, 72}, "Status:"},
                      {"Label42", {603, 72}, "Status:"}};
        for (const auto &p : places) {
            QCOMPARE(label(Form1, p.name)->pos(), p.pos);
            QCOMPARE(label(Form1, p.name)->text(), QString::fromUtf8(p.text));
        }

        // Not touched: the window caption, the menu, the start screen, the
        // grid's titles, the report window.
        QCOMPARE(Form1->windowTitle(), QStringLiteral("Tarvo: Balance Scorecard"));
        QCOMPARE(Form1->Kennzahlen1->text(), QStringLiteral("Financial ratios "));
        QCOMPARE(label(Form1, "Label8")->text(), QStringLiteral("Balanced Scorecard"));
        QCOMPARE(Form1->measuresPage()->DBGrid1->model()->headerData(5, Qt::Horizontal).toString(),
                 QStringLiteral("Erfüllungsgrad_in_%"));
        QCOMPARE(Form2->windowTitle(), QStringLiteral("Bericht - Balanced Scorecard"));
    }

    void goal11InEnglishFollowsTheIndustry()
    {
        TestWindows w;
        w.continueWith(0, 0);
        QCOMPARE(label(Form1, "Label40")->text(), QStringLiteral("Increase of the portion innovative products:"));
    }

    void dialogsInEnglish()
    {
        TestWindows w;
        w.continueWith(0, 1);
        QCOMPARE(Eingabe_kennzahlen->windowTitle(), QStringLiteral("Enter financial ratios"));
        QCOMPARE(Eingabe_kennzahlen->combobox1->items().value(3), QStringLiteral("Process perspective"));
        QCOMPARE(Eingabe_kennzahlen->combobox2->text(), QStringLiteral("Financial ratios:"));
        QCOMPARE(Eingabe_kennzahlen->Button3->text(), QStringLiteral("Save..."));
        QCOMPARE(Eingabe_kennzahlen->rowLabels[6]->text(), QStringLiteral("Year:"));
        QCOMPARE(Eingabe_kennzahlen->Label2->text(), QStringLiteral("Target value:"));
        QCOMPARE(eingabe_m->windowTitle(), QStringLiteral("Enter Measures"));
        QCOMPARE(eingabe_m->Label1->pos(), QPoint(140, 56));
        QCOMPARE(eingabe_m->Label5->pos(), QPoint(68, 357));
        QCOMPARE(eingabe_m->Label7->text(), QStringLiteral("Attributes"));
        QCOMPARE(eingabe_m->Button_M_bearbeiten->text(), QStringLiteral("Edit Measure... "));
        QCOMPARE(eingabe_m->speichern->text(), QStringLiteral("Save..."));
        QCOMPARE(eingabe_m->Label10->text(), QStringLiteral("Label10"));
    }

    // In German the switch is not run: nothing but goal 11's caption changes,
    // nothing moves.
    void germanChangesNothing()
    {
        TestWindows w;
        Form1->ComboBox6->choose(1);
        Form1->ComboBox7->choose(0);
        Form1->perspectivesPage();   // the pages' controls are in the picture too
        QStringList before = snapshot();
        Form1->Button3->click();
        QStringList after = snapshot();
        const auto label40 = [](const QString &line) { return line.startsWith(QLatin1String("Label40 ")); };
        before.erase(std::remove_if(before.begin(), before.end(), label40), before.end());
        after.erase(std::remove_if(after.begin(), after.end(), label40), after.end());
        QCOMPARE(after, before);
    }

    // The same item index means the same perspective, period, granularity
    // and key figure in both languages.
    void sameChoicesShowTheSameInBothLanguages()
    {
        const QDateTime now(QDate(2006, 3, 1), QTime(9, 0));
        const QStringList german = shownFor(1, now);
        const QStringList english = shownFor(0, now);
        QCOMPARE(english, german);
        QVERIFY(german.contains(QStringLiteral("Verringerung der Auslieferungszeit")));
    }
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
