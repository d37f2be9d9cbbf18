#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class Startwahl;

// Key figures and measures to and from spreadsheet files, from the main
// window's menu. Texts are English when English is chosen on the start
// screen, German otherwise (also before a choice).
namespace SheetTransfer {

enum class Purpose { Export, Import };

// Asks for a file; an empty text when the user cancels. The default is the
// file dialog; tests install their own so that nothing blocks.
using Chooser = std::function<QString(QWidget *parent, Purpose purpose, bool german)>;
void setChooser(Chooser chooser);   // an empty function restores the dialog

// The files an export to the chosen name writes: the name itself for
// .xlsx (two sheets), NAME-kennzahlen.csv and NAME-massnahmen.csv for .csv.
// Empty for any other extension.
QStringList exportFiles(const QString &chosen);

// Asks for a file and writes every key figure and measure to it; asks
// before replacing a file.
void exportToSpreadsheet(QWidget *parent, const Startwahl &wahl);

// Asks for a CSV file of key figures and shows what it would change, or
// its faults, in a SheetImportDialog, which writes only when confirmed.
void importFromSpreadsheet(QWidget *parent, const Startwahl &wahl);

} // namespace SheetTransfer
