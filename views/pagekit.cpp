#include "views/pagekit.h"

#include "platform/ui/controls.h"
#include "resources/pictures.h"

#include <QLabel>

namespace PageKit {

std::unique_ptr<LightSlot> lightSlot(QWidget *page, const QString &prefix, const QString &suffix, QPoint position,
                                     const std::array<QPoint, LightSlot::Count> &starts, QSize size,
                                     const QString &description)
{
    static const std::array<QString, LightSlot::Count> states = {
        QStringLiteral("grau"), QStringLiteral("rot"), QStringLiteral("gelb"), QStringLiteral("gruen")};
    // The state is also told in words, never by colour alone.
    static const std::array<QString, LightSlot::Count> words = {
        QStringLiteral("grau (nicht beurteilt)"), QStringLiteral("rot"), QStringLiteral("gelb"),
        QStringLiteral("grün")};
    std::array<QString, LightSlot::Count> names;
    for (int i = 0; i < LightSlot::Count; ++i)
        names[i] = prefix + states[i] + suffix;
    return std::make_unique<LightSlot>(page, names, &Pictures::trafficLight, starts, size, position, words,
                                       QStringLiteral("Ampel"), description);
}

void show(LightSlot &slot, Ampel ampel)
{
    if (ampel == Ampel::Grau)
        slot.reset();
    else
        slot.switchTo(int(ampel));
}

PerspectivePictures::PerspectivePictures(QWidget *page, const QString &suffix, const std::array<QPoint, 4> &places,
                                         QSize size)
{
    static const char *const names[4] = {"bild_bsc_fip", "bild_bsc_kup", "bild_bsc_map", "bild_bsc_prp"};
    for (int p = 0; p < 4; ++p) {
        m_pictures[p] = Controls::picture(page, QString::fromLatin1(names[p]) + suffix, QRect(places[p], size),
                                          [p] { return Pictures::perspectiveDiagram(p); });
        m_pictures[p]->setVisible(p == 0);
    }
}

void PerspectivePictures::show(int perspektive)
{
    if (perspektive < 0 || perspektive > 3)
        return;
    for (int p = 0; p < 4; ++p) {
        if (p == perspektive) {
            m_pictures[p]->move(ShownPlace);
            m_pictures[p]->show();
        } else {
            m_pictures[p]->hide();
        }
    }
}

} // namespace PageKit
