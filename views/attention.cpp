#include "views/attention.h"

#include "model/ampel.h"
#include "model/attention.h"
#include "model/katalog.h"
#include "model/startwahl.h"
#include "platform/ui/clicklabel.h"
#include "platform/ui/guard.h"
#include "platform/ui/lightslot.h"
#include "platform/ui/selector.h"
#include "resources/marker.h"
#include "views/objectives.h"
#include "views/perspectives.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

constexpr QSize MarkerSize{17, 17};
// Just right of the lights: the Perspectives page's lights are 49 pixels
// wide at 600, the Objectives page's 57 at 718.
constexpr int PerspectivesLeft = 656;
constexpr int ObjectivesLeft = 780;

} // namespace

AttentionMarkers::AttentionMarkers(const Services &services, QWidget *page, const QString &prefix,
                                   const QVector<LightSlot *> &lights, const QVector<QPoint> &places,
                                   const Startwahl &wahl)
    : QObject(page), m_slots(lights), m_ziele(lights.size(), 0), m_services(services), m_wahl(wahl)
{
    for (int i = 0; i < lights.size(); ++i) {
        auto *marker = new ClickLabel(page);
        marker->setObjectName(prefix + QString::number(i + 1));
        marker->setGeometry(QRect(places.value(i), MarkerSize));
        marker->setPixmap(Pictures::attentionMarker());
        marker->setCursor(Qt::PointingHandCursor);
        // Reached with the keyboard too: Tab to it, Return or Space to follow it.
        marker->setFocusPolicy(Qt::TabFocus);
        marker->installEventFilter(this);
        marker->hide();
        m_markers << marker;
        QObject::connect(marker, &ClickLabel::clicked, this, [this, i] { guarded(m_services, [&] { chosen(i); }); });
    }
}

void AttentionMarkers::update(const QVector<int> &ziele, const QString &year)
{
    bool anyRed = false;
    for (LightSlot *slot : m_slots)
        anyRed |= slot->state() == int(Ampel::Rot);
    QHash<QString, qint64> counts;
    if (anyRed)
        counts = Attention::measureCounts(m_services.database(), year);
    const int branche = m_wahl.branche();
    const QString text = Attention::markerText(year, m_wahl.englisch());
    m_year = year;
    for (int i = 0; i < m_markers.size(); ++i) {
        const int z = ziele.value(i);
        m_ziele[i] = z;
        const Ampel light = Ampel(qMax(0, m_slots[i]->state()));
        const bool wanted = z > 0 && Attention::wanted(light, counts.value(ScorecardKatalog::zielText(z, branche)));
        ClickLabel *marker = m_markers[i];
        // The text changes with the year or the language only.
        if (marker->toolTip() != text) {
            marker->setToolTip(text);
            marker->setAccessibleName(text);
        }
        marker->setVisible(wanted);
    }
}

bool AttentionMarkers::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int index = int(m_markers.indexOf(static_cast<ClickLabel *>(watched)));
        if (index >= 0 && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            guarded(m_services, [&] { chosen(index); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void AttentionMarkers::hideAll()
{
    for (ClickLabel *marker : m_markers)
        marker->hide();
}

void AttentionMarkers::chosen(int index)
{
    if (m_landing && m_ziele.value(index) > 0)
        m_landing(m_ziele.value(index), m_year);
}

AttentionMarkers *attachAttention(const Services &services, PerspectivesPage &page, const Startwahl &wahl)
{
    QVector<LightSlot *> lights;
    QVector<QPoint> places;
    QVector<int> ziele;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        LightSlot &slot = page.slot(ziel);
        lights << &slot;
        places << QPoint(PerspectivesLeft, slot.position().y());
        ziele << ziel;
    }
    QWidget *sheet = page.Button4->parentWidget();
    auto *markers = new AttentionMarkers(services, sheet, QStringLiteral("marker_z"), lights, places, wahl);
    QObject::connect(&page, &PerspectivesPage::displaying, markers, &AttentionMarkers::hideAll);
    QObject::connect(&page, &PerspectivesPage::displayed, markers, [&services, markers, ziele, &page] {
        guarded(services, [&] { markers->update(ziele, page.ComboBox10->text()); });
    });
    return markers;
}

AttentionMarkers *attachAttention(const Services &services, ObjectivesPage &page, const Startwahl &wahl)
{
    QVector<LightSlot *> lights;
    QVector<QPoint> places;
    for (int row = 1; row <= ScorecardKatalog::ZielePerPerspektive; ++row) {
        LightSlot &slot = page.slot(row);
        lights << &slot;
        places << QPoint(ObjectivesLeft, slot.position().y());
    }
    QWidget *sheet = page.Button2->parentWidget();
    auto *markers = new AttentionMarkers(services, sheet, QStringLiteral("marker_k"), lights, places, wahl);
    QObject::connect(&page, &ObjectivesPage::displaying, markers, &AttentionMarkers::hideAll);
    QObject::connect(&page, &ObjectivesPage::displayed, markers, [&services, markers, &page] {
        guarded(services, [&] {
            const int p = page.combobox1->itemIndex();
            QVector<int> ziele;
            for (int row = 0; row < ScorecardKatalog::ZielePerPerspektive; ++row)
                ziele << ScorecardKatalog::zielNumber(p, row);
            markers->update(ziele, page.ComboBox3->text());
        });
    });
    return markers;
}
