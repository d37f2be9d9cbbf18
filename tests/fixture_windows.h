#pragma once

#include "fixture.h"
#include "fixture_asker.h"

#include <QWidget>
#include <memory>

class TForm1;

// The four real windows on a fresh database, as the program creates them,
// with a scripted asker. The windows go when the fixture goes.
class TestWindows {
public:
    explicit TestWindows(bool demo = false);
    ~TestWindows();

    TestDatabase &db() { return *m_db; }
    ScriptedAsker &asker() { return m_asker; }
    TForm1 *form1() const;

    // A control of the main window by its name; fails the test when missing.
    template <class T>
    T *find(const QString &name) const
    {
        return findIn<T>(window(), name);
    }
    // A control of any window by its name; fails the test when missing.
    template <class T>
    static T *findIn(QWidget *window, const QString &name)
    {
        T *child = window->findChild<T *>(name);
        if (!child)
            qFatal("no control named %s in %s", qPrintable(name), qPrintable(window->objectName()));
        return child;
    }

    // Chooses language and industry by item index (-1: leave unchosen) and
    // presses the continue button.
    void continueWith(int sprache, int branche);

private:
    QWidget *window() const;
    ScriptedAsker m_asker;
    std::unique_ptr<TestDatabase> m_db;
};
