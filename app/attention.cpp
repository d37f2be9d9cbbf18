#include "app/attention.h"

#include "app/form1.h"
#include "dialogs/history.h"
#include "model/history.h"
#include "platform/ui/clicklabel.h"
#include "views/objectives.h"
#include "model/katalog.h"
#include "model/yearsummary.h"
#include "platform/services.h"
#include "platform/ui/guard.h"
#include "platform/ui/selector.h"
#include "report/yearreport.h"
#include "views/attention.h"
#include "views/measures.h"
#include "views/perspectives.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>

namespace Attention {

namespace {

// A double-click on a key-figure caption of the Objectives page opens the
// history of that row's key figure, for the perspective last displayed
// there (perspective 0 before the first display, as the captions are).
class CaptionDoubleClick : public QObject {
public:
    CaptionDoubleClick(TForm1 &form, QObject *parent) : QObject(parent), m_form(form)
    {
        ObjectivesPage &page = *form.objectivesPage();
        m_captions = {page.Label4, page.Label6, page.Label7};
        for (QObject *caption : m_captions)
            caption->installEventFilter(this);
        connect(&page, &ObjectivesPage::displayed, this, [this, &page] { m_shown = page.combobox1->itemIndex(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            const int row = int(m_captions.indexOf(watched));
            if (row >= 0) {
                const int period = m_form.objectivesPage()->ComboBox2->itemIndex();
                guarded(m_form.services(), [&] { openHistory(m_form, m_shown, row, period >= 0 && period <= 6 ? period : 6); });
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TForm1 &m_form;
    QList<QObject *> m_captions;
    int m_shown = 0;
};

} // namespace

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
        new CaptionDoubleClick(form, &form);
    });

    // Beside the other file items, before "Exit program"; English until
    // German is chosen, like the rest of the menu.
    auto *yearReport = new QAction(YearSummary::menuText(true), form.Datei1);
    yearReport->setObjectName(QStringLiteral("yearReportAction"));
    form.Datei1->insertAction(form.Beenden1, yearReport);
    QObject::connect(yearReport, &QAction::triggered, &form, [&form] { guarded(form.services(), [&] { yearReportClick(form); }); });
    auto *history = new QAction(History::menuText(true), form.Datei1);
    history->setObjectName(QStringLiteral("historyAction"));
    form.Datei1->insertAction(form.Beenden1, history);
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
    QObject::connect(form.Button3, &QPushButton::clicked, yearReport, [&form, yearReport, history] {
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
    int current = years.indexOf(form.perspectivesPage()->ComboBox10->text());
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
    MeasuresPage &page = *form.measuresPage();
    // The choices a user would make, in the page's own order, each followed
    // by its handler so the enabling chain stays as the page knows it.
    page.ComboBox4->setItemIndex(ScorecardKatalog::perspektiveOf(ziel));
    page.ComboBox4Change();
    page.ComboBox5->setItemIndex(ScorecardKatalog::positionOf(ziel));
    page.ComboBox5Change();
    page.ComboBox8->setItemIndex(YearPeriod);
    page.ComboBox8Change();
    const int yearItem = page.ComboBox9->items().indexOf(year);
    if (yearItem >= 0)
        page.ComboBox9->setItemIndex(yearItem);
    else
        page.ComboBox9->setText(year);
    page.ComboBox9Change();
    form.PageControl1->setCurrentWidget(form.TabSheet[2]);
    page.Button5Click();
}

} // namespace Attention
