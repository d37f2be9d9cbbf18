#pragma once

#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class Selector;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

// Fonts and small factories for controls placed at fixed pixels, so that a
// window is built from tables of positions instead of long setter runs.
namespace Controls {

// "MS Sans Serif" and Arial are taken by installed look-alikes.
void installFontSubstitutes();
// A font by its family and character height in pixels.
QFont font(const QString &family, int pixelHeight, bool bold = false, bool underline = false);
QFont defaultFont();   // "MS Sans Serif", 11 pixels
QFont arial(int pixelHeight, bool bold = true, bool underline = false);

// Moves and sizes a top-level window by its outer frame, as a classic
// desktop frame measures it (4 pixels of border, a 26-pixel title bar).
void setOuterGeometry(QWidget *window, int left, int top, int width, int height);
constexpr int FrameWidth = 4;
constexpr int TitleHeight = 26;

// A label that sizes itself to its caption.
QLabel *label(QWidget *parent, const QString &name, const QString &text, QPoint at, const QFont &font);
QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &frame, bool enabled);
// A selector showing its prompt text while nothing is chosen (height 21).
Selector *selector(QWidget *parent, const QString &name, const QString &prompt, QPoint at, int width,
                   const QStringList &items, bool enabled);
// Draws a picture for a label when the label is first shown, not before:
// a hidden page's pictures cost nothing at start-up.
using Drawing = std::function<QPixmap()>;
void drawOnFirstShow(QLabel *label, Drawing drawing);
// A picture control; the picture is drawn on its first show, from the top
// left and cut at the control's edge, as a fixed-size picture box does.
QLabel *picture(QWidget *parent, const QString &name, const QRect &frame, Drawing drawing);

// A read-only list of whole rows without row numbers, and a caption that
// wraps: the parts of a window that shows what an import finds.
QTableWidget *readOnlyList(QWidget *parent, const QString &name);
QLabel *wrappedLabel(QWidget *parent, const QString &name);
// Fills a read-only list of texts under its column heads, columns as wide
// as their texts, the last one taking the rest.
void fillTable(QTableWidget *table, const QStringList &header, const QList<QStringList> &rows);

} // namespace Controls
