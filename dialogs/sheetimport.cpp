#include "dialogs/sheetimport.h"

#include "platform/db/database.h"
#include "platform/ui/asker.h"
#include "platform/ui/guard.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString choice(bool german, const char *de, const char *en)
{
    return QString::fromUtf8(german ? de : en);
}

void fill(QTableWidget *table, const QStringList &header, const QList<QStringList> &rows)
{
    table->setColumnCount(int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
}

} // namespace

SheetImportDialog::SheetImportDialog(QWidget *parent, const QString &file, Spreadsheet::Plan plan, bool german)
    : QDialog(parent), m_plan(std::move(plan)), m_german(german)
{
    setObjectName(QStringLiteral("SheetImportDialog"));
    setWindowTitle(choice(german, "Aus Tabelle importieren", "Import from spreadsheet"));
    resize(640, 420);

    auto *layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    layout->addWidget(summary);

    list = new QTableWidget(this);
    list->setObjectName(QStringLiteral("list"));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    layout->addWidget(list);

    auto *buttons = new QDialogButtonBox(this);
    writeButton = buttons->addButton(choice(german, "Schreiben", "Write"), QDialogButtonBox::AcceptRole);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    closeButton = buttons->addButton(choice(german, "Abbrechen", "Cancel"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);

    // Multi-argument forms, so that a "%" in the file name stays as it is.
    const QString name = QFileInfo(file).fileName();
    auto counted = [](qsizetype n, const char *one, const char *many) {
        return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
    };
    if (!m_plan.ok()) {
        const qsizetype n = m_plan.faults.size();
        summary->setText(german ? QStringLiteral("%1 enthält %2; es wird nichts geschrieben.").arg(name, counted(n, "Fehler", "Fehler"))
                                : QStringLiteral("%1 has %2; nothing is written.").arg(name, counted(n, "fault", "faults")));
        QList<QStringList> rows;
        for (const Spreadsheet::Fault &f : m_plan.faults)
            rows << QStringList{QString::number(f.line), f.column, f.message};
        fill(list, {choice(german, "Zeile", "Line"), choice(german, "Spalte", "Column"),
                    choice(german, "Fehler", "Fault")},
             rows);
        writeButton->hide();
        closeButton->setText(choice(german, "Schließen", "Close"));
    } else {
        const qsizetype n = m_plan.changes.size();
        const qsizetype r = m_plan.rows.size();
        summary->setText(german ? QStringLiteral("%1 ändert %2 in %3:")
                                      .arg(name, counted(n, "Wert", "Werte"), counted(r, "Zeile", "Zeilen"))
                                : QStringLiteral("%1 changes %2 in %3:")
                                      .arg(name, counted(n, "value", "values"), counted(r, "row", "rows")));
        QList<QStringList> rows;
        for (const Spreadsheet::Change &c : m_plan.changes)
            rows << QStringList{c.table, c.year, c.column, Spreadsheet::display(c.before), Spreadsheet::display(c.after)};
        fill(list, {choice(german, "Tabelle", "Table"), choice(german, "Jahr", "Year"),
                    choice(german, "Spalte", "Column"), choice(german, "Alt", "Old"), choice(german, "Neu", "New")},
             rows);
        writeButton->setDefault(true);
    }

    connectGuarded(writeButton, &QPushButton::clicked, this, &SheetImportDialog::writeClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SheetImportDialog::writeClick()
{
    if (!m_plan.ok() || m_written)
        return;
    const qsizetype n = m_plan.changes.size();
    const QString text = m_german
        ? (n == 1 ? QStringLiteral("Soll die Änderung wirklich gespeichert werden?")
                  : QStringLiteral("Sollen die %1 Änderungen wirklich gespeichert werden?").arg(n))
        : (n == 1 ? QStringLiteral("Should the change really be saved?")
                  : QStringLiteral("Should the %1 changes really be saved?").arg(n));
    const Asker::Answer answer = Asker::ask(
        {text,
         m_german ? QStringLiteral("Meldungsfenster") : QStringLiteral("Information"), Asker::Buttons::OkCancel,
         Asker::Icon::Question});
    if (!Asker::positive(answer))
        return;
    Spreadsheet::apply(Database::alias(), m_plan);
    m_written = true;
    accept();
}
