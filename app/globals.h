#pragma once

class TForm1;
class TEingabe_kennzahlen;
class Teingabe_m;
class TForm2;

// The four windows, each created once at start-up and alive until the end,
// reachable from everywhere but set by the start alone (Start::createWindows);
// nullptr before and after.
extern TForm1 *const &Form1;
extern TEingabe_kennzahlen *const &Eingabe_kennzahlen;
extern Teingabe_m *const &eingabe_m;
extern TForm2 *const &Form2;
