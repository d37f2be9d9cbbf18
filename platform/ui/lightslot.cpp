#include "platform/ui/lightslot.h"

#include "platform/ui/controls.h"

#include <QLabel>

LightSlot::LightSlot(QWidget *parent,
                     const std::array<QString, Count> &names,
                     const std::function<QPixmap(int state)> &drawing,
                     const std::array<QPoint, Count> &starts,
                     QSize size,
                     QPoint position,
                     const std::array<QString, Count> &stateWords,
                     const QString &prefix,
                     const QString &description)
    : m_position(position)
{
    for (int i = 0; i < Count; ++i) {
        auto *label = new QLabel(parent);
        label->setObjectName(names[i]);
        // The bitmap is drawn unscaled from the top left, like a picture control.
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(QRect(starts[i], size));
        label->setAccessibleName(prefix + QStringLiteral(": ") + stateWords[i]);
        label->setAccessibleDescription(description);
        label->setVisible(i == 0);
        Controls::drawOnFirstShow(label, [drawing, i] { return drawing(i); });
        m_pictures[i] = label;
    }
}

void LightSlot::switchTo(int state)
{
    if (state < 1 || state >= Count) {
        reset();
        return;
    }
    for (int i = 0; i < Count; ++i) {
        if (i != state && m_pictures[i])
            m_pictures[i]->hide();
    }
    if (QLabel *l = m_pictures[state]) {
        l->move(m_position);
        l->show();
    }
}

void LightSlot::reset()
{
    for (int i = 0; i < Count; ++i) {
        if (m_pictures[i])
            m_pictures[i]->setVisible(i == 0);
    }
}

void LightSlot::hideColours()
{
    for (int i = 1; i < Count; ++i) {
        if (m_pictures[i])
            m_pictures[i]->hide();
    }
}

void LightSlot::hideAll()
{
    for (const auto &l : m_pictures) {
        if (l)
            l->hide();
    }
}

int LightSlot::state() const
{
    for (int i = 0; i < Count; ++i) {
        if (m_pictures[i] && !m_pictures[i]->isHidden())
            return i;
    }
    return -1;
}

QLabel *LightSlot::picture(int state) const
{
    if (state < 0 || state >= Count)
        return nullptr;
    return m_pictures[state];
}
