#include "model/messages.h"

#include <iterator>

namespace Messages {
namespace {

struct Text {
    const char *german;
    const char *english;
};

template <class Id, std::size_t N>
QString pick(const Text (&table)[N], Id id, bool english)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= N)
        return {};
    return QString::fromUtf8(english ? table[index].english : table[index].german);
}

constexpr const char *Meldungsfenster = "Meldungsfenster";

// In the order of the enumerations.
const Text KeyFigureTexts[] = {
    {"Sollen die Daten wirklich gespeichert werden?", "Should the data really be saved?"},
    {Meldungsfenster, "Infomation"},
    {"Alle Daten müssen einzeln gespeichert werden, bevor beendet wird!",
     "All data must be stored individually, before close!"},
    {"Es wird keine Zeile angezeigt; es wurde nichts gespeichert.", "No row is shown; nothing was saved."},
    {"Der Wert „%1“ im Feld %2 (%3) ist %4. Es wurde nichts gespeichert; die Eingabe kann korrigiert werden.",
     "The value \"%1\" in the field %2 (%3) is %4. Nothing was saved; the row stays in editing for correction."},
    {"Für das Jahr „%2“ hat %1 keine Zeile; nichts kann gespeichert werden. ",
     "Table %1 has no row for the year \"%2\"; nothing can be saved. "},
    {"Anlegen: bsc-db add-year %1", "To add it: bsc-db add-year %1"},
    {"Ein Jahr hat vier Ziffern.", "A year has four digits."},
    {"Die eingegebenen Werte sind noch nicht gespeichert. Sollen sie gespeichert werden?\n"
     "Ja: speichern, Nein: verwerfen, Abbrechen: zurück zur Eingabe.",
     "The values typed are not saved yet. Should they be saved?\n"
     "Yes: save, No: discard, Cancel: go back to the entry."},
    {"Zuletzt geändert von %1 am %2", "Last changed by %1 on %2"},
};
static_assert(std::size(KeyFigureTexts) == std::size_t(KeyFigure::LastChanged) + 1);

const Text MeasuresTexts[] = {
    {"Diese Maßnahme speichern?", "Save this measures?"},
    {"Diese Maßnahme wirklich löschen?", "Delete this measure?"},
    {"Eingabe wirklich beenden?", "Exit enter measures?"},
    {"Information", "Information"},
    {"Die Maßnahme Nr. %1 wurde nicht gefunden; sie wurde wohl inzwischen gelöscht. ",
     "The measure no. %1 was not found; another user may have deleted it. "},
    {"Es wird keine Maßnahme angezeigt. ", "No measure is shown. "},
    {"Es wurde nichts gelöscht.", "Nothing was deleted."},
    {"Es wurde nichts geändert.", "Nothing was changed."},
    {"Eine neue Maßnahme braucht ein Ziel: Bitte auf der Seite „Maßnahmen“ ein Ziel aus der Liste wählen. "
     "Es wurde nichts angelegt.",
     "A new measure needs a goal: please choose a goal of the list on the Measures page. Nothing was added."},
    {"Die Maßnahme ist noch nicht gespeichert. Soll sie gespeichert werden?\n"
     "Ja: speichern, Nein: verwerfen, Abbrechen: zurück zur Eingabe.",
     "The measure is not saved yet. Should it be saved?\n"
     "Yes: save, No: discard, Cancel: go back to the entry."},
    {"insg. %1 Datensätze vorhanden", "insg. %1 Datensätze vorhanden"},
    {"Zuletzt geändert von %1 am %2", "Last changed by %1 on %2"},
};
static_assert(std::size(MeasuresTexts) == std::size_t(Measures::LastChanged) + 1);

const Text ReportTexts[] = {
    {"Bitte eine Perspektive aus der Liste wählen; für einen eingetippten Text gibt es keinen Bericht. "
     "Es wird kein Bericht angezeigt.",
     "Please choose a perspective of the list; there is no report for a typed text. No report is shown."},
    {"Bericht ", "Report "},
};
static_assert(std::size(ReportTexts) == std::size_t(Report::FileNamePrefix) + 1);

const Text MainWindowTexts[] = {
    {"Information", "Information"},
    {"In Tabelle exportieren...", "Export to spreadsheet..."},
    {"Aus Tabelle importieren...", "Import from spreadsheet..."},
    {"Alte Tabellen importieren...", "Import old tables..."},
};
static_assert(std::size(MainWindowTexts) == std::size_t(MainWindow::LegacyImportMenu) + 1);

const Text SheetTexts[] = {
    {"Aus Tabelle importieren", "Import from spreadsheet"},
    {"In Tabelle exportieren", "Export to spreadsheet"},
    {"CSV-Dateien (*.csv)", "CSV files (*.csv)"},
    {"Excel-Arbeitsmappe (*.xlsx)", "Excel workbook (*.xlsx)"},
    {"%1: Der Dateiname muss auf .csv oder .xlsx enden; es wurde nichts geschrieben.",
     "%1: the file name must end in .csv or .xlsx; nothing was written."},
    {"Diese Dateien gibt es schon. Sollen sie ersetzt werden?\n", "These files exist already. Should they be replaced?\n"},
    {"%1 Zeilen Kennzahlen und %2 Maßnahmen wurden hierhin geschrieben:\n",
     "%1 lines of key figures and %2 measures were written to:\n"},
    {"Die Datei enthält keine Änderung; es wurde nichts geschrieben.", "The file holds no change; nothing was written."},
    {"Schreiben", "Write"},
    {"Abbrechen", "Cancel"},
    {"Schließen", "Close"},
    {"%1 enthält %2; es wird nichts geschrieben.", "%1 has %2; nothing is written."},
    {"%1 ändert %2 in %3:", "%1 changes %2 in %3:"},
    {"Fehler", "fault"},
    {"Fehler", "faults"},
    {"Wert", "value"},
    {"Werte", "values"},
    {"Zeile", "row"},
    {"Zeilen", "rows"},
    {"Zeile", "Line"},
    {"Spalte", "Column"},
    {"Fehler", "Fault"},
    {"Tabelle", "Table"},
    {"Jahr", "Year"},
    {"Alt", "Old"},
    {"Neu", "New"},
    {"Soll die Änderung wirklich gespeichert werden?", "Should the change really be saved?"},
    {"Sollen die %1 Änderungen wirklich gespeichert werden?", "Should the %1 changes really be saved?"},
};
static_assert(std::size(SheetTexts) == std::size_t(Sheets::ConfirmMany) + 1);

const Text LegacyTexts[] = {
    {"Alte Tabellen importieren", "Import old tables"},
    {"Ordner der alten Tabellen", "Folder of the old tables"},
    {"Importieren", "Import"},
    {"Abbrechen", "Cancel"},
    {"Schließen", "Close"},
    {"Die Tabellen in %1 enthalten %2; es wird nichts geschrieben.", "The tables in %1 have %2; nothing is written."},
    {"1 Fehler", "1 fault"},
    {"%1 Fehler", "%1 faults"},
    {"Aus %1 werden %2 Werte und %3 Maßnahmen importiert:", "From %1, %2 values and %3 measures are imported:"},
    {"Datei", "File"},
    {"Zeile", "Row"},
    {"Jahr", "Year"},
    {"Spalte", "Column"},
    {"Fehler", "Fault"},
    {"Tabelle", "Table"},
    {"Zeilen", "Rows"},
    {"Werte / Maßnahmen", "Values / measures"},
    {"Sollen die alten Tabellen wirklich importiert werden?", "Should the old tables really be imported?"},
    {"Die alten Tabellen werden nur in eine neue Datenbank importiert; es wurde nichts geschrieben.",
     "The old tables are imported only into a new database; nothing was written."},
};
static_assert(std::size(LegacyTexts) == std::size_t(Legacy::OnlyNew) + 1);

} // namespace

QString caption(bool english) { return QString::fromUtf8(english ? "Information" : Meldungsfenster); }

QString keyFigure(KeyFigure id, bool english) { return pick(KeyFigureTexts, id, english); }

QString measures(Measures id, bool english) { return pick(MeasuresTexts, id, english); }

QString report(Report id, bool english) { return pick(ReportTexts, id, english); }

QString mainWindow(MainWindow id, bool english) { return pick(MainWindowTexts, id, english); }

QString sheets(Sheets id, bool english) { return pick(SheetTexts, id, english); }

QString legacy(Legacy id, bool english) { return pick(LegacyTexts, id, english); }

QString readOnly(bool english)
{
    return QString::fromUtf8(english ? "You may read this scorecard but not change it"
                                     : "Sie dürfen diese Daten lesen, aber nicht ändern");
}

} // namespace Messages
