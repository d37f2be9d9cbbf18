#include "dialogs/sheettransfer.h"

#include "dialogs/sheetimport.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/db/database.h"
#include "platform/ui/asker.h"
#include "core/safefile.h"
#include "core/spreadsheet.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace SheetTransfer {
namespace {

QString text(Messages::Sheets id, bool german) { return Messages::sheets(id, !german); }

QString caption(bool german) { return Messages::caption(!german); }

// German unless English was chosen: also before a choice, as the start
// screen shows.
bool isGerman(const Startwahl &wahl) { return !wahl.englisch(); }

QString fileDialog(QWidget *parent, Purpose purpose, bool german)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString csv = text(Messages::Sheets::CsvFilter, german);
    if (purpose == Purpose::Import)
        return QFileDialog::getOpenFileName(parent, text(Messages::Sheets::ImportTitle, german),
                                            folder, csv);
    const QString xlsx = text(Messages::Sheets::XlsxFilter, german);
    QString filter = xlsx;
    // Replacing is asked by the export itself, which knows every file it writes.
    QString path = QFileDialog::getSaveFileName(parent, text(Messages::Sheets::ExportTitle, german),
                                                QDir(folder).filePath(QStringLiteral("scorecard.xlsx")),
                                                xlsx + QStringLiteral(";;") + csv, &filter,
                                                QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filter == csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    return path;
}

Chooser &chooser()
{
    static Chooser c;
    return c;
}

QString choose(QWidget *parent, Purpose purpose, bool german)
{
    return chooser() ? chooser()(parent, purpose, german) : fileDialog(parent, purpose, german);
}

} // namespace

void setChooser(Chooser c) { chooser() = std::move(c); }

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

void exportToSpreadsheet(QWidget *parent, const Startwahl &wahl)
{
    const bool german = isGerman(wahl);
    const QString chosen = choose(parent, Purpose::Export, german);
    if (chosen.isEmpty())
        return;
    const QStringList targets = exportFiles(chosen);
    if (targets.isEmpty()) {
        Asker::ask({text(Messages::Sheets::BadSuffix, german).arg(chosen),
                    caption(german), Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    QStringList existing;
    for (const QString &target : targets) {
        if (SafeFile::occupied(QFileInfo(target).absoluteFilePath()))
            existing << target;
    }
    if (!existing.isEmpty()) {
        const Asker::Answer answer = Asker::ask(
            {text(Messages::Sheets::ReplaceQuestion, german) + existing.join(QLatin1Char('\n')),
             caption(german), Asker::Buttons::YesNo, Asker::Icon::Question});
        if (!Asker::positive(answer))
            return;
    }

    Database &db = Database::alias();
    const Spreadsheet::Sheet figures = Spreadsheet::kennzahlen(db);
    const Spreadsheet::Sheet measures = Spreadsheet::massnahmen(db);
    if (targets.size() == 1)
        Spreadsheet::write({{targets[0], {figures, measures}}}, !existing.isEmpty());
    else
        Spreadsheet::write({{targets[0], {figures}}, {targets[1], {measures}}}, !existing.isEmpty());
    const QString lines = QString::number(figures.rows.size());
    const QString count = QString::number(measures.rows.size());
    Asker::ask({text(Messages::Sheets::Written, german).arg(lines, count) + targets.join(QLatin1Char('\n')),
                caption(german), Asker::Buttons::Ok, Asker::Icon::Information});
}

void importFromSpreadsheet(QWidget *parent, const Startwahl &wahl)
{
    const bool german = isGerman(wahl);
    const QString chosen = choose(parent, Purpose::Import, german);
    if (chosen.isEmpty())
        return;
    const QByteArray bytes = Spreadsheet::readImportFile(chosen);
    Spreadsheet::Plan plan = Spreadsheet::planKennzahlenImport(Database::alias(), bytes);
    if (plan.ok() && plan.changes.isEmpty()) {
        Asker::ask({text(Messages::Sheets::NoChange, german),
                    caption(german), Asker::Buttons::Ok, Asker::Icon::Information});
        return;
    }
    auto *dialog = new SheetImportDialog(parent, chosen, std::move(plan), german);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Modal for its window, without blocking the handler.
    dialog->open();
}

} // namespace SheetTransfer
