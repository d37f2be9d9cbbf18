#pragma once
// The application's pictures, drawn by code and cached after the first use.
// All functions need a QGuiApplication and must be called from the UI thread.

#include <QImage>
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
// any other number gives a null pixmap.
QPixmap logo(int number);

// Application icon, size x size on a transparent background: the emblem of
// logo 0, aligned to whole pixels. A size outside 1..1024 gives a null image.
QImage applicationIcon(int size);

} // namespace Pictures
