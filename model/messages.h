#pragma once
// The texts of the windows' message boxes (messages, questions and their
// captions) and of the notices the windows show, one table per window, by
// language, letter for letter. A language not yet chosen counts as German:
// pass Startwahl::englisch(), which is true for the start screen's English
// item only.

#include <QString>

namespace Messages {

// The caption of most messages and questions: "Meldungsfenster" in German,
// "Information" in English.
QString caption(bool english);

// Key-figure entry dialog (Eingabe_kennzahlen).
enum class KeyFigure {
    SaveQuestion,     // the save question
    SaveCaption,      // its caption
    CloseQuestion,    // "Beenden..."
    NoRowShown,       // save refused: no row shown
    InvalidValue,     // %1 value, %2 field, %3 column, %4 reason
    NoRowForYear,     // %1 table, %2 year (a notice in the window)
    AddYearHint,      // %1 year
    YearHasFourDigits,
    Unsaved,          // typed values not saved: save, discard or go back
    LastChanged,      // %1 user, %2 time: the last recorded change of the row shown
};
QString keyFigure(KeyFigure id, bool english);

// Measures editor (eingabe_m).
enum class Measures {
    SaveQuestion,
    DeleteQuestion,
    CloseQuestion,
    CloseCaption,     // the close question's caption, the same in both
    NotFound,         // %1 Nr
    NoneShown,
    NothingDeleted,
    NothingChanged,
    NoGoal,           // "neue Maßnahme..." without a goal of the list
    Unsaved,          // a measure not saved: save, discard or go back
    Count,            // %1 count; the count label, German in both
    LastChanged,      // %1 user, %2 time: the last recorded change of the measure shown
};
QString measures(Measures id, bool english);

// Report launch (Form2 from the Objectives page).
enum class Report {
    NoPerspective,    // the perspective box holds typed text
    FileNamePrefix,   // the start of the proposed PDF file name
};
QString report(Report id, bool english);

// Main window: the pages' message boxes.
enum class MainWindow {
    InfoCaption,      // the Objectives page's information texts
    ExportMenu,       // the spreadsheet items of the menu
    ImportMenu,
    LegacyImportMenu, // the old program's tables
};
QString mainWindow(MainWindow id, bool english);

// Spreadsheet export and import (the main window's menu and the import
// dialog).
enum class Sheets {
    ImportTitle,
    ExportTitle,
    CsvFilter,
    XlsxFilter,
    BadSuffix,        // %1 chosen file
    ReplaceQuestion,  // followed by the files, one a line
    Written,          // %1 lines, %2 measures; followed by the files
    NoChange,
    WriteButton,
    CancelButton,
    CloseButton,
    FaultSummary,     // %1 file, %2 counted faults
    ChangeSummary,    // %1 file, %2 counted values, %3 counted rows
    FaultOne,
    FaultMany,
    ValueOne,
    ValueMany,
    RowOne,
    RowMany,
    HeadLine,
    HeadColumn,
    HeadFault,
    HeadTable,
    HeadYear,
    HeadOld,
    HeadNew,
    ConfirmOne,
    ConfirmMany,      // %1 changes
};
QString sheets(Sheets id, bool english);

// Import of the old program's tables (the main window's menu and its window).
enum class Legacy {
    Title,
    FolderTitle,      // the folder chooser's title
    ImportButton,
    CancelButton,
    CloseButton,
    FaultSummary,     // %1 folder, %2 counted faults
    FaultOne,
    FaultMany,
    Summary,          // %1 folder, %2 values, %3 measures
    HeadFile,
    HeadRow,
    HeadYear,
    HeadColumn,
    HeadFault,
    HeadTable,
    HeadRows,
    HeadValues,
    Question,
    OnlyNew,          // followed by the reason, on a line of its own
};
QString legacy(Legacy id, bool english);

// A change refused because this user may only read the database.
QString readOnly(bool english);

} // namespace Messages
