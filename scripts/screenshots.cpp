// Drives the real windows on a fresh demo database, the way the tests do,
// and saves a PNG picture of each state worth looking at.
#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/ui/selector.h"
#include "tools/dbadmin.h"
#include "views/perspectives.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QPushButton>
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

    auto *jahr = find<Selector>(Form1, "ComboBox10");
    jahr->choose(jahr->items().indexOf(QStringLiteral("2005")));
    find<QPushButton>(Form1, "Button4")->click();
    save(Form1, QStringLiteral("04-perspectives-2005"));

    Start::destroyWindows();
    return 0;
}
