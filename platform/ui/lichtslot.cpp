#include "platform/ui/lichtslot.h"

#include <QLabel>

Lichtslot::Lichtslot(QWidget *parent,
                     const std::array<QString, Anzahl> &objektnamen,
                     const std::array<QPixmap, Anzahl> &bilder,
                     const std::array<QPoint, Anzahl> &startorte,
                     QSize bildgroesse,
                     QPoint slotort,
                     const std::array<QString, Anzahl> &zustandsworte,
                     const QString &praefix,
                     const QString &beschreibung)
    : m_slotort(slotort)
{
    for (int i = 0; i < Anzahl; ++i) {
        auto *label = new QLabel(parent);
        label->setObjectName(objektnamen[i]);
        label->setPixmap(bilder[i]);
        // The bitmap is drawn unscaled from the top left, like a picture control.
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(QRect(startorte[i], bildgroesse));
        // The state is also told in words, never by colour alone.
        label->setAccessibleName(praefix + QStringLiteral(": ") + zustandsworte[i]);
        label->setAccessibleDescription(beschreibung);
        label->setVisible(i == 0);
        m_bilder[i] = label;
    }
}

void Lichtslot::schalten(int zustand)
{
    if (zustand < 1 || zustand >= Anzahl) {
        zuruecksetzen();
        return;
    }
    for (int i = 0; i < Anzahl; ++i) {
        if (i != zustand && m_bilder[i])
            m_bilder[i]->hide();
    }
    if (QLabel *l = m_bilder[zustand]) {
        l->move(m_slotort);
        l->show();
    }
}

void Lichtslot::zuruecksetzen()
{
    for (int i = 0; i < Anzahl; ++i) {
        if (m_bilder[i])
            m_bilder[i]->setVisible(i == 0);
    }
}

void Lichtslot::farbenVerbergen()
{
    for (int i = 1; i < Anzahl; ++i) {
        if (m_bilder[i])
            m_bilder[i]->hide();
    }
}

void Lichtslot::verbergen()
{
    for (const auto &l : m_bilder) {
        if (l)
            l->hide();
    }
}

int Lichtslot::zustand() const
{
    for (int i = 0; i < Anzahl; ++i) {
        if (m_bilder[i] && !m_bilder[i]->isHidden())
            return i;
    }
    return -1;
}

QLabel *Lichtslot::bild(int zustand) const
{
    if (zustand < 0 || zustand >= Anzahl)
        return nullptr;
    return m_bilder[zustand];
}
