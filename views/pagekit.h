#pragma once
// What several pages build alike: light slots from the traffic-light
// pictures, and the four perspective pictures of which one is shown.

#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <memory>

#include "model/ampel.h"
#include "platform/ui/lightslot.h"

class QLabel;
class QWidget;

namespace PageKit {

// A slot of four pictures named by state (grau, rot, gelb, gruen) with the
// prefix and suffix around the state word ("amp_" + "gelb" + "_z7"); the
// grey picture stands at the slot, the others at their own start places.
std::unique_ptr<LightSlot> lightSlot(QWidget *page, const QString &prefix, const QString &suffix, QPoint position,
                                     const std::array<QPoint, LightSlot::Count> &starts, QSize size,
                                     const QString &description);

// Shows a judgement: grey resets the slot (not judged), a colour switches it.
void show(LightSlot &slot, Ampel ampel);

// The perspective pictures bild_bsc_fip, _kup, _map, _prp with a name suffix
// ("", "2", "3"), each at its creation place; only the first is visible.
class PerspectivePictures {
public:
    PerspectivePictures(QWidget *page, const QString &suffix, const std::array<QPoint, 4> &places, QSize size);
    // Shows perspective 0..3 at the shown place and hides the other three;
    // any other index changes nothing.
    void show(int perspektive);
    QLabel *picture(int perspektive) const { return m_pictures.at(perspektive); }

    static constexpr QPoint ShownPlace{704, 392};

private:
    std::array<QLabel *, 4> m_pictures{};
};

} // namespace PageKit
