#pragma once
// The application's pictures, drawn by code and cached after the first use.
// All functions need a QGuiApplication and must be called from the UI thread.

#include <QImage>
#include <QIODevice>
#include <QSize>
#include <QString>
#include <QPixmap>

namespace Pictures {

// Traffic light, 49 x 16: 0 grau, 1 rot, 2 gelb, 3 gruen; any other value
// gives the grau picture.
QPixmap trafficLight(int state);

// Scorecard diagram, 300 x 220: perspective 0..3 in full colour and the
// other three faded; -1 (or any other value) shows all four in colour.
QPixmap perspectiveDiagram(int perspective);

// Information picture, 37 x 36: a white speech bubble holding a blue
// question mark, transparent outside the bubble.
QPixmap infoBubble();

// Cause-effect diagram of the twelve key figures, 704 x 382 for branche 0
// and 703 x 369 for any other value, box texts in English or German. Rows
// from the top: financial, customer, process, employee. The row of
// perspective 0..3 (financial, customer, employee, process) lies on a band;
// any other value draws no band.
QPixmap causeEffectDiagram(int branche, bool english, int perspective);

// Start-screen logos 0..3 (305 x 73, 153 x 65, 193 x 105, 193 x 105);
// any other number gives a null pixmap. Loaded from the stored pictures
// when the program carries them, else drawn.
QPixmap logo(int number);

// Application icon, size x size on a transparent background: the emblem of
// logo 0, aligned to whole pixels. A size outside 1..1024 gives a null image.
// The sizes of StoredIconSizes are loaded like the logos.
QImage applicationIcon(int size);

// What the start screen shows is drawn once, at build time
// (bsc-startpictures), and carried by the program as resources under
// ":/start/", so that start-up loads these pictures instead of drawing them.
// The drawings themselves, never taken from the stored pictures:
QImage drawnLogo(int number);
QImage drawnApplicationIcon(int size);
constexpr int StoredIconSizes[] = {16, 32, 48, 64};
QString storedLogoName(int number);    // "logo0.argb"
QString storedIconName(int size);      // "icon16.argb"
// A stored picture is its width and height (two 32-bit numbers in this
// machine's byte order) and its pixels as premultiplied ARGB32, so it loads
// exactly as drawn. Writing fails on a null picture or a full device.
bool writeStored(QIODevice &out, const QImage &picture);
// The stored picture of that name, or a null image when the program carries
// none (or it is not of the given size).
QImage stored(const QString &name, QSize size);

} // namespace Pictures
