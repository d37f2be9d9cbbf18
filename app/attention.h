#pragma once

class KeyFigureHistory;
class QString;
class TForm1;

namespace Attention {

// Puts the red-without-measure markers on the Perspectives and Objectives
// pages (a click on one displays its goal and year on the Measures page)
// and the year report's item in the "Data" menu.
void attach(TForm1 &form);

// Shows a goal (1..12) of a year with the yearly period on the Measures
// page, displayed and ready for "Maßnahmen einfügen / bearbeiten...".
void landOnMeasures(TForm1 &form, int ziel, const QString &year);

// "Jahresbericht als PDF...": asks for the year and the file, writes the
// report, and tells why when it cannot.
void yearReportClick(TForm1 &form);

// Opens "Entwicklung der Kennzahl" with a key figure (perspective 0..3,
// position 0..2) and a period (0..6), made when first needed.
void openHistory(TForm1 &form, int perspektive, int position, int zeitraum);
// The history window of the main window, nullptr until first opened.
KeyFigureHistory *history(const TForm1 &form);

} // namespace Attention
