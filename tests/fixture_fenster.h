#pragma once

#include "fixture.h"
#include "fixture_asker.h"

#include <QWidget>
#include <memory>

class TForm1;

// The four real windows on a fresh database, as the program creates them,
// with a scripted asker. The windows go when the fixture goes.
class TestFenster {
public:
    explicit TestFenster(bool demo = false);
    ~TestFenster();

    TestDatenbank &db() { return *m_db; }
    ScriptedAsker &asker() { return m_asker; }
    TForm1 *form1() const;

    // A control of the main window by its name; fails the test when missing.
    template <class T>
    T *find(const QString &name) const
    {
        T *child = window()->findChild<T *>(name);
        if (!child)
            qFatal("no control named %s", qPrintable(name));
        return child;
    }

    // Chooses language and industry by item index (-1: leave unchosen) and
    // presses the continue button.
    void weiter(int sprache, int branche);

private:
    QWidget *window() const;
    ScriptedAsker m_asker;
    std::unique_ptr<TestDatenbank> m_db;
};
