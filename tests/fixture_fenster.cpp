#include "fixture_fenster.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/ui/selector.h"

#include <QPushButton>
#include <QTest>

TestFenster::TestFenster(bool demo) : m_db(std::make_unique<TestDatenbank>(demo))
{
    Start::setUp();
    if (!Start::createWindows())
        qFatal("the windows could not be created");
}

TestFenster::~TestFenster() { Start::destroyWindows(); }

TForm1 *TestFenster::form1() const { return Form1; }

QWidget *TestFenster::window() const { return Form1; }

void TestFenster::weiter(int sprache, int branche)
{
    if (sprache >= 0)
        Form1->ComboBox6->choose(sprache);
    if (branche >= 0)
        Form1->ComboBox7->choose(branche);
    if (!Form1->Button3->isEnabled())
        qFatal("the continue button is not enabled");
    Form1->Button3->click();
}
