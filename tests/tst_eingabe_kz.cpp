// The key-figure entry dialog: choosing, showing, editing and saving a row.
#include "fixture_windows.h"
#include "fixture_reader.h"

#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/eingabe_kz.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

TEingabe_kennzahlen *dialog() { return Eingabe_kennzahlen; }

// Chooses perspective, key figure and year (by text) and shows the row.
void show(int perspektive, int kennzahl, const QString &year)
{
    dialog()->combobox1->choose(perspektive);
    if (kennzahl >= 0)
        dialog()->combobox2->choose(kennzahl);
    const int index = dialog()->combobox3->items().indexOf(year);
    if (index >= 0)
        dialog()->combobox3->choose(index);
    else
        dialog()->combobox3->type(year);
    dialog()->Button1->click();
}

// Replaces the text of an edit field as a user would.
void type(int edit, const QString &text)
{
    DBEdit *field = dialog()->edits[edit - 1];
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Ends the program by the menu or the close box inside the message loop;
// true when it ended, false when it kept running.
bool endProgram(const QString &way)
{
    QTimer::singleShot(0, Form1, [way] {
        if (way == QLatin1String("menu"))
            Form1->Beenden1->trigger();
        else
            Form1->close();
        if (Form1->isVisible())
            QCoreApplication::exit(7);
    });
    return QCoreApplication::exec() == 0;
}

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestEingabeKz : public QObject {
    Q_OBJECT

    static QVariant stored(TestWindows &w, const QString &table, const QString &year, const QString &column)
    {
        return w.db().value(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"Jahr\"=?").arg(column, table), {year});
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }
    void createdAsTheWindowIsDrawn()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2003"), QStringLiteral("Q1"), 11, 12);
        // The first row as the window shows it before any choice (re-read).
        dialog()->Table1->refresh();
        QCOMPARE(dialog()->windowTitle(), QStringLiteral("Kennzahlen pflegen"));
        QCOMPARE(dialog()->pos(), QPoint(252, 178));
        QCOMPARE(dialog()->combobox1->items(), (QStringList{"Finanzperspektive", "Kundenperspektive",
                                                            "Mitarbeiterperspektive", "Prozssperspektive"}));
        const struct {
            QWidget *control;
            QRect frame;
        } places[] = {
            {dialog()->combobox1, {24, 8, 225, 21}},    {dialog()->combobox2, {24, 40, 225, 21}},
            {dialog()->combobox3, {24, 72, 97, 21}},    {dialog()->Button1, {136, 70, 113, 25}},
            {dialog()->Button3, {256, 408, 121, 25}},   {dialog()->Button2, {16, 408, 97, 25}},
        };
        for (const auto &p : places)
            QCOMPARE(p.control->geometry(), p.frame);
        QCOMPARE(dialog()->Label1->pos(), QPoint(144, 128));
        QCOMPARE(dialog()->Label2->text(), QStringLiteral("Soll-Wert:"));
        QCOMPARE(dialog()->rowLabels[4]->text(), QStringLiteral("1. Halbjahr:"));
        QCOMPARE(dialog()->rowLabels[6]->pos(), QPoint(24, 368));
        QVERIFY(!dialog()->combobox2->isEnabled() && !dialog()->combobox3->isEnabled());
        QVERIFY(!dialog()->Button1->isEnabled() && !dialog()->Button3->isEnabled() && dialog()->Button2->isEnabled());

        // Fourteen fields in entry order, also in tab order.
        const QStringList columns{"Ist_Wert_Q1", "Soll_Wert_Q1", "Ist_Wert_Q2", "Soll_Wert_Q2", "Ist_Wert_Q3",
                                  "Soll_Wert_Q3", "Ist_Wert_Q4", "Soll_Wert_Q4", "Ist_Wert_Halbjahr1",
                                  "Soll_Wert_Halbjahr1", "Ist_Wert_Halbjahr2", "Soll_Wert_Halbjahr2",
                                  "Ist_Wert_Jahr", "Soll_Wert_Jahr"};
        for (int i = 0; i < 14; ++i) {
            DBEdit *edit = dialog()->edits[i];
            QCOMPARE(edit->objectName(), QStringLiteral("DBEdit%1").arg(i + 1));
            QCOMPARE(edit->dataField(), columns[i]);
            QCOMPARE(edit->x(), i % 2 == 0 ? 120 : 256);
            QCOMPARE(edit->width(), 121);
            if (i > 0)
                QCOMPARE(dialog()->edits[i - 1]->nextInFocusChain(), edit);
        }
        QCOMPARE(dialog()->edits[0]->text(), QStringLiteral("11"));
        QCOMPARE(dialog()->edits[1]->text(), QStringLiteral("12"));
        QCOMPARE(dialog()->Table1->tableName(), QStringLiteral("kz_ges_renta.DB"));
    }

    void enablingChain()
    {
        TestWindows w;
        dialog()->combobox1->choose(0);
        QVERIFY(dialog()->combobox2->isEnabled() && !dialog()->combobox3->isEnabled());
        dialog()->combobox2->choose(1);
        QVERIFY(dialog()->combobox3->isEnabled() && !dialog()->Button1->isEnabled());
        dialog()->combobox3->choose(2);
        QVERIFY(dialog()->Button1->isEnabled() && !dialog()->Button3->isEnabled());
        dialog()->Button1->click();
        QVERIFY(dialog()->Button3->isEnabled());

        // Another perspective empties the key-figure box; nothing is disabled.
        dialog()->combobox1->choose(1);
        QCOMPARE(dialog()->combobox2->itemIndex(), -1);
        QCOMPARE(dialog()->combobox2->text(), QString());
        QVERIFY(dialog()->combobox3->isEnabled() && dialog()->Button1->isEnabled() && dialog()->Button3->isEnabled());
    }

    void processPerspectiveEnablesTheYearAtOnce()
    {
        TestWindows w;
        dialog()->combobox1->choose(3);
        QVERIFY(dialog()->combobox3->isEnabled());
        QCOMPARE(dialog()->combobox2->itemIndex(), -1);
    }

    void keyFigureLists_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<int>("branche");
        QTest::addColumn<int>("perspektive");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("German financial") << 1 << 1 << 0 << QStringList{"Gesamtkapitalrentabilität", "Eigenkapitalquote", "Liquidität 1. Grades"};
        QTest::newRow("English financial") << 0 << 1 << 0 << QStringList{"Total profitability", "Equity ratio", "Cash ratio"};
        QTest::newRow("English customer") << 0 << 0 << 1 << QStringList{"Customer loyalty", "Market share", "Numbers of complaints"};
        QTest::newRow("English employee stays German") << 0 << 0 << 2
            << QStringList{"Anzahl der Verbesserungsvorschläge", "Gewinn / Personalkosten", "Grad der Übereinstimmung des MA.-profils mit dem Stellenprofil"};
        QTest::newRow("process, agriculture") << 0 << 0 << 3
            << QStringList{"Dauer der Rechnungslegung", "Erhöhung des Anteils innovativer Produkte", "Verringerung der Auslieferungszeit"};
        QTest::newRow("process, mining") << 1 << 1 << 3
            << QStringList{"Dauer der Rechnungslegung", "Dauer der Auftragsabwicklung verringern", "Verringerung der Auslieferungszeit"};
        QTest::newRow("nothing chosen: German, mining") << -1 << -1 << 3
            << QStringList{"Dauer der Rechnungslegung", "Dauer der Auftragsabwicklung verringern", "Verringerung der Auslieferungszeit"};
    }
    void keyFigureLists()
    {
        QFETCH(int, sprache);
        QFETCH(int, branche);
        QFETCH(int, perspektive);
        QFETCH(QStringList, items);
        TestWindows w;
        if (sprache >= 0)
            Form1->ComboBox6->choose(sprache);
        if (branche >= 0)
            Form1->ComboBox7->choose(branche);
        dialog()->combobox1->choose(perspektive);
        QCOMPARE(dialog()->combobox2->items(), items);
    }

    // The table follows the industry when the row is shown, not when the
    // perspective was chosen; another perspective without a key figure
    // shows the table used last again.
    void tableIsFixedWhenTheRowIsShown()
    {
        TestWindows w;
        Form1->ComboBox6->choose(1);
        Form1->ComboBox7->choose(0);
        show(3, 1, QStringLiteral("2005"));
        QCOMPARE(dialog()->Table1->tableName(), QStringLiteral("kz_neuprod.db"));
        Form1->ComboBox7->choose(1);
        dialog()->Button1->click();
        QCOMPARE(dialog()->Table1->tableName(), QStringLiteral("kz_auf_abwicklung.db"));
        dialog()->combobox1->choose(0);
        dialog()->Button1->click();
        QCOMPARE(dialog()->Table1->tableName(), QStringLiteral("kz_auf_abwicklung.db"));
        QCOMPARE(dialog()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
    }

    void showEditAndSave()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q2"), 30, 40);
        show(0, 1, QStringLiteral("2005"));
        QCOMPARE(dialog()->edits[2]->text(), QStringLiteral("30"));
        QCOMPARE(dialog()->edits[3]->text(), QStringLiteral("40"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);

        type(3, QStringLiteral("35"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Edit);
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        const Asker::Question q = w.asker().questions().value(0);
        QCOMPARE(q.text, QStringLiteral("Sollen die Daten wirklich gespeichert werden?"));
        QCOMPARE(q.caption, QStringLiteral("Meldungsfenster"));
        QCOMPARE(q.buttons, Asker::Buttons::OkCancel);
        QCOMPARE(q.icon, Asker::Icon::Warning);
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q2").toInt(), 35);
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);
        QCOMPARE(dialog()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));

        // Cancel drops the change and shows what is stored.
        type(3, QStringLiteral("99"));
        w.asker().answer(Asker::Answer::Cancel);
        dialog()->Button3->click();
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q2").toInt(), 35);
        QCOMPARE(dialog()->edits[2]->text(), QStringLiteral("35"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);
    }

    // A user who may only read sees the stored values, and a save is
    // refused in the chosen language with nothing written.
    void aReaderSeesButCannotSave_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German") << false << QStringLiteral("Sie dürfen diese Daten lesen, aber nicht ändern");
        QTest::newRow("English") << true << QStringLiteral("You may read this scorecard but not change it");
    }
    void aReaderSeesButCannotSave()
    {
        QFETCH(bool, english);
        QFETCH(QString, expected);
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q2"), 30, 40);
        SmallDisk disk;
        QString reason;
        OnExit drop([&] { dropReader(w); });
        if (!becomeReader(w, disk, reason))
            QSKIP(qPrintable(reason));
        if (english)
            w.continueWith(0, 0);
        show(0, 1, QStringLiteral("2005"));
        QCOMPARE(dialog()->edits[2]->text(), QStringLiteral("30"));
        type(3, QStringLiteral("35"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        const Asker::Question refusal = w.asker().questions().last();
        QCOMPARE(refusal.text, expected);
        QCOMPARE(refusal.icon, Asker::Icon::Critical);
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);
        QCOMPARE(dialog()->edits[2]->text(), QStringLiteral("30"));
        Database::Result q = w.db().database().run(QStringLiteral("SELECT \"Ist_Wert_Q2\" FROM kz_kap_quote WHERE \"Jahr\"=?"),
                                                {QStringLiteral("2005")}, QStringLiteral("read"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 30);
        q.finish();
    }

    void englishSaveQuestion()
    {
        TestWindows w;
        w.continueWith(0, 0);
        show(1, 0, QStringLiteral("2006"));
        type(1, QStringLiteral("5"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(w.asker().questions().value(0).caption, QStringLiteral("Infomation"));
        QCOMPARE(w.asker().questions().value(0).text, QStringLiteral("Should the data really be saved?"));
        QCOMPARE(stored(w, "kz_kundentreue", "2006", "Ist_Wert_Q1").toInt(), 5);
    }

    void savingTwiceWithoutTypingIsRefused()
    {
        TestWindows w;
        show(0, 0, QStringLiteral("2005"));
        type(1, QStringLiteral("7"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        const QByteArray before = digest(w.db().path());
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(w.asker().questions().size(), 3);
        const Asker::Question error = w.asker().questions().last();
        QVERIFY2(error.text.contains(QLatin1String("not in edit or insert mode")), qPrintable(error.text));
        QCOMPARE(error.icon, Asker::Icon::Critical);
        QCOMPARE(digest(w.db().path()), before);
    }

    void typedBeforeTheFirstDisplayIsDropped()
    {
        TestWindows w;
        type(1, QStringLiteral("123"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Edit);
        show(0, 0, QStringLiteral("2003"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);
        QCOMPARE(dialog()->edits[0]->text(), QString());
        QVERIFY(stored(w, "kz_ges_renta", "2003", "Ist_Wert_Q1").isNull());
    }

    void yearIsSearchedAsTyped()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_liqui"), QStringLiteral("2009"), QStringLiteral("Jahr"), 9, 10);
        show(0, 2, QStringLiteral("2009"));
        QVERIFY(dialog()->showsRow());
        QCOMPARE(dialog()->edits[12]->text(), QStringLiteral("9"));
    }

    // A year without a row must not leave another year's row to be edited.
    void yearWithoutARowShowsNothingAndSavesNothing_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("hint");
        QTest::newRow("later year") << "2040" << "bsc-db add-year 2040";
        QTest::newRow("blank after the year") << "2005 " << "vier Ziffern";
        QTest::newRow("quote") << "20\"05" << "vier Ziffern";
    }
    void yearWithoutARowShowsNothingAndSavesNothing()
    {
        QFETCH(QString, year);
        QFETCH(QString, hint);
        TestWindows w;
        w.continueWith(1, 1);
        show(0, 0, QStringLiteral("2005"));
        type(1, QStringLiteral("5"));
        w.asker().answer(Asker::Answer::No);   // the typed 5 is dropped
        show(0, 0, year);
        QCOMPARE(w.asker().questions().size(), 1);
        QCOMPARE(w.asker().questions().first().buttons, Asker::Buttons::YesNoCancel);
        w.asker().clear();
        QVERIFY(!dialog()->showsRow());
        QVERIFY(dialog()->Notice->isVisible() || !dialog()->Notice->isHidden());
        QVERIFY2(dialog()->Notice->text().contains(QLatin1String("kz_ges_renta")) && dialog()->Notice->text().contains(hint),
                 qPrintable(dialog()->Notice->text()));
        for (DBEdit *edit : dialog()->edits) {
            QCOMPARE(edit->text(), QString());
            QVERIFY(edit->isReadOnly());
        }
        const QByteArray before = digest(w.db().path());
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY(w.asker().questions().first().text.contains(QLatin1String("nichts gespeichert")));
        QCOMPARE(digest(w.db().path()), before);

        // A year with a row shows and saves again.
        show(0, 0, QStringLiteral("2006"));
        QVERIFY(dialog()->showsRow() && dialog()->Notice->isHidden());
        type(2, QStringLiteral("8"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(stored(w, "kz_ges_renta", "2006", "Soll_Wert_Q1").toInt(), 8);
        QVERIFY(stored(w, "kz_ges_renta", "2003", "Ist_Wert_Q1").isNull());
    }

    void valuesOutsideWholeNumbersInRangeAreRefused_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters") << 1 << "abc" << "„abc“ im Feld 1. Quartal IST-Wert (Ist_Wert_Q1) ist keine ganze Zahl";
        QTest::newRow("decimal") << 14 << "1,5" << "„1,5“ im Feld Jahr Soll-Wert (Soll_Wert_Jahr) ist keine ganze Zahl";
        QTest::newRow("too large") << 2 << "21474837" << "„21474837“ im Feld 1. Quartal Soll-Wert (Soll_Wert_Q1) ist außerhalb";
        QTest::newRow("too small") << 9 << "-21474837" << "(Ist_Wert_Halbjahr1) ist außerhalb";
    }
    void valuesOutsideWholeNumbersInRangeAreRefused()
    {
        QFETCH(int, edit);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        TestWindows w;
        w.continueWith(1, 1);
        show(0, 0, QStringLiteral("2005"));
        type(3, QStringLiteral("21474836"));   // the largest allowed goes with it
        type(edit, value);
        const QByteArray before = digest(w.db().path());
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(w.asker().questions().size(), 2);
        QVERIFY2(w.asker().questions().last().text.contains(expected), qPrintable(w.asker().questions().last().text));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Edit);
        QCOMPARE(dialog()->edits[edit - 1]->text(), value);
        QCOMPARE(digest(w.db().path()), before);

        type(edit, QStringLiteral("-21474836"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(stored(w, "kz_ges_renta", "2005", "Ist_Wert_Q2").toInt(), 21474836);
    }

    // Two users show the same year; the second save must not overwrite the
    // first one's values unseen, and the fields then show what is stored.
    void noLostUpdateBetweenTwoUsers()
    {
        TestWindows w;
        w.continueWith(1, 1);
        show(0, 1, QStringLiteral("2005"));
        type(1, QStringLiteral("40"));
        // Meanwhile the other user saved the same value.
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q1"), 55, 60);
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        const QString message = w.asker().questions().last().text;
        QVERIFY2(message.contains(QLatin1String("changed this row since it was shown")), qPrintable(message));
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q1").toInt(), 55);
        QCOMPARE(dialog()->edits[0]->text(), QStringLiteral("55"));
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Browse);
        // Typed again on what is stored now, it goes through.
        type(1, QStringLiteral("40"));
        w.asker().answer(Asker::Answer::Ok);
        dialog()->Button3->click();
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q1").toInt(), 40);
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Soll_Wert_Q1").toInt(), 60);
    }

    void closingAsksAndKeepsWhatIsPending()
    {
        TestWindows w;
        Form1->show();
        Form1->Kennzahlen1->trigger();
        QVERIFY(dialog()->isVisible());
        show(0, 0, QStringLiteral("2005"));
        type(1, QStringLiteral("77"));

        w.asker().answer(Asker::Answer::No);
        dialog()->Button2->click();
        QVERIFY(dialog()->isVisible());
        const Asker::Question q = w.asker().questions().value(0);
        QCOMPARE(q.text, QStringLiteral("Alle Daten müssen einzeln gespeichert werden, bevor beendet wird!"));
        QCOMPARE(q.buttons, Asker::Buttons::YesNo);
        QCOMPARE(q.icon, Asker::Icon::Question);

        w.asker().answer(Asker::Answer::Yes);
        dialog()->Button2->click();
        QVERIFY(!dialog()->isVisible());
        QVERIFY(stored(w, "kz_ges_renta", "2005", "Ist_Wert_Q1").isNull());

        // Shown again from the menu, it goes on where the user left off.
        Form1->Kennzahlen1->trigger();
        QVERIFY(dialog()->isVisible());
        QCOMPARE(dialog()->Table1->state(), DataSet::State::Edit);
        QCOMPARE(dialog()->edits[0]->text(), QStringLiteral("77"));
        QCOMPARE(dialog()->combobox3->text(), QStringLiteral("2005"));

        // The close box hides without a question.
        const int asked = w.asker().questions().size();
        dialog()->close();
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(w.asker().questions().size(), asked);
        QVERIFY(Form1->isVisible());
    }

    // Values typed and not saved: ending the program or showing another
    // row asks once. Yes saves through the save question and its checks, No
    // drops them, Cancel goes back with everything as it was.
    void typedValuesAreNotDroppedWithoutAQuestion_data()
    {
        QTest::addColumn<QString>("way");       // menu, close box, show again
        QTest::addColumn<QString>("typed");     // what is typed into Ist_Wert_Q1, or nothing
        QTest::addColumn<QString>("fault");     // another user's save meanwhile
        QTest::addColumn<QString>("answers");   // y: Yes, n: No, c: Cancel, o: OK
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("written");   // -1: nothing stored
        QTest::addColumn<bool>("goesOn");
        for (const char *way : {"menu", "close box", "show again"}) {
            const QByteArray w(way);
            QTest::newRow(w + ", save") << way << "99" << "" << "yo" << 2 << 99 << true;
            QTest::newRow(w + ", save, then Cancel") << way << "99" << "" << "yc" << 2 << -1 << false;
            QTest::newRow(w + ", discard") << way << "99" << "" << "n" << 1 << -1 << true;
            QTest::newRow(w + ", go back") << way << "99" << "" << "c" << 1 << -1 << false;
            QTest::newRow(w + ", nothing typed") << way << "" << "" << "" << 0 << -1 << true;
        }
        QTest::newRow("menu, save refuses a value") << "menu" << "abc" << "" << "yo" << 3 << -1 << false;
        QTest::newRow("menu, save meets another user's") << "menu" << "99" << "conflict" << "yo" << 3 << 55 << false;
        QTest::newRow("show again, save refuses a value") << "show again" << "abc" << "" << "yo" << 3 << -1 << false;
    }
    void typedValuesAreNotDroppedWithoutAQuestion()
    {
        QFETCH(QString, way);
        QFETCH(QString, typed);
        QFETCH(QString, fault);
        QFETCH(QString, answers);
        QFETCH(int, written);
        QFETCH(bool, goesOn);
        TestWindows w;
        w.continueWith(1, 1);
        Form1->show();
        Form1->Kennzahlen1->trigger();
        show(0, 1, QStringLiteral("2005"));
        if (!typed.isEmpty())
            type(1, typed);
        if (fault == QLatin1String("conflict"))
            w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q1"), 55, 60);
        for (const QChar a : answers) {
            w.asker().answer(a == QLatin1Char('y')   ? Asker::Answer::Yes
                             : a == QLatin1Char('n') ? Asker::Answer::No
                             : a == QLatin1Char('o') ? Asker::Answer::Ok
                                                     : Asker::Answer::Cancel);
        }

        bool wentOn = false;
        if (way == QLatin1String("show again")) {
            dialog()->combobox3->choose(dialog()->combobox3->items().indexOf(QStringLiteral("2006")));
            dialog()->Button1->click();
            wentOn = dialog()->Table1->asText(QStringLiteral("Jahr")) == QLatin1String("2006");
        } else {
            wentOn = endProgram(way);
        }

        QCOMPARE(w.asker().pending(), 0);
        QTEST(int(w.asker().questions().size()), "questions");
        if (!answers.isEmpty()) {
            const Asker::Question q = w.asker().questions().first();
            QVERIFY2(q.text.startsWith(QLatin1String("Die eingegebenen Werte sind noch nicht gespeichert.")), qPrintable(q.text));
            QCOMPARE(q.caption, QStringLiteral("Meldungsfenster"));
            QCOMPARE(q.buttons, Asker::Buttons::YesNoCancel);
        }
        if (answers.startsWith(QLatin1Char('y')))
            QCOMPARE(w.asker().questions().value(1).text, QStringLiteral("Sollen die Daten wirklich gespeichert werden?"));
        QCOMPARE(wentOn, goesOn);
        const QVariant value = stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q1");
        QCOMPARE(value.isNull() ? -1 : value.toInt(), written);
        if (!goesOn && fault.isEmpty()) {
            // Back where the user was: the row in editing with what was typed.
            QVERIFY(Form1->isVisible() && dialog()->isVisible());
            QCOMPARE(dialog()->Table1->state(), DataSet::State::Edit);
            QCOMPARE(dialog()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
            QCOMPARE(dialog()->edits[0]->text(), typed);
        }
    }

    // A dialog hidden with values pending still asks when the program ends.
    void hiddenDialogWithPendingValuesAsksOnExit()
    {
        TestWindows w;
        w.continueWith(0, 1);
        Form1->show();
        Form1->Kennzahlen1->trigger();
        show(0, 1, QStringLiteral("2005"));
        type(1, QStringLiteral("99"));
        dialog()->close();   // the close box hides it, values pending
        w.asker().answer(Asker::Answer::Cancel);
        QVERIFY(!endProgram(QStringLiteral("close box")));
        QCOMPARE(w.asker().questions().size(), 1);
        QCOMPARE(w.asker().questions().first().caption, QStringLiteral("Information"));
        QVERIFY2(w.asker().questions().first().text.startsWith(QLatin1String("The values typed are not saved yet.")),
                 qPrintable(w.asker().questions().first().text));
        QVERIFY(dialog()->isVisible());   // shown again where the values are
        w.asker().answer(Asker::Answer::Yes);
        w.asker().answer(Asker::Answer::Ok);
        QVERIFY(endProgram(QStringLiteral("menu")));
        QCOMPARE(w.asker().questions().value(2).caption, QStringLiteral("Infomation"));
        QCOMPARE(stored(w, "kz_kap_quote", "2005", "Ist_Wert_Q1").toInt(), 99);
    }

    void englishClosingQuestion()
    {
        TestWindows w;
        w.continueWith(0, 1);
        w.asker().answer(Asker::Answer::No);
        dialog()->Button2->click();
        QCOMPARE(w.asker().questions().value(0).text, QStringLiteral("All data must be stored individually, before close!"));
        QCOMPARE(w.asker().questions().value(0).caption, QStringLiteral("Information"));
    }

    void laterYearsCanBeChosen()
    {
        TestWindows w;
        QCOMPARE(dialog()->combobox3->items().mid(0, 11), ScorecardKatalog::years());
        QCOMPARE(dialog()->combobox3->items().mid(11), QStringList{"2014"});
        show(0, 0, QStringLiteral("2014"));
        QVERIFY(dialog()->showsRow());
    }
};

QTEST_MAIN(TestEingabeKz)
#include "tst_eingabe_kz.moc"
