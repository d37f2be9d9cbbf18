#include "app/attention.h"

#include "app/form1.h"
#include "dialogs/history.h"
#include "model/history.h"
#include "views/objectives.h"
#include "model/katalog.h"
#include "model/yearsummary.h"
#include "platform/services.h"
#include "platform/ui/guard.h"
#include "report/yearreport.h"
#include "views/attention.h"
#include "views/measures.h"
#include "views/perspectives.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QStandardPaths>

namespace Attention {

void openHistory(TForm1 &form, int perspektive, int position, int zeitraum)
{
    KeyFigureHistory *window = history(form);
    if (!window)
        window = new KeyFigureHistory(form.services(), form, &form);
    window->open(perspektive, position, zeitraum);
}

// The main window owns the history window: one per main window, found
// among its children.
KeyFigureHistory *history(const TForm1 &form)
{
    return form.findChild<KeyFigureHistory *>(QString(), Qt::FindDirectChildrenOnly);
}

void attach(TForm1 &form)
{
    form.whenPagesBuilt([&form] {
        const auto land = [&form](int ziel, const QString &year) { landOnMeasures(form, ziel, year); };
        attachAttention(form.services(), *form.perspectivesPage(), form)->setLanding(land);
        attachAttention(form.services(), *form.objectivesPage(), form)->setLanding(land);
        // A double-click on a key-figure caption of the Objectives page opens
        // the history of that row's key figure.
        QObject::connect(form.objectivesPage(), &ObjectivesPage::keyFigureDoubleClicked, &form,
                         [&form](int perspektive, int position, int zeitraum) {
                             guarded(form.services(), [&] { openHistory(form, perspektive, position, zeitraum); });
                         });
    });

    // Beside the other file items, before "Exit program"; English until
    // German is chosen, like the rest of the menu.
    auto *yearReport = new QAction(YearSummary::menuText(true));
    yearReport->setObjectName(QStringLiteral("yearReportAction"));
    form.addFileAction(yearReport);
    QObject::connect(yearReport, &QAction::triggered, &form, [&form] { guarded(form.services(), [&] { yearReportClick(form); }); });
    auto *history = new QAction(History::menuText(true));
    history->setObjectName(QStringLiteral("historyAction"));
    form.addFileAction(history);
    QObject::connect(history, &QAction::triggered, &form, [&form] {
        guarded(form.services(), [&] {
            // An open window keeps its choices; a new one starts with the
            // first key figure's years.
            if (KeyFigureHistory *window = Attention::history(form); window && window->isVisible()) {
                window->raise();
                window->activateWindow();
            } else {
                openHistory(form, 0, 0, 6);
            }
        });
    });
    QObject::connect(&form, &TForm1::languageChosen, yearReport, [&form, yearReport, history] {
        const bool english = form.sprache() != 1;
        yearReport->setText(YearSummary::menuText(english));
        history->setText(History::menuText(english));
    });
}

void yearReportClick(TForm1 &form)
{
    const bool english = form.englisch();
    const QStringList years = form.years();
    // The year last chosen on the Perspectives page, else the current one.
    int current = years.indexOf(form.perspectivesPage()->chosenYear());
    if (current < 0)
        current = qMax(0, years.indexOf(QString::number(form.services().clock().date().year())));
    const QString year = form.services().item({&form, YearSummary::yearQuestion(english), YearSummary::yearLabel(english),
                                                years, current});
    if (year.isEmpty())
        return;
    FileRequest request;
    request.parent = &form;
    request.caption = YearSummary::saveCaption(english);
    request.folder = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                         .filePath(YearReport::proposedFileName(year, english));
    request.filter = english ? QStringLiteral("PDF files (*.pdf)") : QStringLiteral("PDF-Dateien (*.pdf)");
    request.mode = FileRequest::Mode::Save;
    const QString file = form.services().file(request);
    if (file.isEmpty())
        return;
    QString error;
    if (!YearReport::write(*form.services().connection, form, year, file, &error))
        form.services().question({error, english ? QStringLiteral("Information") : QStringLiteral("Meldungsfenster"),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
}

void landOnMeasures(TForm1 &form, int ziel, const QString &year)
{
    constexpr int YearPeriod = 6;
    form.showPage(2);
    form.measuresPage()->showGoal(ScorecardKatalog::perspektiveOf(ziel), ScorecardKatalog::positionOf(ziel), YearPeriod,
                                  year);
}

} // namespace Attention
