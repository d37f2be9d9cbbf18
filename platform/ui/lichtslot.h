#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <array>

class QLabel;
class QWidget;

// A traffic-light place on a page: four picture controls, one per state
// (0 = not judged, 1..3 = the coloured states), of which one is visible.
// The labels belong to the parent widget; this object only switches them.
class Lichtslot {
public:
    static constexpr int Anzahl = 4;

    Lichtslot(QWidget *parent,
              const std::array<QString, Anzahl> &objektnamen,
              const std::array<QPixmap, Anzahl> &bilder,
              const std::array<QPoint, Anzahl> &startorte,
              QSize bildgroesse,
              QPoint slotort,
              const std::array<QString, Anzahl> &zustandsworte,
              const QString &praefix,
              const QString &beschreibung);

    // Shows the state's picture at the slot position and hides the other
    // three; the state-0 picture is never moved. Other values reset.
    void schalten(int zustand);
    // Shows the state-0 picture and hides the coloured ones, moving nothing.
    void zuruecksetzen();
    // Hides the three coloured pictures; the state-0 picture keeps its state.
    void farbenVerbergen();
    // Hides all four pictures (a page may leave a slot empty).
    void verbergen();

    // The state whose picture is visible, -1 when none is.
    int zustand() const;
    QLabel *bild(int zustand) const;
    QPoint slotort() const { return m_slotort; }

private:
    std::array<QPointer<QLabel>, Anzahl> m_bilder;
    QPoint m_slotort;
};
