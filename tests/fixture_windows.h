#pragma once

#include "fixture.h"
#include "fixture_services.h"

#include <QWidget>
#include <memory>

class TForm1;

// The four real windows on a fresh database, as the program creates them,
// given test services (scripted answers, chosen files, a clock of the
// test's own). The windows go when the fixture goes.
class TestWindows {
public:
    explicit TestWindows(bool demo = false);
    ~TestWindows();

    TestDatabase &db() { return *m_db; }
    TestServices &services() { return m_services; }
    TestServices &asker() { return m_services; }   // the questions asked and their answers
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
    TestServices m_services;
    std::unique_ptr<TestDatabase> m_db;
};
