#pragma once

class QApplication;

namespace Start {

// Application-wide settings: name, fonts, where engine errors are shown.
void einrichten();

// Creates Form1, Eingabe_kennzahlen, eingabe_m and Form2 in this order.
// When the database fails meanwhile, its message is shown, every window
// made so far is removed again and false is returned.
bool fensterErzeugen();
void fensterFreigeben();

// The whole program: windows, message loop, exit status.
int ausfuehren(QApplication &app);

} // namespace Start
