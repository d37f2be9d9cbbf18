#include "dialogs/sheetimport.h"

#include "model/messages.h"
#include "platform/db/database.h"
#include "platform/ui/asker.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString text(Messages::Sheets id, bool german) { return Messages::sheets(id, !german); }

} // namespace

SheetImportDialog::SheetImportDialog(const Services &services, QWidget *parent, const QString &file,
                                     Spreadsheet::Plan plan, bool german)
    : QDialog(parent), m_services(services), m_plan(std::move(plan)), m_german(german)
{
    setObjectName(QStringLiteral("SheetImportDialog"));
    setWindowTitle(text(Messages::Sheets::ImportTitle, german));
    resize(640, 420);

    auto *layout = new QVBoxLayout(this);
    summary = Controls::wrappedLabel(this, QStringLiteral("summary"));
    layout->addWidget(summary);
    list = Controls::readOnlyList(this, QStringLiteral("list"));
    layout->addWidget(list);

    auto *buttons = new QDialogButtonBox(this);
    writeButton = buttons->addButton(text(Messages::Sheets::WriteButton, german), QDialogButtonBox::AcceptRole);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    closeButton = buttons->addButton(text(Messages::Sheets::CancelButton, german), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);

    // Multi-argument forms, so that a "%" in the file name stays as it is.
    const QString name = QFileInfo(file).fileName();
    auto counted = [german](qsizetype n, Messages::Sheets one, Messages::Sheets many) {
        return QString::number(n) + QLatin1Char(' ') + text(n == 1 ? one : many, german);
    };
    if (!m_plan.ok()) {
        const qsizetype n = m_plan.faults.size();
        summary->setText(text(Messages::Sheets::FaultSummary, german)
                             .arg(name, counted(n, Messages::Sheets::FaultOne, Messages::Sheets::FaultMany)));
        QList<QStringList> rows;
        for (const Spreadsheet::Fault &f : m_plan.faults)
            rows << QStringList{QString::number(f.line), f.column, f.message};
        Controls::fillTable(list, {text(Messages::Sheets::HeadLine, german), text(Messages::Sheets::HeadColumn, german),
                    text(Messages::Sheets::HeadFault, german)},
             rows);
        writeButton->hide();
        closeButton->setText(text(Messages::Sheets::CloseButton, german));
    } else {
        const qsizetype n = m_plan.changes.size();
        const qsizetype r = m_plan.rows.size();
        summary->setText(text(Messages::Sheets::ChangeSummary, german)
                             .arg(name, counted(n, Messages::Sheets::ValueOne, Messages::Sheets::ValueMany),
                                  counted(r, Messages::Sheets::RowOne, Messages::Sheets::RowMany)));
        QList<QStringList> rows;
        for (const Spreadsheet::Change &c : m_plan.changes)
            rows << QStringList{c.table, c.year, c.column, Spreadsheet::display(c.before), Spreadsheet::display(c.after)};
        Controls::fillTable(list, {text(Messages::Sheets::HeadTable, german), text(Messages::Sheets::HeadYear, german),
                    text(Messages::Sheets::HeadColumn, german), text(Messages::Sheets::HeadOld, german), text(Messages::Sheets::HeadNew, german)},
             rows);
        writeButton->setDefault(true);
    }

    connectGuarded(m_services, writeButton, &QPushButton::clicked, this, &SheetImportDialog::writeClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SheetImportDialog::writeClick()
{
    if (!m_plan.ok() || m_written)
        return;
    const qsizetype n = m_plan.changes.size();
    const QString question = n == 1 ? text(Messages::Sheets::ConfirmOne, m_german)
                                    : text(Messages::Sheets::ConfirmMany, m_german).arg(n);
    const Asker::Answer answer = m_services.question(
        {question, Messages::caption(!m_german), Asker::Buttons::OkCancel, Asker::Icon::Question});
    if (!Asker::positive(answer))
        return;
    Spreadsheet::apply(m_services.database(), m_plan);
    m_written = true;
    accept();
}
