#pragma once

#include <QStringList>

class QApplication;
struct Services;


namespace Start {

// Application-wide settings: name, fonts.
void setUp();

// Creates Form1, Eingabe_kennzahlen, eingabe_m and Form2 in this order,
// each given the services (which outlive them).
// When the database fails meanwhile, its message is shown (and printed on
// standard error for a start from a terminal or a launcher's log), every
// window made so far is removed again and false is returned.
bool createWindows(Services &services);
void destroyWindows();

// The whole program: windows, message loop, exit status; on the alias's
// database with real message boxes, dialogs and clock, or with the services
// given.
int run(QApplication &app);
int run(QApplication &app, Services &services);

// "bsc --report PERSPECTIVE YEAR FILE.pdf [--english] [--agriculture]":
// writes both report pages into a new PDF file without showing a window.
int runReport(const QStringList &arguments);

} // namespace Start
