#include "dialogs/sheettransfer.h"

#include "dialogs/sheetimport.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/db/database.h"
#include "platform/services.h"
#include "core/safefile.h"
#include "core/spreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SheetTransfer {
namespace {

QString text(Messages::Sheets id, bool german) { return Messages::sheets(id, !german); }

QString caption(bool german) { return Messages::caption(!german); }

// German unless English was chosen: also before a choice, as the start
// screen shows.
bool isGerman(const Startwahl &wahl) { return !wahl.englisch(); }

} // namespace

QStringList exportFiles(const QString &chosen)
{
    const QFileInfo info(chosen);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return {chosen};
    if (suffix != QLatin1String("csv"))
        return {};
    const QString base = chosen.left(chosen.size() - info.suffix().size() - 1);
    return {base + QStringLiteral("-kennzahlen.csv"), base + QStringLiteral("-massnahmen.csv")};
}

void exportToSpreadsheet(const Services &services, QWidget *parent, const Startwahl &wahl)
{
    const bool german = isGerman(wahl);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Replacing is asked below, which knows every file the export writes.
    const QString chosen = services.file({parent, text(Messages::Sheets::ExportTitle, german),
                                          QDir(folder).filePath(QStringLiteral("scorecard.xlsx")),
                                          text(Messages::Sheets::XlsxFilter, german) + QStringLiteral(";;")
                                              + text(Messages::Sheets::CsvFilter, german),
                                          FileRequest::Mode::Save});
    if (chosen.isEmpty())
        return;
    const QStringList targets = exportFiles(chosen);
    if (targets.isEmpty()) {
        services.question({text(Messages::Sheets::BadSuffix, german).arg(chosen),
                    caption(german), Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    QStringList existing;
    for (const QString &target : targets) {
        if (SafeFile::occupied(QFileInfo(target).absoluteFilePath()))
            existing << target;
    }
    if (!existing.isEmpty()) {
        const Asker::Answer answer = services.question(
            {text(Messages::Sheets::ReplaceQuestion, german) + existing.join(QLatin1Char('\n')),
             caption(german), Asker::Buttons::YesNo, Asker::Icon::Question});
        if (!Asker::positive(answer))
            return;
    }

    Database &db = services.database();
    const Spreadsheet::Sheet figures = Spreadsheet::kennzahlen(db);
    const Spreadsheet::Sheet measures = Spreadsheet::massnahmen(db);
    if (targets.size() == 1)
        Spreadsheet::write({{targets[0], {figures, measures}}}, !existing.isEmpty());
    else
        Spreadsheet::write({{targets[0], {figures}}, {targets[1], {measures}}}, !existing.isEmpty());
    const QString lines = QString::number(figures.rows.size());
    const QString count = QString::number(measures.rows.size());
    services.question({text(Messages::Sheets::Written, german).arg(lines, count) + targets.join(QLatin1Char('\n')),
                caption(german), Asker::Buttons::Ok, Asker::Icon::Information});
}

void importFromSpreadsheet(const Services &services, QWidget *parent, const Startwahl &wahl)
{
    const bool german = isGerman(wahl);
    const QString chosen = services.file({parent, text(Messages::Sheets::ImportTitle, german),
                                          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                          text(Messages::Sheets::CsvFilter, german), FileRequest::Mode::Open});
    if (chosen.isEmpty())
        return;
    const QByteArray bytes = Spreadsheet::readImportFile(chosen);
    Spreadsheet::Plan plan = Spreadsheet::planKennzahlenImport(services.database(), bytes);
    if (plan.ok() && plan.changes.isEmpty()) {
        services.question({text(Messages::Sheets::NoChange, german),
                    caption(german), Asker::Buttons::Ok, Asker::Icon::Information});
        return;
    }
    auto *dialog = new SheetImportDialog(services, parent, chosen, std::move(plan), german);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Modal for its window, without blocking the handler.
    dialog->open();
}

} // namespace SheetTransfer
