#include "dialogs/eingabe_ma.h"

#include "model/measureschoice.h"
#include "model/startwahl.h"
#include "model/statements.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/asker.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"

#include <QLabel>
#include <QPushButton>

namespace {

using namespace Controls;

template <class Control>
Control *bound(QWidget *parent, const char *name, const QRect &frame, DataSource *source, const char *column)
{
    auto *control = new Control(QString::fromLatin1(name), parent);
    control->setGeometry(frame);
    control->setDataSource(source);
    control->setDataField(QString::fromUtf8(column));
    return control;
}

} // namespace

Teingabe_m::Teingabe_m(const Startwahl &wahl, MeasuresChoice &page) : m_wahl(wahl), m_page(page)
{
    setObjectName(QStringLiteral("eingabe_m"));
    setWindowTitle(QStringLiteral("Maßnahmen - Eingabe"));
    setFont(defaultFont());
    setOuterGeometry(this, 140, 101, 508, 608);

    Query1 = new Query(QStringLiteral("Query1"), this);
    Query1->setSql(QStringLiteral("select * from maßnahmen"));
    Table1 = new Table(QStringLiteral("Table1"), this);
    Table1->setTableName(QStringLiteral("maßnahmen.DB"));
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), Query1, this);

    dbmemo2 = bound<DBMemo>(this, "dbmemo2", {216, 56, 257, 81}, DataSource1, "Maßnahme");
    DBMemo1 = bound<DBMemo>(this, "DBMemo1", {216, 184, 257, 89}, DataSource1, "Prozesse");
    DBEdit2 = bound<DBEdit>(this, "DBEdit2", {216, 288, 121, 21}, DataSource1, "Gültig_ab");
    DBEdit3 = bound<DBEdit>(this, "DBEdit3", {216, 320, 121, 21}, DataSource1, "Gültig_bis");
    DBEdit4 = bound<DBEdit>(this, "DBEdit4", {216, 352, 257, 21}, DataSource1, "Verantwortlicher");
    DBEdit5 = bound<DBEdit>(this, "DBEdit5", {216, 384, 65, 21}, DataSource1, "Erfüllungsgrad_in_%");
    DBEdit6 = bound<DBEdit>(this, "DBEdit6", {8, 24, 121, 21}, DataSource1, "Jahr");
    DBEdit7 = bound<DBEdit>(this, "DBEdit7", {8, 0, 121, 21}, DataSource1, "Ziel");
    dbtext1 = bound<DBText>(this, "dbtext1", {8, 56, 65, 17}, DataSource1, "Nr");
    for (QWidget *hidden : std::initializer_list<QWidget *>{DBEdit6, DBEdit7, dbtext1})
        hidden->hide();

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("Maßnahme:"), {120, 56}, arial(13));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("dazugehöriger Prozess(e):"), {24, 184}, arial(13));
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("gültig ab:"), {130, 292}, arial(13));
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("gültig bis:"), {128, 325}, arial(13));
    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("Verantwortlicher:"), {80, 357}, arial(13));
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("Erfüllungsgrad [in %]:"), {56, 388}, arial(13));
    Label7 = label(this, QStringLiteral("Label7"), QStringLiteral("Eigenschaften:"), {24, 144}, arial(16));
    Label10 = label(this, QStringLiteral("Label10"), QStringLiteral("Label10"), {264, 38}, defaultFont());

    Button2 = button(this, QStringLiteral("Button2"), QStringLiteral("<<<"), {264, 8, 75, 25}, false);
    Button3 = button(this, QStringLiteral("Button3"), QStringLiteral(">>>"), {352, 8, 75, 25}, false);
    Button_M_bearbeiten = button(this, QStringLiteral("Button_M_bearbeiten"), QStringLiteral("Maßnahme bearbeiten..."),
                                 {312, 424, 161, 25}, true);
    loeschen = button(this, QStringLiteral("loeschen"), QStringLiteral("aktuelle Maßnahme löschen..."), {312, 456, 161, 25}, true);
    Button_neue_M = button(this, QStringLiteral("Button_neue_M"), QStringLiteral("neue Maßnahme..."), {312, 488, 161, 25}, true);
    speichern = button(this, QStringLiteral("speichern"), QStringLiteral("Speichern..."), {312, 520, 161, 25}, false);
    beenden = button(this, QStringLiteral("beenden"), QStringLiteral("Beenden..."), {32, 520, 123, 25}, true);

    Query1->open();
    Table1->open();

    connectGuarded(Button2, &QPushButton::clicked, this, &Teingabe_m::Button2Click);
    connectGuarded(Button3, &QPushButton::clicked, this, &Teingabe_m::Button3Click);
    connectGuarded(Button_M_bearbeiten, &QPushButton::clicked, this, &Teingabe_m::Button_M_bearbeitenClick);
    connectGuarded(Button_neue_M, &QPushButton::clicked, this, &Teingabe_m::Button_neue_MClick);
    connectGuarded(speichern, &QPushButton::clicked, this, &Teingabe_m::speichernClick);
    connectGuarded(loeschen, &QPushButton::clicked, this, &Teingabe_m::loeschenClick);
    connectGuarded(beenden, &QPushButton::clicked, this, &Teingabe_m::beendenClick);
}

bool Teingabe_m::inTableView() const { return DataSource1->dataSet() == Table1; }

void Teingabe_m::openList()
{
    Query1->close();
    Query1->setSql(Statements::measuresList(m_page.zielText(), m_page.yearText()));
    Query1->open();
}

int Teingabe_m::countList()
{
    // The fields follow once, at the end, not at every step.
    Query1->disableControls();
    int count = 0;
    try {
        for (Query1->first(); !Query1->eof(); Query1->next())
            ++count;
    } catch (...) {
        Query1->enableControls();
        throw;
    }
    Query1->enableControls();
    Button2->setEnabled(count >= 2);
    Button3->setEnabled(count >= 2);
    return count;
}

void Teingabe_m::open()
{
    openList();
    Table1->close();   // drops a change that was not saved
    DataSource1->setDataSet(Query1);
    show();
    raise();
    activateWindow();
    const int count = countList();
    speichern->setEnabled(false);
    // German in both languages.
    Label10->setText(QStringLiteral("insg. %1 Datensätze vorhanden").arg(count));
    Label10->adjustSize();
}

void Teingabe_m::Button2Click() { Query1->prior(); }

void Teingabe_m::Button3Click() { Query1->next(); }

int Teingabe_m::shownNumber() const
{
    DataSet *shown = DataSource1->dataSet();
    return shown && shown->isActive() ? shown->asInteger(QStringLiteral("Nr")) : 0;
}

bool Teingabe_m::findInTable(int nr, bool deleting)
{
    if (!Table1->isActive())
        Table1->open();
    // One search by the number; never another measure in its place.
    if (nr > 0 && Table1->locate(QStringLiteral("Nr"), QString::number(nr)))
        return true;
    const bool english = m_wahl.englisch();
    QString text;
    if (english) {
        text = nr > 0 ? QStringLiteral("The measure no. %1 was not found; another user may have deleted it. ").arg(nr)
                      : QStringLiteral("No measure is shown. ");
        text += deleting ? QStringLiteral("Nothing was deleted.") : QStringLiteral("Nothing was changed.");
    } else {
        text = nr > 0 ? QStringLiteral("Die Maßnahme Nr. %1 wurde nicht gefunden; sie wurde wohl inzwischen gelöscht. ").arg(nr)
                      : QStringLiteral("Es wird keine Maßnahme angezeigt. ");
        text += deleting ? QStringLiteral("Es wurde nichts gelöscht.") : QStringLiteral("Es wurde nichts geändert.");
    }
    Asker::ask({text, english ? QStringLiteral("Information") : QStringLiteral("Meldungsfenster"), Asker::Buttons::Ok,
                Asker::Icon::Warning});
    return false;
}

void Teingabe_m::Button_M_bearbeitenClick()
{
    const int nr = shownNumber();
    if (!findInTable(nr, false))
        return;
    Table1->edit();
    DataSource1->setDataSet(Table1);
    speichern->setEnabled(true);
}

void Teingabe_m::Button_neue_MClick()
{
    if (!Table1->isActive())
        Table1->open();
    Table1->append();
    DataSource1->setDataSet(Table1);
    speichern->setEnabled(true);
    Button_M_bearbeiten->setEnabled(false);
    loeschen->setEnabled(false);
    // German: what the goal box shows; English: the stored goal behind the
    // English item, nothing for typed text.
    if (m_wahl.englisch()) {
        const QString ziel = m_page.zielText();
        if (!ziel.isEmpty())
            Table1->setText(QStringLiteral("Ziel"), ziel);
    } else {
        Table1->setText(QStringLiteral("Ziel"), m_page.goalBoxText());
    }
    Table1->setText(QStringLiteral("Jahr"), m_page.yearText());
}

bool Teingabe_m::ask(const QString &german, const QString &english, const QString &germanCaption)
{
    const bool inEnglish = m_wahl.englisch();
    return Asker::positive(Asker::ask({inEnglish ? english : german,
                                       inEnglish ? QStringLiteral("Information") : germanCaption,
                                       Asker::Buttons::OkCancel, Asker::Icon::Question}));
}

void Teingabe_m::speichernClick()
{
    if (!ask(QStringLiteral("Diese Maßnahme speichern?"), QStringLiteral("Save this measures?"),
             QStringLiteral("Meldungsfenster")))
        return;
    Button_M_bearbeiten->setEnabled(true);
    loeschen->setEnabled(true);
    Table1->post();
    Table1->refresh();
    m_page.display();
    openList();
    countList();
    speichern->setEnabled(false);
}

void Teingabe_m::loeschenClick()
{
    if (!ask(QStringLiteral("Diese Maßnahme wirklich löschen?"), QStringLiteral("Delete this measure?"),
             QStringLiteral("Meldungsfenster")))
        return;
    const int nr = shownNumber();
    if (!findInTable(nr, true))
        return;
    Table1->remove();
    Table1->refresh();
    DataSource1->setDataSet(Query1);
    Query1->refresh();
    speichern->setEnabled(false);
    m_page.display();
}

void Teingabe_m::beendenClick()
{
    if (!ask(QStringLiteral("Eingabe wirklich beenden?"), QStringLiteral("Exit enter measures?"),
             QStringLiteral("Information")))
        return;
    // The re-read drops a change or new measure that was not saved: only
    // the save question writes.
    if (!Table1->isActive())
        Table1->open();
    Table1->refresh();
    Query1->close();
    m_page.rereadMeasures();
    m_page.display();
    hide();
}
