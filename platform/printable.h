#pragma once

#include <QString>

// Texts from files and databases shown on a terminal or in a message: control
// characters, escape sequences and direction overrides are shown as escapes
// ("\x1b", "\u202e") instead of acting on the terminal. Line breaks stay when
// asked for (messages of several lines); tabs always stay.
QString printable(const QString &text, bool keepLineBreaks = false);
