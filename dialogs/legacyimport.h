#pragma once

#include "core/legacyimport.h"

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;
class Startwahl;
struct Services;

// The old program's tables, from the main window's menu: asks for their
// folder, shows every fault or what each table brings, and writes on
// confirmation into a database that holds no data yet.
class LegacyImportDialog : public QDialog {
    Q_OBJECT
public:
    LegacyImportDialog(const Services &services, QWidget *parent, LegacyImport::Plan plan, bool german);

    // Asks once more, then writes everything in one transaction and closes;
    // a failure keeps the dialog open and nothing written.
    void writeClick();

    bool hasWritten() const { return m_written; }

    QLabel *summary;
    QTableWidget *list;
    QLabel *notes;              // columns left out, no measures table
    QPushButton *writeButton;   // hidden when the tables have faults
    QPushButton *closeButton;

private:
    const Services &m_services;
    LegacyImport::Plan m_plan;
    bool m_german;
    bool m_written = false;
};

namespace LegacyTransfer {

// The menu item: asks for the folder, refuses a database that holds data,
// and shows the LegacyImportDialog.
void importOldTables(const Services &services, QWidget *parent, const Startwahl &wahl);

} // namespace LegacyTransfer
