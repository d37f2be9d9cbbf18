#include "app/start.h"

#include "app/attention.h"
#include "app/captionswitch.h"
#include "app/form1.h"
#include "app/globals.h"
#include "core/safefile.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "model/alias.h"
#include "model/katalog.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/db/engineerror.h"
#include "platform/printable.h"
#include "platform/services.h"
#include "platform/ui/controls.h"
#include "report/bericht.h"
#include "report/launch.h"
#include "report/yearreport.h"
#include "resources/pictures.h"
#include "views/measures.h"
#include "views/objectives.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QIcon>
#include <QPointer>

#include <algorithm>
#include <cstdio>

namespace {

// The four windows; only the start creates and removes them.
struct Windows {
    TForm1 *form1 = nullptr;
    TEingabe_kennzahlen *keyFigures = nullptr;
    Teingabe_m *measures = nullptr;
    TForm2 *report = nullptr;
};
Windows s_windows;

} // namespace

TForm1 *const &Form1 = s_windows.form1;
TEingabe_kennzahlen *const &Eingabe_kennzahlen = s_windows.keyFigures;
Teingabe_m *const &eingabe_m = s_windows.measures;
TForm2 *const &Form2 = s_windows.report;

void Start::setUp()
{
    QCoreApplication::setApplicationName(QStringLiteral("bsc"));
    Controls::installFontSubstitutes();
    QApplication::setFont(Controls::defaultFont());
}

namespace {

bool keepRunningWith(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return false;
}

} // namespace

bool Start::createWindows(Services &services)
{
    // The windows know each other only through what is handed to them here;
    // the global references are for whoever needs a window from outside.
    try {
        auto *form1 = s_windows.form1 = new TForm1(services);
        // A change refused to a reader is told in the main window's language
        // (German once it is gone).
        services.failureText = [main = QPointer<TForm1>(form1)](const EngineError &error) {
            if (!error.refusesChange())
                return error.message();
            return Messages::readOnly(main && main->englisch());
        };
        auto *keyFigures = s_windows.keyFigures = new TEingabe_kennzahlen(services, *form1, form1->years());
        form1->setKeyFigureOpening([keyFigures] {
            keyFigures->show();
            keyFigures->raise();
            keyFigures->activateWindow();
        });
        auto *measures = s_windows.measures = new Teingabe_m(services, *form1, form1->measuresChoice());
        form1->whenPagesBuilt([form1, measures] { form1->measuresPage()->setEditorOpening([measures] { measures->open(); }); });
        Attention::attach(*form1);
        auto *reportWindow = s_windows.report = new TForm2(*services.connection);
        auto *report = new ReportLaunch(services, *reportWindow, *form1);
        form1->whenPagesBuilt([form1, report] {
            form1->objectivesPage()->setReportLaunch(
                [report](int perspektive, const QString &year) { report->launch(perspektive, year); });
        });
        // Going back shows the window that holds what is not saved.
        form1->setBeforeExit([keyFigures, measures] {
            if (!keyFigures->settlePending())
                return keepRunningWith(keyFigures);
            if (!measures->settlePending())
                return keepRunningWith(measures);
            return true;
        });
        form1->setEnglishForOthers([keyFigures, measures] {
            applyCaptions(keyFigures, EnglishSwitch::keyFigureDialog());
            applyCaptions(measures, EnglishSwitch::measuresEditor());
        });
        return true;
    } catch (const EngineError &error) {
        // Start-up stops: nothing may stay open.
        destroyWindows();
        std::fprintf(stderr, "bsc: %s\n", qPrintable(error.message()));
        services.showFailure(error.message());
        return false;
    }
}

void Start::destroyWindows()
{
    delete s_windows.report;
    delete s_windows.measures;
    delete s_windows.keyFigures;
    delete s_windows.form1;
    s_windows = {};
}

int Start::run(QApplication &app)
{
    Connection connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
    Services services = Services::standard(connection);
    return run(app, services);
}

int Start::run(QApplication &app, Services &services)
{
    setUp();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(Pictures::applicationIcon(size)));
    QApplication::setWindowIcon(icon);
    // Lets a Wayland desktop match the windows to the installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.kelmora.tarvo_bsc"));
    if (!createWindows(services))
        return 1;
    Form1->show();
    const int status = app.exec();
    destroyWindows();
    return status;
}

namespace {

// The start screen's choices, given on the command line.
class FixedChoice : public Startwahl {
public:
    FixedChoice(bool english, bool agriculture) : m_english(english), m_agriculture(agriculture) {}
    int sprache() const override { return m_english ? 0 : 1; }
    int branche() const override { return m_agriculture ? 0 : 1; }

private:
    bool m_english;
    bool m_agriculture;
};

// One ASCII digit 0 to 3, or a perspective's name in either language, as
// given; -1 for anything else (" 1", "+1", "01").
int perspectiveFrom(const QString &text)
{
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] < QLatin1Char('0' + ScorecardKatalog::PerspektiveCount))
        return text[0].unicode() - '0';
    const QString word = text.toCaseFolded();
    const char *const shortNames[4] = {"financial", "customer", "employee", "process"};
    for (int p = 0; p < ScorecardKatalog::PerspektiveCount; ++p) {
        if (word == QLatin1String(shortNames[p]) || word == ScorecardKatalog::perspektiveText(p, false).toCaseFolded()
            || word == ScorecardKatalog::perspektiveText(p, true).toCaseFolded())
            return p;
    }
    return -1;
}

// Years are four ASCII digits; anything else would only filter the rows.
bool isYear(const QString &text)
{
    return text.size() == 4
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

int Start::runReport(const QStringList &arguments)
{
    QTextStream err(stderr);
    QStringList args = arguments;
    const bool english = args.removeAll(QStringLiteral("--english")) > 0;
    const bool agriculture = args.removeAll(QStringLiteral("--agriculture")) > 0;
    const int at = args.indexOf(QStringLiteral("--report"));
    if (at < 0 || args.size() != at + 4) {
        err << "Usage: bsc --report PERSPECTIVE YEAR FILE.pdf [--english] [--agriculture]\n"
               "  PERSPECTIVE: 0 to 3, or financial, customer, employee, process,\n"
               "  or all: the year report (a cover and every perspective)\n";
        return 2;
    }
    const QString perspectiveText = args[at + 1];
    const QString year = args[at + 2];
    const QString file = args[at + 3];
    const bool wholeYear = perspectiveText == QLatin1String("all");
    const int perspektive = wholeYear ? 0 : perspectiveFrom(perspectiveText);
    if (perspektive < 0) {
        err << "bsc: unknown perspective \"" << printable(perspectiveText)
            << "\"; give 0 to 3 or financial, customer, employee, process\n";
        return 2;
    }
    if (!isYear(year)) {
        err << "bsc: \"" << printable(year) << "\" is not a year of four digits\n";
        return 2;
    }
    if (file.isEmpty()) {
        err << "bsc: --report needs FILE.pdf, which was given empty.\n";
        return 2;
    }
    if (SafeFile::occupied(file)) {
        err << "bsc: " << SafeFile::occupiedMessage(file) << '\n';
        return 1;
    }
    setUp();
    try {
        Connection connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
        const FixedChoice choice(english, agriculture);
        if (wholeYear) {
            QString error;
            if (!YearReport::write(connection, choice, year, file, &error)) {
                err << "bsc: " << error << '\n';
                return 1;
            }
            return 0;
        }
        TForm2 form(connection);
        const Services services = Services::standard(connection);
        ReportLaunch report(services, form, choice);
        const QStringList withoutRow = report.prepare(perspektive, year);
        if (!withoutRow.isEmpty()) {
            err << "bsc: no row for the year \"" << year << "\" in " << withoutRow.join(QStringLiteral(", "))
                << "; the report shows empty fields there.\n";
        }
        QString error;
        if (!report.writePdf(file, &error)) {
            err << "bsc: " << printable(error, true) << '\n';
            return 1;
        }
    } catch (const EngineError &error) {
        err << "bsc: " << printable(error.message(), true) << '\n';
        return 1;
    }
    return 0;
}
