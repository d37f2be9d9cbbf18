#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <array>
#include <functional>

class QLabel;
class QWidget;

// A traffic-light place on a page: four picture controls, one per state
// (0 = not judged, 1..3 = the coloured states), of which one is visible.
// The labels belong to the parent widget; this object only switches them.
class LightSlot {
public:
    static constexpr int Count = 4;

    // names and start positions per state, and the drawing of a state's
    // picture, called when that picture is first shown; the state words
    // tell the state to a screen reader, never by colour alone.
    LightSlot(QWidget *parent,
              const std::array<QString, Count> &names,
              const std::function<QPixmap(int state)> &drawing,
              const std::array<QPoint, Count> &starts,
              QSize size,
              QPoint position,
              const std::array<QString, Count> &stateWords,
              const QString &prefix,
              const QString &description);

    // Shows the state's picture at the slot position and hides the other
    // three; the state-0 picture is never moved. Other values reset.
    void switchTo(int state);
    // Shows the state-0 picture and hides the coloured ones, moving nothing.
    void reset();
    // Hides the three coloured pictures; the state-0 picture keeps its state.
    void hideColours();
    // Hides all four pictures (a page may leave a slot empty).
    void hideAll();

    // The state whose picture is visible, -1 when none is.
    int state() const;
    QLabel *picture(int state) const;
    QPoint position() const { return m_position; }

private:
    std::array<QPointer<QLabel>, Count> m_pictures;
    QPoint m_position;
};
