#include "report/launch.h"

#include "model/captions.h"
#include "model/katalog.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/report/reportpreview.h"
#include "platform/ui/asker.h"
#include "report/bericht.h"

#include <QRegularExpression>

ReportLaunch::ReportLaunch(TForm2 &form, const Startwahl &wahl) : QObject(&form), m_form(form), m_wahl(wahl) {}

QStringList ReportLaunch::prepare(int perspektive, const QString &year)
{
    const bool english = m_wahl.englisch();
    const int branche = m_wahl.branche();
    for (int number = 1; number <= 8; ++number)
        m_form.diagram(0, number)->setEnabled(false);
    if (english) {
        for (const Captions::LabelCaption &c : Captions::reportEnglishLabels()) {
            if (auto *label = m_form.findChild<ReportLabel *>(c.name))
                label->setCaption(c.text);
        }
    }
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount)
        return {};

    QStringList withoutRow;
    Query *queries[3] = {m_form.Query1, m_form.Query2, m_form.Query3};
    const char *const titles[3] = {"QRLabel1", "QRLabel2", "QRLabel24"};
    for (int row = 0; row < 3; ++row) {
        const int ziel = ScorecardKatalog::zielNumber(perspektive, row);
        const QString table = ScorecardKatalog::table(ziel, branche);
        Query *query = queries[row];
        // Opening reads the row, so a refresh straight after would only
        // read it again.
        query->close();
        query->setSql(Statements::reportRow(table, year));
        query->open();
        query->ensureRead();
        if (query->isEmpty())
            withoutRow << table;
        m_form.findChild<ReportLabel *>(QString::fromLatin1(titles[row]))
            ->setCaption(Captions::reportTitle(ziel, branche, english));
    }

    // The group of the industry, within it 1 + p in German and 5 + p in
    // English; the other three of that language go.
    const int group = ScorecardKatalog::isAgriculture(branche) ? 0 : 1;
    const int first = english ? 5 : 1;
    for (int p = 0; p < ScorecardKatalog::PerspektiveCount; ++p) {
        ReportPicture *picture = m_form.diagram(group, first + p);
        picture->setEnabled(p == perspektive);
        if (p == perspektive)
            picture->setPosition(0, 91.0);
    }
    m_form.drawEnabledDiagrams();
    return withoutRow;
}

QString ReportLaunch::proposedFileName(int perspektive, const QString &year) const
{
    const bool english = m_wahl.englisch();
    QString name = Messages::report(Messages::Report::FileNamePrefix, english)
        + ScorecardKatalog::perspektiveText(perspektive, english) + QLatin1Char(' ') + year;
    // Whatever was typed as the year, the name stays a plain file name.
    static const QRegularExpression unsafe(QStringLiteral("[^\\w.-]+"));
    name.replace(unsafe, QStringLiteral("-"));
    return name + QStringLiteral(".pdf");
}

bool ReportLaunch::writePdf(const QString &file, QString *error) const
{
    return ::writePdf({m_form.QuickRep1, m_form.QuickRep2}, file, error);
}

void ReportLaunch::launch(int perspektive, const QString &year)
{
    if (ReportPreview::isOpen()) {
        ReportPreview::raise();
        return;
    }
    // Without a perspective of the list nothing would be prepared, and the
    // preview would show whatever report was made before.
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount) {
        const bool english = m_wahl.englisch();
        Asker::ask({Messages::report(Messages::Report::NoPerspective, english), Messages::caption(english),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    prepare(perspektive, year);
    ReportPreview::Options options;
    options.windowTitle = m_form.windowTitle();
    options.pdfFileName = proposedFileName(perspektive, year);
    options.pdfPages = {m_form.QuickRep1, m_form.QuickRep2};
    ReportPreview::show(*m_form.QuickRep1, options);
    ReportPreview::show(*m_form.QuickRep2, options);
}
