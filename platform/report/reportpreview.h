#pragma once

#include <QList>
#include <QString>
#include <functional>

class QPrintPreviewDialog;
class QWidget;
class ReportLayout;

// The question for a file name to save under, replaceable so that tests never
// meet a file dialog.
namespace SaveFileAsker {

struct Question {
    QWidget *parent = nullptr;
    QString caption;
    QString proposed;   // a file name or path
    QString filter;     // "PDF files (*.pdf)"
    QString suffix;     // added when the user types none: "pdf"
};

// Returns the chosen path, or "" when the user cancels.
using Function = std::function<QString(const Question &)>;

// Asks through the installed function; by default the usual save dialog,
// which does not ask about an existing file (the writer refuses it).
QString ask(const Question &q);

// Replaces the function behind ask(); an empty function restores the dialog.
void install(Function f);

} // namespace SaveFileAsker

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
bool show(const ReportLayout &layout, const Options &options);

// The open preview, or nullptr.
QPrintPreviewDialog *current();
bool isOpen();
// Brings the open preview to the front; nothing when none is open.
void raise();

} // namespace ReportPreview
