#include "dialogs/legacyimport.h"

#include "model/startwahl.h"
#include "platform/db/database.h"
#include "platform/ui/asker.h"
#include "platform/ui/guard.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString choice(bool german, const char *de, const char *en) { return QString::fromUtf8(german ? de : en); }

QString caption(bool german) { return choice(german, "Meldungsfenster", "Information"); }

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

LegacyImportDialog::LegacyImportDialog(QWidget *parent, LegacyImport::Plan plan, bool german)
    : QDialog(parent), m_plan(std::move(plan)), m_german(german)
{
    setObjectName(QStringLiteral("LegacyImportDialog"));
    setWindowTitle(choice(german, "Alte Tabellen importieren", "Import old tables"));
    resize(720, 480);

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

    notes = new QLabel(this);
    notes->setObjectName(QStringLiteral("notes"));
    notes->setWordWrap(true);
    notes->setText(m_plan.notes.join(QLatin1Char('\n')));
    notes->setVisible(!m_plan.notes.isEmpty());
    layout->addWidget(notes);

    auto *buttons = new QDialogButtonBox(this);
    writeButton = buttons->addButton(choice(german, "Importieren", "Import"), QDialogButtonBox::AcceptRole);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    closeButton = buttons->addButton(choice(german, "Abbrechen", "Cancel"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);

    const QString folder = m_plan.folder;
    if (!m_plan.ok()) {
        const QString n = QString::number(m_plan.faults.size());
        summary->setText(german ? QStringLiteral("Die Tabellen in %1 enthalten %2 Fehler; es wird nichts geschrieben.").arg(folder, n)
                                : QStringLiteral("The tables in %1 have %2 %3; nothing is written.")
                                      .arg(folder, n, m_plan.faults.size() == 1 ? QStringLiteral("fault") : QStringLiteral("faults")));
        QList<QStringList> rows;
        for (const LegacyImport::Fault &f : m_plan.faults)
            rows << QStringList{f.file, f.row > 0 ? QString::number(f.row) : QString(), f.year, f.column, f.message};
        fill(list, {choice(german, "Datei", "File"), choice(german, "Zeile", "Row"), choice(german, "Jahr", "Year"),
                    choice(german, "Spalte", "Column"), choice(german, "Fehler", "Fault")},
             rows);
        writeButton->hide();
        closeButton->setText(choice(german, "Schließen", "Close"));
    } else {
        const QString values = QString::number(m_plan.valueCount() - m_plan.measures.size());
        const QString measures = QString::number(m_plan.measures.size());
        summary->setText(german ? QStringLiteral("Aus %1 werden %2 Werte und %3 Maßnahmen importiert:").arg(folder, values, measures)
                                : QStringLiteral("From %1, %2 values and %3 measures are imported:").arg(folder, values, measures));
        QList<QStringList> rows;
        for (const LegacyImport::TableSummary &t : m_plan.tables)
            rows << QStringList{t.table, t.file, QString::number(t.rows), QString::number(t.values)};
        fill(list, {choice(german, "Tabelle", "Table"), choice(german, "Datei", "File"),
                    choice(german, "Zeilen", "Rows"), choice(german, "Werte / Maßnahmen", "Values / measures")},
             rows);
        writeButton->setDefault(true);
    }

    connectGuarded(writeButton, &QPushButton::clicked, this, &LegacyImportDialog::writeClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LegacyImportDialog::writeClick()
{
    if (!m_plan.ok() || m_written)
        return;
    const Asker::Answer answer = Asker::ask(
        {m_german ? QStringLiteral("Sollen die alten Tabellen wirklich importiert werden?")
                  : QStringLiteral("Should the old tables really be imported?"),
         caption(m_german), Asker::Buttons::OkCancel, Asker::Icon::Question});
    if (!Asker::positive(answer))
        return;
    LegacyImport::apply(Database::alias(), m_plan, QDate::currentDate().year());
    m_written = true;
    accept();
}

namespace LegacyTransfer {
namespace {

Chooser &chooser()
{
    static Chooser c;
    return c;
}

QString folderDialog(QWidget *parent, bool german)
{
    return QFileDialog::getExistingDirectory(parent, choice(german, "Ordner der alten Tabellen", "Folder of the old tables"),
                                             QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
}

} // namespace

void setChooser(Chooser c) { chooser() = std::move(c); }

void importOldTables(QWidget *parent, const Startwahl &wahl)
{
    // German only when it was chosen, as the menu item's neighbours.
    const bool german = wahl.sprache() == 1;
    const QString folder = chooser() ? chooser()(parent, german) : folderDialog(parent, german);
    if (folder.isEmpty())
        return;
    // A database with data is refused before the tables are read.
    const QString refused = LegacyImport::refusal(Database::alias());
    if (!refused.isEmpty()) {
        Asker::ask({(german ? QStringLiteral("Die alten Tabellen werden nur in eine neue Datenbank importiert; es wurde nichts geschrieben.\n")
                            : QStringLiteral("The old tables are imported only into a new database; nothing was written.\n"))
                        + refused,
                    caption(german), Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    auto *dialog = new LegacyImportDialog(parent, LegacyImport::plan(folder), german);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace LegacyTransfer
