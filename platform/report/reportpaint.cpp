#include "platform/report/reportpaint.h"

#include "platform/atomicfile.h"
#include "platform/db/engineerror.h"
#include "platform/report/reportlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QBuffer>

namespace {

// Restores the painter also when a dataset throws half-way.
class SavedState {
public:
    explicit SavedState(QPainter &painter) : m_painter(painter) { m_painter.save(); }
    ~SavedState() { m_painter.restore(); }
    SavedState(const SavedState &) = delete;
    SavedState &operator=(const SavedState &) = delete;

private:
    QPainter &m_painter;
};

} // namespace

void paintLayout(const ReportLayout &layout, QPainter &painter)
{
    const MmScale mm(*painter.device());
    const SavedState page(painter);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QMarginsF margins = layout.margins();
    double top = margins.top();
    for (const ReportBand *band : layout.bands()) {
        const QPointF origin = mm.point({margins.left(), top});
        for (const ReportItem *item : band->items()) {
            const SavedState itemState(painter);
            item->paint(painter, mm, origin);
        }
        top += band->height();
    }
}

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool writePdf(const QList<const ReportLayout *> &pages, const QString &file, QString *error)
{
    return writePdf(int(pages.size()), [&pages](int page, QPainter &painter) { paintLayout(*pages[page], painter); },
                    file, error);
}

bool writePdf(int pageCount, const std::function<void(int page, QPainter &painter)> &paintPage, const QString &file,
              QString *error)
{
    const QFileInfo target(file);
    if (target.exists())
        return fail(error, QStringLiteral("%1 already exists and is not overwritten.")
                               .arg(QDir::toNativeSeparators(target.absoluteFilePath())));
    const QDir folder = target.absoluteDir();
    if (!folder.exists())
        return fail(error, QStringLiteral("The folder %1 does not exist.")
                               .arg(QDir::toNativeSeparators(folder.absolutePath())));

    // Made in memory, then written under a temporary name beside the target
    // with every write, the sync and the close checked, and renamed when
    // complete: a full disk never leaves a half-written PDF.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&bytes);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(target.completeBaseName());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                         QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(error, QStringLiteral("Cannot start the PDF %1.").arg(QDir::toNativeSeparators(file)));
        try {
            for (int i = 0; i < pageCount; ++i) {
                if (i > 0)
                    writer.newPage();
                paintPage(i, painter);
            }
        } catch (const EngineError &e) {
            painter.end();
            return fail(error, e.message());
        }
        painter.end();
    }
    bytes.close();
    QString why;
    if (!AtomicFile::write(target.absoluteFilePath(), bytes.data(), false, QStringLiteral("pdf"), &why))
        return fail(error, why);
    return true;
}
