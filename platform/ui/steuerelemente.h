#pragma once

#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class Auswahlbox;
class QLabel;
class QPushButton;
class QWidget;

// Fonts and small factories for controls placed at fixed pixels, so that a
// window is built from tables of positions instead of long setter runs.
namespace Steuerelemente {

// "MS Sans Serif" and Arial are taken by installed look-alikes.
void schriftersatzEinrichten();
// A font by its family and character height in pixels.
QFont schrift(const QString &familie, int pixelHoehe, bool fett = false, bool unterstrichen = false);
QFont standardschrift();   // "MS Sans Serif", 11 pixels
QFont arial(int pixelHoehe, bool fett = true, bool unterstrichen = false);

// Moves and sizes a top-level window by its outer frame, as a classic
// desktop frame measures it (4 pixels of border, a 26-pixel title bar).
void aussenmasse(QWidget *fenster, int links, int oben, int breite, int hoehe);
constexpr int RahmenBreite = 4;
constexpr int TitelHoehe = 26;

// A label that sizes itself to its caption.
QLabel *beschriftung(QWidget *parent, const QString &name, const QString &text, QPoint ort, const QFont &font);
QPushButton *knopf(QWidget *parent, const QString &name, const QString &text, const QRect &rahmen, bool aktiv);
// A selector showing its prompt text while nothing is chosen (height 21).
Auswahlbox *auswahl(QWidget *parent, const QString &name, const QString &prompt, QPoint ort, int breite,
                    const QStringList &eintraege, bool aktiv);
// A picture control; the picture is drawn from the top left and cut at the
// control's edge, as a fixed-size picture box does.
QLabel *bild(QWidget *parent, const QString &name, const QRect &rahmen, const QPixmap &pixmap);

} // namespace Steuerelemente
