#pragma once

class TForm1;
class TEingabe_kennzahlen;
class Teingabe_m;
class TForm2;

// The four windows, each created once at start-up and alive until the end.
extern TForm1 *Form1;
extern TEingabe_kennzahlen *Eingabe_kennzahlen;
extern Teingabe_m *eingabe_m;
extern TForm2 *Form2;
