#pragma once

#include <QList>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QString>

class QWidget;
class ReportLayout;
struct Services;

// The on-screen preview of one layout at a time. It is not modal: while it
// is open, every other window stays usable. The user prints from it through
// the print dialog or saves it as PDF. Whoever launches previews keeps one
// of these; it knows the preview it has open.
class ReportPreview {
public:
    struct Options {
        QString windowTitle;
        QString pdfFileName;   // proposed by "Save as PDF..."; a bare name goes to the documents folder
        QWidget *parent = nullptr;
        // What "Save as PDF..." writes, one page each; empty: the previewed layout.
        QList<const ReportLayout *> pdfPages;
    };

    explicit ReportPreview(const Services &services) : m_services(services) {}
    ReportPreview(const ReportPreview &) = delete;
    ReportPreview &operator=(const ReportPreview &) = delete;

    // Shows the preview and returns when it is closed, waiting in a local
    // event loop. Returns false at once, bringing the open preview to the
    // front, when a preview is already open.
    bool show(const ReportLayout &layout, const Options &options);

    // The open preview, or nullptr.
    QPrintPreviewDialog *current() const { return m_dialog.data(); }
    bool isOpen() const { return current() != nullptr; }
    // Brings the open preview to the front; nothing when none is open.
    void raise();

private:
    const Services &m_services;
    QPointer<QPrintPreviewDialog> m_dialog;
};
