#pragma once
// Markers beside the lights of red goals that have no measure for the
// year displayed. Like the lights, they are set by a page's display step
// and kept until its next one; a click leads to the place to add a measure.

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>
#include <functional>

class ClickLabel;
class LightSlot;
class ObjectivesPage;
class PerspectivesPage;
class QWidget;
class Startwahl;
struct Services;

class AttentionMarkers : public QObject {
    Q_OBJECT
public:
    // Where a marked goal is taken: its number and the year it was marked for.
    using Landing = std::function<void(int ziel, const QString &year)>;

    // One marker per light slot, named prefix + number (from 1), standing
    // at its place; all hidden until a display marks them.
    AttentionMarkers(const Services &services, QWidget *page, const QString &prefix,
                     const QVector<LightSlot *> &lights, const QVector<QPoint> &places, const Startwahl &wahl);

    // After a display of these goals (one per slot) for the year: marks
    // each goal whose light is red and that has no measure for the goal and
    // year, and hides every other marker. Reads the measure counts of all
    // goals in one statement, and none when no light is red. Throws EngineError.
    void update(const QVector<int> &ziele, const QString &year);

    // Before a display: a display that fails half-way leaves no marker
    // beside a light it has changed.
    void hideAll();

    void setLanding(Landing landing) { m_landing = std::move(landing); }

    int count() const { return int(m_markers.size()); }
    ClickLabel *marker(int index) const { return m_markers.at(index); }
    // The goal a marker stands for since the last display, 0 before.
    int ziel(int index) const { return m_ziele.value(index); }
    QString year() const { return m_year; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chosen(int index);

    QVector<LightSlot *> m_slots;
    QVector<ClickLabel *> m_markers;
    QVector<int> m_ziele;
    QString m_year;
    const Services &m_services;
    const Startwahl &m_wahl;
    Landing m_landing;
};

// The markers of the Perspectives page (after "Daten anzeigen...", one per
// goal) and of the Objectives page (after each display, one per row).
AttentionMarkers *attachAttention(const Services &services, PerspectivesPage &page, const Startwahl &wahl);
AttentionMarkers *attachAttention(const Services &services, ObjectivesPage &page, const Startwahl &wahl);
