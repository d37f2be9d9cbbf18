#include "dialogs/eingabe_ma.h"

#include "core/history.h"

#include "model/measureschoice.h"
#include "model/messages.h"
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

// The columns the user types into; a pending row differs from what it held
// when editing began only in these.
const char *const TypedColumns[] = {"Maßnahme", "Prozesse", "Gültig_ab", "Gültig_bis", "Verantwortlicher",
                                    "Erfüllungsgrad_in_%"};

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

Teingabe_m::Teingabe_m(const Services &services, const Startwahl &wahl, MeasuresChoice &page)
    : m_services(services), m_wahl(wahl), m_page(page)
{
    setObjectName(QStringLiteral("eingabe_m"));
    setWindowTitle(QStringLiteral("Maßnahmen - Eingabe"));
    setFont(defaultFont());
    setOuterGeometry(this, 140, 101, 508, 608);

    Query1 = new Query(*m_services.connection, QStringLiteral("Query1"), this);
    Query1->setSql(QStringLiteral("select * from maßnahmen"));
    Table1 = new Table(*m_services.connection, QStringLiteral("Table1"), this);
    Table1->setTableName(QStringLiteral("maßnahmen.DB"));
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), Query1, this);
    connect(DataSource1, &DataSource::failed, this, [this](const QString &text) { m_services.tell(text); });

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

    // Below the buttons, where no control of the window lies.
    LastChange = new QLabel(this);
    LastChange->setObjectName(QStringLiteral("LastChange"));
    LastChange->setGeometry(32, 554, 441, 16);
    LastChange->setFont(arial(11));

    Query1->open();
    Table1->open();
    connect(Query1, &DataSet::changed, this, &Teingabe_m::showLastChange);
    connect(Table1, &DataSet::changed, this, &Teingabe_m::showLastChange);

    connectGuarded(m_services, Button2, &QPushButton::clicked, this, &Teingabe_m::Button2Click);
    connectGuarded(m_services, Button3, &QPushButton::clicked, this, &Teingabe_m::Button3Click);
    connectGuarded(m_services, Button_M_bearbeiten, &QPushButton::clicked, this, &Teingabe_m::Button_M_bearbeitenClick);
    connectGuarded(m_services, Button_neue_M, &QPushButton::clicked, this, &Teingabe_m::Button_neue_MClick);
    connectGuarded(m_services, speichern, &QPushButton::clicked, this, &Teingabe_m::speichernClick);
    connectGuarded(m_services, loeschen, &QPushButton::clicked, this, &Teingabe_m::loeschenClick);
    connectGuarded(m_services, beenden, &QPushButton::clicked, this, &Teingabe_m::beendenClick);
}

bool Teingabe_m::inTableView() const { return DataSource1->dataSet() == Table1; }

void Teingabe_m::openList()
{
    Query1->close();
    Query1->setSql(Statements::measuresList(m_page.zielText(), m_page.yearText()));
    Query1->open();
}

void Teingabe_m::showCount(int count)
{
    Button2->setEnabled(count >= 2);
    Button3->setEnabled(count >= 2);
    // German in both languages.
    Label10->setText(Messages::measures(Messages::Measures::Count, m_wahl.englisch()).arg(count));
    Label10->adjustSize();
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
    showCount(count);
    return count;
}

void Teingabe_m::open()
{
    // A measure being changed or added is not dropped without a question;
    // going back shows it as it was.
    if (!settlePending()) {
        show();
        raise();
        activateWindow();
        return;
    }
    openList();
    Table1->close();   // drops a change that was not saved
    DataSource1->setDataSet(Query1);
    show();
    raise();
    activateWindow();
    // Opened again, the line is read again: another user may have changed
    // the measure meanwhile.
    m_lastChangeOf = -1;
    countList();
    showLastChange();
    speichern->setEnabled(false);
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
    using Messages::Measures;
    const QString text = (nr > 0 ? Messages::measures(Measures::NotFound, english).arg(nr)
                                 : Messages::measures(Measures::NoneShown, english))
        + Messages::measures(deleting ? Measures::NothingDeleted : Measures::NothingChanged, english);
    m_services.question({text, Messages::caption(english), Asker::Buttons::Ok, Asker::Icon::Warning});
    return false;
}

void Teingabe_m::Button_M_bearbeitenClick()
{
    // Another row in its place would drop what is typed.
    if (!settlePending())
        return;
    const int nr = shownNumber();
    if (!findInTable(nr, false))
        return;
    Table1->edit();
    DataSource1->setDataSet(Table1);
    speichern->setEnabled(true);
    rememberStart();
}

void Teingabe_m::Button_neue_MClick()
{
    // A measure is found again only from its goal: one of the list, in
    // the catalog's German text whatever the language.
    const QString ziel = m_page.zielText();
    if (ziel.isEmpty()) {
        const bool english = m_wahl.englisch();
        m_services.question({Messages::measures(Messages::Measures::NoGoal, english), Messages::caption(english),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    if (!settlePending())
        return;
    if (!Table1->isActive())
        Table1->open();
    Table1->append();
    DataSource1->setDataSet(Table1);
    speichern->setEnabled(true);
    Button_M_bearbeiten->setEnabled(false);
    loeschen->setEnabled(false);
    Table1->setText(QStringLiteral("Ziel"), ziel);
    Table1->setText(QStringLiteral("Jahr"), m_page.yearText());
    showCount(Query1->isActive() ? Query1->recordCount() : 0);
    rememberStart();
}

void Teingabe_m::rememberStart()
{
    m_started.clear();
    for (const char *column : TypedColumns)
        m_started << Table1->asText(QString::fromUtf8(column));
}

bool Teingabe_m::hasUnsaved() const
{
    if (!inTableView() || !Table1->isActive() || !Table1->isEditing())
        return false;
    for (int i = 0; i < int(std::size(TypedColumns)); ++i) {
        if (Table1->asText(QString::fromUtf8(TypedColumns[i])) != m_started.value(i))
            return true;
    }
    return false;
}

bool Teingabe_m::settlePending()
{
    if (!hasUnsaved())
        return true;
    const bool english = m_wahl.englisch();
    const Asker::Answer answer = m_services.question({Messages::measures(Messages::Measures::Unsaved, english),
                                             Messages::caption(english), Asker::Buttons::YesNoCancel,
                                             Asker::Icon::Question});
    if (answer == Asker::Answer::No) {
        Table1->cancel();
        return true;
    }
    if (answer != Asker::Answer::Yes)
        return false;
    // Saving goes the way of "Speichern...", its question included; a
    // refused or failed save keeps the measure and goes back.
    try {
        return save();
    } catch (const EngineError &error) {
        m_services.showFailure(error);
        return false;
    }
}

bool Teingabe_m::ask(Messages::Measures question)
{
    const bool english = m_wahl.englisch();
    // The close question has a caption of its own, the same in both languages.
    const QString caption = question == Messages::Measures::CloseQuestion
        ? Messages::measures(Messages::Measures::CloseCaption, english)
        : Messages::caption(english);
    return Asker::positive(m_services.question({Messages::measures(question, english), caption, Asker::Buttons::OkCancel,
                                       Asker::Icon::Question}));
}

void Teingabe_m::speichernClick() { save(); }

bool Teingabe_m::save()
{
    if (!ask(Messages::Measures::SaveQuestion))
        return false;
    Button_M_bearbeiten->setEnabled(true);
    loeschen->setEnabled(true);
    try {
        const ChangeHistory::Scope writer(m_services.database(), ChangeHistory::Editor);
        Table1->post();
    } catch (const EngineError &error) {
        // A change this user may not make is dropped: the fields show what is stored.
        if (error.refusesChange()) {
            Table1->cancel();
            Table1->refresh();
            speichern->setEnabled(false);
        }
        throw;
    }
    m_lastChangeOf = -1;
    Table1->refresh();
    m_page.display();
    openList();
    countList();
    speichern->setEnabled(false);
    return true;
}

void Teingabe_m::loeschenClick()
{
    if (!ask(Messages::Measures::DeleteQuestion))
        return;
    const int nr = shownNumber();
    if (!findInTable(nr, true))
        return;
    {
        const ChangeHistory::Scope writer(m_services.database(), ChangeHistory::Editor);
        Table1->remove();
    }
    m_lastChangeOf = -1;
    Table1->refresh();
    DataSource1->setDataSet(Query1);
    Query1->refresh();
    showCount(Query1->recordCount());
    speichern->setEnabled(false);
    m_page.display();
}

void Teingabe_m::showLastChange()
{
    DataSet *shown = DataSource1->dataSet();
    if (shown && shown->isEditing())
        return;
    const int nr = shown && shown->isActive() && !shown->isEmpty() ? shownNumber() : 0;
    if (nr == m_lastChangeOf)
        return;
    m_lastChangeOf = nr;
    const bool english = m_wahl.englisch();
    LastChange->setText(nr > 0 ? ChangeHistory::lastChange(*m_services.connection, Table1->tableName(), QString::number(nr),
                                                           Messages::measures(Messages::Measures::LastChanged, english),
                                                           english)
                               : QString());
}

void Teingabe_m::beendenClick()
{
    if (!ask(Messages::Measures::CloseQuestion))
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
