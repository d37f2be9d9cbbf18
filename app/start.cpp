#include "app/start.h"

#include "app/captionswitch.h"
#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "model/alias.h"
#include "platform/db/engineerror.h"
#include "platform/ui/guard.h"
#include "platform/ui/controls.h"
#include "report/bericht.h"
#include "resources/pictures.h"
#include "views/measures.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

TForm1 *Form1 = nullptr;
TEingabe_kennzahlen *Eingabe_kennzahlen = nullptr;
Teingabe_m *eingabe_m = nullptr;
TForm2 *Form2 = nullptr;

void Start::setUp()
{
    QCoreApplication::setApplicationName(QStringLiteral("bsc"));
    ScorecardAlias::install();
    Controls::installFontSubstitutes();
    QApplication::setFont(Controls::defaultFont());
    // Errors raised by a keystroke in a bound control reach no handler.
    EngineError::setReporter(&showFailure);
}

bool Start::createWindows()
{
    try {
        Form1 = new TForm1;
        Eingabe_kennzahlen = new TEingabe_kennzahlen(*Form1, Form1->years());
        eingabe_m = new Teingabe_m(*Form1, *Form1->measuresPage());
        Form1->measuresPage()->setEditorOpening([] { eingabe_m->open(); });
        Form2 = new TForm2;
        Form1->setEnglishForOthers([] {
            applyCaptions(Eingabe_kennzahlen, EnglishSwitch::keyFigureDialog());
            applyCaptions(eingabe_m, EnglishSwitch::measuresEditor());
        });
        return true;
    } catch (const EngineError &error) {
        // Start-up stops: nothing may stay open.
        destroyWindows();
        std::fprintf(stderr, "bsc: %s\n", qPrintable(error.message()));
        showFailure(error.message());
        return false;
    }
}

void Start::destroyWindows()
{
    delete Form2;
    delete eingabe_m;
    delete Eingabe_kennzahlen;
    delete Form1;
    Form2 = nullptr;
    eingabe_m = nullptr;
    Eingabe_kennzahlen = nullptr;
    Form1 = nullptr;
}

int Start::run(QApplication &app)
{
    setUp();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(Pictures::applicationIcon(size)));
    QApplication::setWindowIcon(icon);
    // Lets a Wayland desktop match the windows to the installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.kelmora.tarvo_bsc"));
    if (!createWindows())
        return 1;
    Form1->show();
    const int status = app.exec();
    destroyWindows();
    return status;
}
