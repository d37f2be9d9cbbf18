#pragma once

#include "core/spreadsheet.h"

#include <QDialog>

struct Services;
class QLabel;
class QPushButton;
class QTableWidget;

// Shows what an import of key figures would change (table, year, column,
// old and new value) and writes it when the user confirms; a file with
// faults shows every fault with its line and offers nothing to write.
class SheetImportDialog : public QDialog {
    Q_OBJECT
public:
    SheetImportDialog(const Services &services, QWidget *parent, const QString &file, Spreadsheet::Plan plan,
                      bool german);

    // Asks once more, then writes every change in one transaction and
    // closes; a failure keeps the dialog open and nothing written.
    void writeClick();

    bool hasWritten() const { return m_written; }

    QLabel *summary;
    QTableWidget *list;
    QPushButton *writeButton;   // hidden when the file has faults
    QPushButton *closeButton;   // cancels, or closes a list of faults

private:
    const Services &m_services;
    Spreadsheet::Plan m_plan;
    bool m_german;
    bool m_written = false;
};
