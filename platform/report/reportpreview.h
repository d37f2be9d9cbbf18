#pragma once

#include <QList>
#include <QString>

class QPrintPreviewDialog;
class QWidget;
class ReportLayout;
struct Services;

// The on-screen preview of one layout. It is not modal: while it is open,
// every other window stays usable. The user prints from it through the print
// dialog or saves it as PDF.
namespace ReportPreview {

struct Options {
    QString windowTitle;
    QString pdfFileName;   // proposed by "Save as PDF..."; a bare name goes to the documents folder
    QWidget *parent = nullptr;
    // What "Save as PDF..." writes, one page each; empty: the previewed layout.
    QList<const ReportLayout *> pdfPages;
};

// Shows the preview and returns when it is closed, waiting in a local event
// loop. Returns false at once, bringing the open preview to the front, when
// a preview is already open.
bool show(const Services &services, const ReportLayout &layout, const Options &options);

// The open preview, or nullptr.
QPrintPreviewDialog *current();
bool isOpen();
// Brings the open preview to the front; nothing when none is open.
void raise();

} // namespace ReportPreview
