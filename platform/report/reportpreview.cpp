#include "platform/report/reportpreview.h"

#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/services.h"
#include "platform/ui/guard.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>

namespace {

QString proposedPath(const QString &name)
{
    if (!name.isEmpty() && QFileInfo(name).isAbsolute())
        return name;
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return name.isEmpty() ? documents.absolutePath() : documents.filePath(name);
}

void savePdf(const Services &services, const QList<const ReportLayout *> &pages, QPrintPreviewDialog *dialog,
             const QString &proposed)
{
    const QString path = services.file({dialog, QStringLiteral("Save as PDF"), proposedPath(proposed),
                                        QStringLiteral("PDF files (*.pdf)"), FileRequest::Mode::Save});
    if (path.isEmpty())
        return;
    QString error;
    if (!writePdf(pages, path, &error))
        services.question({error, dialog->windowTitle(), Asker::Buttons::Ok, Asker::Icon::Warning});
}

// The preview's own tool bar ends with its print action; saving goes beside it.
void addSaveAction(const Services &services, const QList<const ReportLayout *> &pages, QPrintPreviewDialog *dialog,
                   const QString &proposed)
{
    auto *save = new QAction(QStringLiteral("Save as PDF..."), dialog);
    save->setObjectName(QStringLiteral("savePdfAction"));
    save->setIcon(QIcon::fromTheme(QStringLiteral("document-save-as")));
    QObject::connect(save, &QAction::triggered, dialog,
                     [&services, pages, dialog, proposed] {
                         guarded(services, [&] { savePdf(services, pages, dialog, proposed); });
                     });
    if (QToolBar *bar = dialog->findChild<QToolBar *>())
        bar->addAction(save);
    else
        dialog->addAction(save);
}

} // namespace

bool ReportPreview::show(const ReportLayout &layout, const Options &options)
{
    const Services &services = m_services;
    if (isOpen()) {
        raise();
        return false;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(options.windowTitle);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, layout.margins(),
                                      QPageLayout::Millimeter));
    // The layout places everything from the paper's corner itself.
    printer.setFullPage(true);

    // On the heap: a parent that goes away takes the dialog with it, and the
    // wait below ends then too.
    QPointer<QPrintPreviewDialog> dialog = new QPrintPreviewDialog(&printer, options.parent);
    m_dialog = dialog;
    dialog->setWindowTitle(options.windowTitle);
    dialog->setWindowModality(Qt::NonModal);
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [&services, &layout](QPrinter *target) {
        QPainter painter(target);
        guarded(services, [&] { paintLayout(layout, painter); });
    });
    addSaveAction(services, options.pdfPages.isEmpty() ? QList<const ReportLayout *>{&layout} : options.pdfPages, dialog,
                  options.pdfFileName);

    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec();
    delete dialog.data();
    return true;
}

void ReportPreview::raise()
{
    QPrintPreviewDialog *dialog = current();
    if (!dialog)
        return;
    if (dialog->isMinimized())
        dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
}
