#pragma once

#include <QObject>
#include <QStringList>
#include <array>
#include <memory>

#include "platform/ui/lightslot.h"

struct Services;
class Selector;
class DBText;
class DataSource;
class Query;
class QLabel;
class QPushButton;
class QWidget;
class Startwahl;

// First page: the yearly status of all twelve goals, one light each.
class PerspectivesPage : public QObject {
    Q_OBJECT
public:
    static constexpr int SlotLeft = 600;

    // Builds the page's controls on the sheet. The query and its data source
    // belong to the main window.
    PerspectivesPage(const Services &services, QWidget *sheet, Query *query2, DataSource *dataSource2, const Startwahl &wahl,
                     const QStringList &years);
    ~PerspectivesPage() override;

    // Goal 11's caption (Label40) for the industry chosen; no industry
    // leaves it as it is.
    void setBranche(int branche);

    void ComboBox10Change();
    // The year last chosen, as typed or picked.
    QString chosenYear() const;
    void Button4Click();

    Selector *ComboBox10;
    QPushButton *Button4;
    QLabel *Label42;
    QLabel *Image4;
    DBText *DBText3;
    DBText *DBText4;
    // Headings and goal captions by their names (Label5 ... Label41).
    QLabel *label(const QString &name) const;
    QLabel *Label40;
    LightSlot &slot(int ziel) { return *m_slots[ziel - 1]; }

signals:
    // The display step begins, and has judged all twelve goals.
    void displaying();
    void displayed();

private:
    QWidget *m_sheet;
    Query *m_query2;
    const Services &m_services;
    const Startwahl &m_wahl;
    std::array<std::unique_ptr<LightSlot>, 12> m_slots;
};
