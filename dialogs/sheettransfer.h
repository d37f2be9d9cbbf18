#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class Startwahl;
struct Services;

// Key figures and measures to and from spreadsheet files, from the main
// window's menu. Texts are English when English is chosen on the start
// screen, German otherwise (also before a choice).
namespace SheetTransfer {

// The files an export to the chosen name writes: the name itself for
// .xlsx (two sheets), NAME-kennzahlen.csv and NAME-massnahmen.csv for .csv.
// Empty for any other extension.
QStringList exportFiles(const QString &chosen);

// Asks for a file to save under and writes every key figure and measure
// to it; asks before replacing a file.
void exportToSpreadsheet(const Services &services, QWidget *parent, const Startwahl &wahl);

// Asks for a CSV file of key figures and shows what it would change, or
// its faults, in a SheetImportDialog, which writes only when confirmed.
void importFromSpreadsheet(const Services &services, QWidget *parent, const Startwahl &wahl);

} // namespace SheetTransfer
