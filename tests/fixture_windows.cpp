#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/ui/selector.h"

#include <QPushButton>
#include <QTest>

TestWindows::TestWindows(bool demo) : m_db(std::make_unique<TestDatabase>(demo))
{
    Start::setUp();
    m_services.services().connection = &m_db->connection();
    if (!Start::createWindows(m_services))
        qFatal("the windows could not be created");
}

TestWindows::~TestWindows() { Start::destroyWindows(); }

TForm1 *TestWindows::form1() const { return Form1; }

QWidget *TestWindows::window() const { return Form1; }

void TestWindows::continueWith(int sprache, int branche)
{
    if (sprache >= 0)
        Form1->ComboBox6->choose(sprache);
    if (branche >= 0)
        Form1->ComboBox7->choose(branche);
    if (!Form1->Button3->isEnabled())
        qFatal("the continue button is not enabled");
    Form1->Button3->click();
}
