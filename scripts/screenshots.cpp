// Drives the real windows on a fresh demo database, the way the tests do,
// and saves a PNG picture of each state worth looking at.
#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "platform/ui/selector.h"
#include "tools/dbadmin.h"
#include "views/perspectives.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
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

} // namespace

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
    if (!Start::createWindows())
        return 1;
    Form1->show();
    save(Form1, QStringLiteral("01-start-screen"));

    find<Selector>(Form1, "ComboBox6")->choose(1);
    find<Selector>(Form1, "ComboBox7")->choose(1);
    save(Form1, QStringLiteral("02-start-screen-deutsch-bergbau"));

    find<QPushButton>(Form1, "Button3")->click();
    save(Form1, QStringLiteral("03-perspectives-empty"));

    choose(Form1, "ComboBox10", QStringLiteral("2005"));
    click(Form1, "Button4");
    save(Form1, QStringLiteral("04-perspectives-2005"));

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(1);
    choose(Form1, "combobox1", 0);
    choose(Form1, "ComboBox2", 6);
    choose(Form1, "ComboBox3", QStringLiteral("2005"));
    click(Form1, "Button2");
    save(Form1, QStringLiteral("05-objectives-financial-2005-year"));
    choose(Form1, "combobox1", 3);
    choose(Form1, "ComboBox2", 0);
    click(Form1, "Button2");
    save(Form1, QStringLiteral("06-objectives-process-2005-q1"));

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(2);
    choose(Form1, "ComboBox4", 0);
    choose(Form1, "ComboBox5", 0);
    choose(Form1, "ComboBox8", 6);
    choose(Form1, "ComboBox9", QStringLiteral("2005"));
    click(Form1, "Button5");
    save(Form1, QStringLiteral("12-measures-goal-1-2005"));
    click(Form1, "Button6");
    save(eingabe_m, QStringLiteral("13-measures-editor"));
    choose(Form1, "ComboBox9", QStringLiteral("2010"));
    click(Form1, "Button6");
    save(eingabe_m, QStringLiteral("14-measures-editor-empty-list"));
    eingabe_m->hide();

    find<QTabWidget>(Form1, "PageControl1")->setCurrentIndex(3);
    const struct {
        int perspektive, raster;
        const char *name;
    } overviews[] = {{0, 0, "09-overview-financial-quarterly"}, {3, 1, "10-overview-process-half-yearly"},
                     {1, 2, "11-overview-customer-yearly"}};
    for (const auto &o : overviews) {
        choose(Form1, "ComboBox11", o.perspektive);
        choose(Form1, "ComboBox12", o.raster);
        click(Form1, "Button1");
        save(Form1, QString::fromLatin1(o.name));
    }

    Form1->findChild<QAction *>(QStringLiteral("Kennzahlen1"))->trigger();
    choose(Eingabe_kennzahlen, "combobox1", 0);
    choose(Eingabe_kennzahlen, "combobox2", 1);
    choose(Eingabe_kennzahlen, "combobox3", QStringLiteral("2005"));
    click(Eingabe_kennzahlen, "Button1");
    save(Eingabe_kennzahlen, QStringLiteral("07-key-figures-2005"));
    find<Selector>(Eingabe_kennzahlen, "combobox3")->type(QStringLiteral("2040"));
    click(Eingabe_kennzahlen, "Button1");
    save(Eingabe_kennzahlen, QStringLiteral("08-key-figures-year-without-row"));
    Eingabe_kennzahlen->hide();

    Start::destroyWindows();
    return 0;
}
