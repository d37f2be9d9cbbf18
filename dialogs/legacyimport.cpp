#include "dialogs/legacyimport.h"

#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/db/database.h"
#include "platform/services.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using Messages::Legacy;

QString text(Legacy id, bool german) { return Messages::legacy(id, !german); }

} // namespace

LegacyImportDialog::LegacyImportDialog(const Services &services, QWidget *parent, LegacyImport::Plan plan,
                                       bool german)
    : QDialog(parent), m_services(services), m_plan(std::move(plan)), m_german(german)
{
    setObjectName(QStringLiteral("LegacyImportDialog"));
    setWindowTitle(text(Legacy::Title, german));
    resize(720, 480);

    auto *layout = new QVBoxLayout(this);
    summary = Controls::wrappedLabel(this, QStringLiteral("summary"));
    layout->addWidget(summary);
    list = Controls::readOnlyList(this, QStringLiteral("list"));
    layout->addWidget(list);

    notes = Controls::wrappedLabel(this, QStringLiteral("notes"));
    notes->setText(m_plan.notes.join(QLatin1Char('\n')));
    notes->setVisible(!m_plan.notes.isEmpty());
    layout->addWidget(notes);

    auto *buttons = new QDialogButtonBox(this);
    writeButton = buttons->addButton(text(Legacy::ImportButton, german), QDialogButtonBox::AcceptRole);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    closeButton = buttons->addButton(text(Legacy::CancelButton, german), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);

    const QString folder = m_plan.folder;
    if (!m_plan.ok()) {
        const QString n = QString::number(m_plan.faults.size());
        const QString counted = m_plan.faults.size() == 1 ? text(Legacy::FaultOne, german)
                                                          : text(Legacy::FaultMany, german).arg(n);
        summary->setText(text(Legacy::FaultSummary, german).arg(folder, counted));
        QList<QStringList> rows;
        for (const LegacyImport::Fault &f : m_plan.faults)
            rows << QStringList{f.file, f.row > 0 ? QString::number(f.row) : QString(), f.year, f.column, f.message};
        Controls::fillTable(list, {text(Legacy::HeadFile, german), text(Legacy::HeadRow, german), text(Legacy::HeadYear, german),
                    text(Legacy::HeadColumn, german), text(Legacy::HeadFault, german)},
             rows);
        writeButton->hide();
        closeButton->setText(text(Legacy::CloseButton, german));
    } else {
        const QString values = QString::number(m_plan.valueCount() - m_plan.measures.size());
        const QString measures = QString::number(m_plan.measures.size());
        summary->setText(text(Legacy::Summary, german).arg(folder, values, measures));
        QList<QStringList> rows;
        for (const LegacyImport::TableSummary &t : m_plan.tables)
            rows << QStringList{t.table, t.file, QString::number(t.rows), QString::number(t.values)};
        Controls::fillTable(list, {text(Legacy::HeadTable, german), text(Legacy::HeadFile, german), text(Legacy::HeadRows, german),
                    text(Legacy::HeadValues, german)},
             rows);
        writeButton->setDefault(true);
    }

    connectGuarded(m_services, writeButton, &QPushButton::clicked, this, &LegacyImportDialog::writeClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LegacyImportDialog::writeClick()
{
    if (!m_plan.ok() || m_written)
        return;
    const Asker::Answer answer = m_services.question(
        {text(Legacy::Question, m_german), Messages::caption(!m_german), Asker::Buttons::OkCancel, Asker::Icon::Question});
    if (!Asker::positive(answer))
        return;
    LegacyImport::apply(m_services.database(), m_plan, m_services.clock().date().year());
    m_written = true;
    accept();
}

namespace LegacyTransfer {

void importOldTables(const Services &services, QWidget *parent, const Startwahl &wahl)
{
    // A language not yet chosen counts as German, as in every window.
    const bool german = !wahl.englisch();
    const QString folder = services.file({parent, text(Legacy::FolderTitle, german),
                                          QStandardPaths::writableLocation(QStandardPaths::HomeLocation), QString(),
                                          FileRequest::Mode::Folder});
    if (folder.isEmpty())
        return;
    // A database with data is refused before the tables are read.
    const QString refused = LegacyImport::refusal(services.database());
    if (!refused.isEmpty()) {
        services.question({text(Legacy::OnlyNew, german) + QLatin1Char('\n') + refused, Messages::caption(!german),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    auto *dialog = new LegacyImportDialog(services, parent, LegacyImport::plan(folder), german);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace LegacyTransfer
