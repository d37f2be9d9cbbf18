#pragma once

#include <QStringList>

class QApplication;


namespace Start {

// Application-wide settings: name, fonts, where engine errors are shown.
void setUp();

// Creates Form1, Eingabe_kennzahlen, eingabe_m and Form2 in this order.
// When the database fails meanwhile, its message is shown (and printed on
// standard error for a start from a terminal or a launcher's log), every
// window made so far is removed again and false is returned.
bool createWindows();
void destroyWindows();

// The whole program: windows, message loop, exit status.
int run(QApplication &app);

// "bsc --report PERSPECTIVE YEAR FILE.pdf [--english] [--agriculture]":
// writes both report pages into a new PDF file without showing a window.
int runReport(const QStringList &arguments);

} // namespace Start
