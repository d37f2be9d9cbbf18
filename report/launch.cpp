#include "report/launch.h"

#include "model/katalog.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/report/reportpreview.h"
#include "platform/services.h"
#include "report/bericht.h"

#include <QRegularExpression>

ReportLaunch::ReportLaunch(const Services &services, TForm2 &form, const Startwahl &wahl)
    : QObject(&form), m_services(services), m_form(form), m_preview(services), m_wahl(wahl)
{
}

QStringList ReportLaunch::prepare(int perspektive, const QString &year)
{
    return m_form.prepare(perspektive, year, m_wahl.englisch(), m_wahl.branche());
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
    return ::writePdf(m_form.pages(), file, error);
}

void ReportLaunch::launch(int perspektive, const QString &year)
{
    if (m_preview.isOpen()) {
        m_preview.raise();
        return;
    }
    // Without a perspective of the list nothing would be prepared, and the
    // preview would show whatever report was made before.
    if (perspektive < 0 || perspektive >= ScorecardKatalog::PerspektiveCount) {
        const bool english = m_wahl.englisch();
        m_services.question({Messages::report(Messages::Report::NoPerspective, english), Messages::caption(english),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    prepare(perspektive, year);
    ReportPreview::Options options;
    options.windowTitle = m_form.windowTitle();
    options.pdfFileName = proposedFileName(perspektive, year);
    options.pdfPages = m_form.pages();
    for (const ReportLayout *page : options.pdfPages)
        m_preview.show(*page, options);
}
