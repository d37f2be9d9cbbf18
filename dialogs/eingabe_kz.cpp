#include "dialogs/eingabe_kz.h"

#include "core/history.h"
#include "model/ampel.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "model/messages.h"
#include "model/startwahl.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/asker.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"
#include "platform/ui/selector.h"

#include <QLabel>
#include <QPushButton>

namespace {

using namespace Controls;

// The dialog's own perspective list, letter for letter.
const QStringList Perspectives{QStringLiteral("Finanzperspektive"), QStringLiteral("Kundenperspektive"),
                               QStringLiteral("Mitarbeiterperspektive"), QStringLiteral("Prozssperspektive")};

// Rows of the field table: the row head and its top.
struct FieldRow {
    const char *name;
    const char *caption;
    int top;
};
// One row per period of the key-figure schema, in its order.
const FieldRow FieldRows[KennzahlSchema::PeriodCount] = {
    {"Label3", "1. Quartal:", 160}, {"Label4", "2. Quartal:", 192}, {"Label5", "3. Quartal:", 224},
    {"Label6", "4. Quartal:", 256}, {"Label7", "1. Halbjahr:", 296}, {"Label8", "2. Halbjahr:", 328},
    {"Label9", "Jahr:", 368},
};
constexpr int IstLeft = 120;
constexpr int SollLeft = 256;
constexpr int EditWidth = 121;
// Edit fields are taller than the row heads; centred on the same line.
constexpr int EditRaise = 3;

QString withoutColon(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

} // namespace

TEingabe_kennzahlen::TEingabe_kennzahlen(const Services &services, const Startwahl &wahl, const QStringList &years)
    : m_services(services), m_wahl(wahl)
{
    setObjectName(QStringLiteral("Eingabe_kennzahlen"));
    setWindowTitle(QStringLiteral("Kennzahlen pflegen"));
    setFont(defaultFont());
    setOuterGeometry(this, 252, 178, 415, 501);

    combobox1 = selector(this, QStringLiteral("combobox1"), QStringLiteral("Perspektiven:"), {24, 8}, 225, Perspectives, true);
    combobox2 = selector(this, QStringLiteral("combobox2"), QStringLiteral("Kennzahlen:"), {24, 40}, 225, {}, true);
    combobox3 = selector(this, QStringLiteral("combobox3"), QStringLiteral("Jahr:"), {24, 72}, 97, years, true);
    Button1 = button(this, QStringLiteral("Button1"), QStringLiteral("Daten anzeigen..."), {136, 70, 113, 25}, false);
    Button3 = button(this, QStringLiteral("Button3"), QStringLiteral("speichern..."), {256, 408, 121, 25}, false);
    Button2 = button(this, QStringLiteral("Button2"), QStringLiteral("Beenden..."), {16, 408, 97, 25}, true);
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("IST-Wert:"), {144, 128}, arial(13));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("Soll-Wert:"), {272, 128}, arial(13));

    Notice = new QLabel(this);
    Notice->setObjectName(QStringLiteral("Notice"));
    Notice->setGeometry(24, 97, 375, 28);
    Notice->setWordWrap(true);
    Notice->setStyleSheet(QStringLiteral("color: #a00000;"));
    Notice->hide();

    // Below the buttons, where no control of the window lies.
    LastChange = new QLabel(this);
    LastChange->setObjectName(QStringLiteral("LastChange"));
    LastChange->setGeometry(16, 440, 383, 16);
    LastChange->setFont(arial(11));

    Table1 = new Table(*m_services.connection, QStringLiteral("Table1"), this);
    m_tableName = QStringLiteral("kz_ges_renta.DB");
    Table1->setTableName(m_tableName);
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), Table1, this);
    connect(DataSource1, &DataSource::failed, this, [this](const QString &text) { m_services.tell(text); });

    QWidget *previous = Button1;
    for (int r = 0; r < KennzahlSchema::PeriodCount; ++r) {
        const FieldRow &row = FieldRows[r];
        rowLabels[r] = label(this, QString::fromLatin1(row.name), QString::fromUtf8(row.caption), {24, row.top}, arial(13));
        for (int c = 0; c < 2; ++c) {
            auto *edit = new DBEdit(QStringLiteral("DBEdit%1").arg(2 * r + c + 1), this);
            edit->setGeometry(c == 0 ? IstLeft : SollLeft, row.top - EditRaise, EditWidth, 21);
            edit->setDataSource(DataSource1);
            edit->setDataField(c == 0 ? KennzahlSchema::istColumn(r) : KennzahlSchema::sollColumn(r));
            setTabOrder(previous, edit);
            previous = edit;
            edits[2 * r + c] = edit;
        }
    }
    setTabOrder(previous, Button3);
    setTabOrder(Button3, Button2);

    Table1->open();
    connect(Table1, &DataSet::changed, this, &TEingabe_kennzahlen::showLastChange);

    connectGuarded(m_services, combobox1, &Selector::changed, this, &TEingabe_kennzahlen::combobox1Change);
    connectGuarded(m_services, combobox2, &Selector::changed, this, &TEingabe_kennzahlen::combobox2Change);
    connectGuarded(m_services, combobox3, &Selector::changed, this, &TEingabe_kennzahlen::combobox3Change);
    connectGuarded(m_services, Button1, &QPushButton::clicked, this, &TEingabe_kennzahlen::Button1Click);
    connectGuarded(m_services, Button3, &QPushButton::clicked, this, &TEingabe_kennzahlen::Button3Click);
    connectGuarded(m_services, Button2, &QPushButton::clicked, this, &TEingabe_kennzahlen::Button2Click);
    FormCreate();
}

void TEingabe_kennzahlen::FormCreate()
{
    combobox2->setEnabled(false);
    combobox3->setEnabled(false);
}

void TEingabe_kennzahlen::combobox1Change()
{
    combobox2->setEnabled(true);
    const int p = combobox1->itemIndex();
    if (p >= 0 && p < ScorecardKatalog::PerspektiveCount) {
        // English names exist for the financial and customer key figures only.
        const bool english = m_wahl.englisch() && p <= 1;
        const int branche = m_wahl.branche();
        QStringList names;
        for (int position = 0; position < ScorecardKatalog::ZielePerPerspektive; ++position) {
            const int ziel = ScorecardKatalog::zielNumber(p, position);
            names << (english ? ScorecardKatalog::kennzahlNameEnglish(ziel, branche)
                              : ScorecardKatalog::kennzahlName(ziel, branche));
        }
        combobox2->clearItems();
        combobox2->addItems(names);
        if (p == 3)
            combobox3->setEnabled(true);
    }
    combobox2->setEnabled(true);
    combobox2->setItemIndex(-1);
}

void TEingabe_kennzahlen::combobox2Change() { combobox3->setEnabled(true); }

void TEingabe_kennzahlen::combobox3Change() { Button1->setEnabled(true); }

void TEingabe_kennzahlen::Button1Click()
{
    // Values typed into the row shown are not dropped without a question.
    if (!settlePending())
        return;
    Button3->setEnabled(true);
    // Shown again, the line is read again: another user may have changed
    // the row meanwhile.
    m_lastChangeOf.clear();
    // Closing drops what is still pending in the row shown before.
    Table1->close();
    m_showsRow = false;
    Notice->hide();
    DataSource1->setDataSet(Table1);
    for (DBEdit *edit : edits)
        edit->setEnabled(true);
    const int ziel = ScorecardKatalog::zielNumber(combobox1->itemIndex(), combobox2->itemIndex());
    if (ziel > 0)
        m_tableName = ScorecardKatalog::table(ziel, m_wahl.branche()) + QStringLiteral(".db");
    Table1->setTableName(m_tableName);
    Table1->open();
    // One search, for the year exactly as it is written.
    const QString year = combobox3->text();
    if (Table1->locate(QStringLiteral("jahr"), year)) {
        m_showsRow = true;
        showLastChange();
        return;
    }
    showNoRow(year);
    showLastChange();
}

void TEingabe_kennzahlen::showNoRow(const QString &year)
{
    // Another year's row must never stand in for the one asked for: the
    // fields show nothing and take no keystrokes.
    DataSource1->setDataSet(nullptr);
    for (DBEdit *edit : edits)
        edit->setEnabled(false);
    QString table = m_tableName;
    if (table.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        table.chop(3);
    const bool fourDigits = year.size() == 4 && year.toInt() > 0 && QString::number(year.toInt()) == year;
    const bool english = m_wahl.englisch();
    const QString text = Messages::keyFigure(Messages::KeyFigure::NoRowForYear, english).arg(table, year)
        + (fourDigits ? Messages::keyFigure(Messages::KeyFigure::AddYearHint, english).arg(year)
                      : Messages::keyFigure(Messages::KeyFigure::YearHasFourDigits, english));
    Notice->setText(text);
    Notice->show();
}

QString TEingabe_kennzahlen::invalidValue() const
{
    if (!Table1->isEditing())
        return {};
    const bool english = m_wahl.englisch();
    for (int i = 0; i < int(edits.size()); ++i) {
        const QString column = edits[i]->dataField();
        const QString value = Table1->asText(column).trimmed();
        const KennzahlSchema::Verdict verdict = KennzahlSchema::validate(value);
        if (verdict.ok())
            continue;
        const QString field = withoutColon(rowLabels[i / 2]->text()) + QLatin1Char(' ')
            + withoutColon((i % 2 == 0 ? Label1 : Label2)->text());
        return Messages::keyFigure(Messages::KeyFigure::InvalidValue, english)
            .arg(value, field, column, KennzahlSchema::reason(verdict.fault, english));
    }
    return {};
}

bool TEingabe_kennzahlen::hasUnsaved() const
{
    // Only a row shown by "Daten anzeigen..." can be saved; what is typed
    // before the first display is dropped by it, as ever.
    return m_showsRow && Button3->isEnabled() && Table1->isActive() && Table1->isEditing();
}

bool TEingabe_kennzahlen::askSave()
{
    const bool english = m_wahl.englisch();
    return Asker::positive(m_services.question({Messages::keyFigure(Messages::KeyFigure::SaveQuestion, english),
                                       Messages::keyFigure(Messages::KeyFigure::SaveCaption, english),
                                       Asker::Buttons::OkCancel, Asker::Icon::Warning}));
}

bool TEingabe_kennzahlen::writeRow()
{
    const QString invalid = invalidValue();
    if (!invalid.isEmpty()) {
        m_services.question({invalid, Messages::caption(m_wahl.englisch()), Asker::Buttons::Ok, Asker::Icon::Warning});
        return false;
    }
    try {
        const ChangeHistory::Scope writer(m_services.database(), ChangeHistory::Dialog);
        Table1->post();
    } catch (const EngineError &error) {
        // A change this user may not make is dropped: the fields show what is stored.
        if (error.refusesChange()) {
            Table1->cancel();
            Table1->refresh();
        }
        throw;
    }
    m_lastChangeOf.clear();
    showLastChange();
    return true;
}

void TEingabe_kennzahlen::showLastChange()
{
    // Typing changes nothing stored: the line is read again only for
    // another row or after a save.
    if (Table1->isEditing())
        return;
    const QString row = m_showsRow && Table1->isActive() && !Table1->isEmpty() ? Table1->asText(KennzahlSchema::YearColumn) : QString();
    const QString of = Table1->tableName() + QLatin1Char('\n') + row;
    if (of == m_lastChangeOf)
        return;
    m_lastChangeOf = of;
    const bool english = m_wahl.englisch();
    LastChange->setText(ChangeHistory::lastChange(*m_services.connection, Table1->tableName(), row,
                                                  Messages::keyFigure(Messages::KeyFigure::LastChanged, english), english));
}

void TEingabe_kennzahlen::Button3Click()
{
    if (!m_showsRow) {
        const bool english = m_wahl.englisch();
        m_services.question({Messages::keyFigure(Messages::KeyFigure::NoRowShown, english), Messages::caption(english),
                    Asker::Buttons::Ok, Asker::Icon::Warning});
        return;
    }
    if (!askSave()) {
        Table1->cancel();
        Table1->refresh();
        return;
    }
    writeRow();
}

bool TEingabe_kennzahlen::settlePending()
{
    if (!hasUnsaved())
        return true;
    const bool english = m_wahl.englisch();
    const Asker::Answer answer = m_services.question({Messages::keyFigure(Messages::KeyFigure::Unsaved, english),
                                             Messages::caption(english), Asker::Buttons::YesNoCancel,
                                             Asker::Icon::Question});
    if (answer == Asker::Answer::No) {
        Table1->cancel();
        return true;
    }
    if (answer != Asker::Answer::Yes)
        return false;
    // Saving goes the way of "speichern...": its question, the checks and
    // the test against another user's change. Anything short of a written
    // row keeps the values and goes back.
    if (!askSave())
        return false;
    try {
        return writeRow();
    } catch (const EngineError &error) {
        m_services.showFailure(error);
        return false;
    }
}

void TEingabe_kennzahlen::Button2Click()
{
    const bool english = m_wahl.englisch();
    const Asker::Answer answer =
        m_services.question({Messages::keyFigure(Messages::KeyFigure::CloseQuestion, english), Messages::caption(english),
                    Asker::Buttons::YesNo, Asker::Icon::Question});
    if (Asker::positive(answer))
        hide();
}
