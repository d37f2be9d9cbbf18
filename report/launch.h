#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/report/reportpreview.h"

class Startwahl;
struct Services;
class TForm2;

// Makes the evaluation report of one perspective and year in the report
// window and shows its two pages one after the other, from which the user
// prints them or saves them as PDF; or writes both pages into a PDF file.
class ReportLaunch : public QObject {
    Q_OBJECT
public:
    ReportLaunch(const Services &services, TForm2 &form, const Startwahl &wahl);

    // The report button of the Objectives page: makes the report and
    // previews page 1, then page 2; returns when the second preview is
    // closed. While a preview is open it only brings it to the front, so
    // that no report is rewritten under an open preview.
    void launch(int perspektive, const QString &year);

    // Makes the report without showing it: statements, titles, captions by
    // language, the diagram. Returns the tables that hold no row for the
    // year (the report is made all the same). Throws EngineError.
    QStringList prepare(int perspektive, const QString &year);

    // Both pages into a new PDF file; false with the reason on failure.
    bool writePdf(const QString &file, QString *error) const;

    // The preview of the report's pages, one open at a time.
    ReportPreview &preview() { return m_preview; }

    // The file name the preview proposes for saving.
    QString proposedFileName(int perspektive, const QString &year) const;

private:
    const Services &m_services;
    TForm2 &m_form;
    ReportPreview m_preview;
    const Startwahl &m_wahl;
};
