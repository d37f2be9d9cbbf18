// The measures editor: paging, changing, adding and deleting the measures
// of the Measures page's goal and year.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/eingabe_ma.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/measures.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlRecord>
#include <QTest>

namespace {

const QString Goal1 = QStringLiteral("Steigerung der Gesamtrentabilität");
const QString Goal7 = QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen");

Teingabe_m *editor() { return eingabe_m; }
MeasuresPage *page() { return Form1->measuresPage(); }

int addMeasure(TestDatabase &db, const QString &measure, const QString &ziel = Goal1,
               const QString &year = QStringLiteral("2005"))
{
    db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"), {measure, ziel, year});
    return db.value(QStringLiteral("SELECT max(\"Nr\") FROM \"maßnahmen\"")).toInt();
}

int count(TestDatabase &db) { return db.value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(); }

// The page on a goal and year, then the editor opened from it.
void openFor(int perspektive, int position, const QString &year)
{
    page()->ComboBox4->choose(perspektive);
    page()->ComboBox5->choose(position);
    page()->ComboBox8->choose(6);
    page()->ComboBox9->choose(page()->ComboBox9->items().indexOf(year));
    page()->Button5->click();
    page()->Button6->click();
}

// Replaces the text of a bound memo or edit as typing would.
void typeInto(QWidget *control, const QString &text)
{
    if (auto *memo = qobject_cast<DBMemo *>(control)) {
        memo->setPlainText(text);
    } else if (auto *edit = qobject_cast<DBEdit *>(control)) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        for (const QChar c : text)   // keyClicks knows ASCII only
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString pageGrid()
{
    QStringList rows;
    QAbstractItemModel *model = page()->DBGrid1->model();
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString();
    return rows.join(QLatin1Char(';'));
}

} // namespace

class TestEingabeMa : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }
    void createdAsTheWindowIsDrawn()
    {
        TestWindows w;
        QCOMPARE(editor()->windowTitle(), QStringLiteral("Maßnahmen - Eingabe"));
        QCOMPARE(editor()->pos(), QPoint(140, 101));
        QCOMPARE(editor()->dbmemo2->geometry(), QRect(216, 56, 257, 81));
        QCOMPARE(editor()->DBEdit5->geometry(), QRect(216, 384, 65, 21));
        QCOMPARE(editor()->DBEdit5->dataField(), QStringLiteral("Erfüllungsgrad_in_%"));
        QCOMPARE(editor()->Label2->text(), QStringLiteral("dazugehöriger Prozess(e):"));
        QCOMPARE(editor()->Label6->pos(), QPoint(56, 388));
        QCOMPARE(editor()->loeschen->geometry(), QRect(312, 456, 161, 25));
        QVERIFY(editor()->DBEdit6->isHidden() && editor()->DBEdit7->isHidden() && editor()->dbtext1->isHidden());
        QVERIFY(!editor()->Button2->isEnabled() && !editor()->Button3->isEnabled() && !editor()->speichern->isEnabled());
        QVERIFY(editor()->Button_M_bearbeiten->isEnabled() && editor()->loeschen->isEnabled());
        QCOMPARE(editor()->Query1->sql(), QStringLiteral("select * from maßnahmen"));
        QVERIFY(editor()->Table1->isActive() && !editor()->inTableView());
        QVERIFY(!editor()->isVisible());
    }

    void opensOnTheLastMeasureWithTheCount()
    {
        TestWindows w;
        w.continueWith(1, 1);
        addMeasure(w.db(), QStringLiteral("Erste"));
        addMeasure(w.db(), QStringLiteral("Zweite"));
        addMeasure(w.db(), QStringLiteral("Dritte"));
        addMeasure(w.db(), QStringLiteral("Anderes Jahr"), Goal1, QStringLiteral("2006"));
        openFor(0, 0, QStringLiteral("2005"));
        QVERIFY(editor()->isVisible());
        QCOMPARE(editor()->Query1->sql(),
                 QStringLiteral("select * from maßnahmen where ziel=\"%1\" and jahr = \"2005\"").arg(Goal1));
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Dritte"));
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 3 Datensätze vorhanden"));
        QVERIFY(editor()->Button2->isEnabled() && editor()->Button3->isEnabled() && !editor()->speichern->isEnabled());
        editor()->Button2->click();
        editor()->Button2->click();
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Erste"));
        editor()->Button2->click();   // at the first entry nothing changes
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Erste"));
        editor()->Button3->click();
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Zweite"));
        // The list takes no keystrokes.
        QVERIFY(editor()->dbmemo2->isReadOnly() && editor()->DBEdit4->isReadOnly());
    }

    void emptyList()
    {
        TestWindows w;
        w.continueWith(0, 1);   // the count label is German in English too
        openFor(1, 2, QStringLiteral("2010"));
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 0 Datensätze vorhanden"));
        QVERIFY(!editor()->Button2->isEnabled() && !editor()->Button3->isEnabled());
        QCOMPARE(editor()->dbmemo2->toPlainText(), QString());
        QCOMPARE(editor()->DBEdit4->text(), QString());
    }

    void newMeasureIsSavedForThePagesGoalAndYear_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("caption");
        QTest::newRow("German") << 1 << "Diese Maßnahme speichern?" << "Meldungsfenster";
        QTest::newRow("English") << 0 << "Save this measures?" << "Information";
    }
    void newMeasureIsSavedForThePagesGoalAndYear()
    {
        QFETCH(int, sprache);
        QFETCH(QString, question);
        QFETCH(QString, caption);
        TestWindows w;
        w.continueWith(sprache, 1);
        addMeasure(w.db(), QStringLiteral("Alt"), Goal7, QStringLiteral("2007"));
        openFor(2, 0, QStringLiteral("2007"));
        editor()->Button_neue_M->click();
        QVERIFY(editor()->inTableView() && editor()->speichern->isEnabled());
        QVERIFY(!editor()->Button_M_bearbeiten->isEnabled() && !editor()->loeschen->isEnabled());
        typeInto(editor()->dbmemo2, QStringLiteral("Ideenbörse \"Besser machen\", monatlich\nmit Prämie"));
        typeInto(editor()->DBMemo1, QStringLiteral("Personal"));
        typeInto(editor()->DBEdit5, QStringLiteral("10 %"));

        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(w.asker().questions().value(0).text, question);
        QCOMPARE(w.asker().questions().value(0).caption, caption);
        QCOMPARE(w.asker().questions().value(0).icon, Asker::Icon::Question);
        QCOMPARE(w.asker().questions().size(), 1);

        // Stored with the German goal in both languages, the page's year and a new number.
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Ziel\" || '|' || \"Jahr\" || '|' || \"Erfüllungsgrad_in_%\" FROM \"maßnahmen\" "
                                             "WHERE \"Prozesse\"='Personal'")).toString(),
                 Goal7 + QStringLiteral("|2007|10 %"));
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Prozesse\"='Personal'")).toString(),
                 QStringLiteral("Ideenbörse \"Besser machen\", monatlich\nmit Prämie"));
        QVERIFY(editor()->Table1->asInteger(QStringLiteral("Nr")) > 1);
        // The page follows; the editor shows the saved measure; the count stays.
        QCOMPARE(pageGrid(), QStringLiteral("Alt;Ideenbörse \"Besser machen\", monatlich\nmit Prämie"));
        QVERIFY(editor()->inTableView());
        QCOMPARE(editor()->DBMemo1->toPlainText(), QStringLiteral("Personal"));
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 1 Datensätze vorhanden"));
        QVERIFY(editor()->Button2->isEnabled() && editor()->Button_M_bearbeiten->isEnabled() && !editor()->speichern->isEnabled());
    }

    // In English a goal box with typed text gives the new measure no goal.
    void newMeasureWithoutAGoalInEnglish()
    {
        TestWindows w;
        w.continueWith(0, 1);
        openFor(0, 0, QStringLiteral("2005"));
        page()->ComboBox5->type(QStringLiteral("something else"));
        editor()->Button_neue_M->click();
        QCOMPARE(editor()->Table1->asText(QStringLiteral("Ziel")), QString());
        QCOMPARE(editor()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
        page()->ComboBox9->type(QStringLiteral("2031"));   // taken when pressed, not later
        QCOMPARE(editor()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
    }

    void changeAndSaveWithCancelFirst()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Preise prüfen"));
        addMeasure(w.db(), QStringLiteral("Andere"), Goal7);
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        QVERIFY(editor()->inTableView() && editor()->speichern->isEnabled());
        QCOMPARE(editor()->Table1->state(), DataSet::State::Edit);
        typeInto(editor()->DBEdit4, QStringLiteral("Fr. Öztürk"));

        w.asker().answer(Asker::Answer::Cancel);
        editor()->speichern->click();
        QCOMPARE(editor()->Table1->state(), DataSet::State::Edit);
        QVERIFY(editor()->speichern->isEnabled());
        QVERIFY(w.db().value(QStringLiteral("SELECT \"Verantwortlicher\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).isNull());

        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Verantwortlicher\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(),
                 QStringLiteral("Fr. Öztürk"));
        QCOMPARE(count(w.db()), 2);
        QCOMPARE(editor()->DBEdit4->text(), QStringLiteral("Fr. Öztürk"));
    }

    void deleteWithBothAnswers()
    {
        TestWindows w;
        w.continueWith(1, 1);
        addMeasure(w.db(), QStringLiteral("Bleibt"));
        const int nr = addMeasure(w.db(), QStringLiteral("Geht"));
        openFor(0, 0, QStringLiteral("2005"));
        w.asker().answer(Asker::Answer::Cancel);
        editor()->loeschen->click();
        QCOMPARE(count(w.db()), 2);
        w.asker().answer(Asker::Answer::Ok);
        editor()->loeschen->click();
        QCOMPARE(w.asker().questions().last().text, QStringLiteral("Diese Maßnahme wirklich löschen?"));
        QCOMPARE(w.db().value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toInt(), 0);
        QCOMPARE(count(w.db()), 1);
        QVERIFY(!editor()->inTableView());
        QCOMPARE(pageGrid(), QStringLiteral("Bleibt"));
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 2 Datensätze vorhanden"));   // not recounted
        QVERIFY(!editor()->speichern->isEnabled());
    }

    // A measure that is not there (an empty list, or one deleted meanwhile)
    // must never let another measure be changed or deleted in its place.
    void missingMeasureIsNeitherChangedNorDeleted()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int other = addMeasure(w.db(), QStringLiteral("Fremd"), Goal7);
        openFor(0, 0, QStringLiteral("2005"));   // empty list: Nr reads 0
        editor()->Button_M_bearbeiten->click();
        QCOMPARE(editor()->Table1->state(), DataSet::State::Browse);
        QVERIFY(!editor()->inTableView() && !editor()->speichern->isEnabled());
        QVERIFY(w.asker().questions().last().text.contains(QStringLiteral("keine Maßnahme angezeigt")));
        w.asker().answer(Asker::Answer::Ok);
        editor()->loeschen->click();
        QVERIFY(w.asker().questions().last().text.contains(QStringLiteral("nichts gelöscht")));
        QCOMPARE(count(w.db()), 1);

        const int gone = addMeasure(w.db(), QStringLiteral("Wird gelöscht"));
        openFor(0, 0, QStringLiteral("2005"));
        w.db().sql(QStringLiteral("DELETE FROM \"maßnahmen\" WHERE \"Nr\"=?"), {gone});
        editor()->Button_M_bearbeiten->click();
        QVERIFY(w.asker().questions().last().text.contains(QStringLiteral("Nr. %1 wurde nicht gefunden").arg(gone)));
        w.asker().answer(Asker::Answer::Ok);
        editor()->loeschen->click();
        QVERIFY(w.asker().questions().last().text.contains(QStringLiteral("nichts gelöscht")));
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {other}).toString(),
                 QStringLiteral("Fremd"));
        QCOMPARE(count(w.db()), 1);
    }

    // Closing after a change or new measure that was not saved writes nothing.
    void closingDropsWhatWasNotSaved()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Original"));
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Geändert"));
        w.asker().answer(Asker::Answer::Cancel);
        editor()->beenden->click();
        QVERIFY(editor()->isVisible());
        QCOMPARE(w.asker().questions().last().text, QStringLiteral("Eingabe wirklich beenden?"));
        QCOMPARE(w.asker().questions().last().caption, QStringLiteral("Information"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->beenden->click();
        QVERIFY(!editor()->isVisible());
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(),
                 QStringLiteral("Original"));

        // A new measure left unsaved: dropped too, and the next opening still
        // has change and delete disabled until the next save.
        page()->Button6->click();
        editor()->Button_neue_M->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Neu"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->beenden->click();
        QCOMPARE(count(w.db()), 1);
        page()->Button6->click();
        QVERIFY(!editor()->Button_M_bearbeiten->isEnabled() && !editor()->loeschen->isEnabled());
        QCOMPARE(pageGrid(), QStringLiteral("Original"));
    }

    void reopeningDropsAnUnsavedChange()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Original"));
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Geändert"));
        page()->Button6->click();
        QVERIFY(!editor()->inTableView());
        QCOMPARE(editor()->Table1->state(), DataSet::State::Inactive);
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Original"));
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(),
                 QStringLiteral("Original"));
    }

    // Texts of any length and any characters come back exactly as typed.
    void textsAreStoredExactly()
    {
        TestWindows w;
        w.continueWith(1, 1);
        openFor(0, 0, QStringLiteral("2005"));
        const QString text = QStringLiteral("Zitat: \"Qualität\" & 'Menge'; -- \\ \t Ende\r\nZweite Zeile ÄÖÜß€\n")
            + QString(20000, QLatin1Char('x'));
        editor()->Button_neue_M->click();
        typeInto(editor()->dbmemo2, text);
        typeInto(editor()->DBEdit4, QStringLiteral("O'Neill \"der Ältere\""));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\"")).toString(), editor()->dbmemo2->toPlainText());
        QCOMPARE(w.db().value(QStringLiteral("SELECT length(\"Maßnahme\") FROM \"maßnahmen\"")).toInt(),
                 editor()->dbmemo2->toPlainText().size());
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Verantwortlicher\" FROM \"maßnahmen\"")).toString(),
                 QStringLiteral("O'Neill \"der Ältere\""));
        QCOMPARE(pageGrid().size(), editor()->dbmemo2->toPlainText().size());
    }

    // A database made elsewhere may keep the degree of completion as a
    // number: a text there is refused clearly and nothing is written.
    void valueThatDoesNotSuitItsColumn()
    {
        TestWindows w;
        if (TestDatabase::postgres()) {
            w.db().sql(QStringLiteral("ALTER TABLE \"maßnahmen\" ALTER COLUMN \"Erfüllungsgrad_in_%\" TYPE INTEGER USING NULL"));
        } else {
            w.db().sql(QStringLiteral("DROP TABLE \"maßnahmen\""));
            w.db().sql(QStringLiteral("CREATE TABLE \"maßnahmen\" (\"Nr\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Maßnahme\" TEXT, "
                                      "\"Prozesse\" TEXT, \"Gültig_ab\" TEXT, \"Gültig_bis\" TEXT, \"Verantwortlicher\" TEXT, "
                                      "\"Erfüllungsgrad_in_%\" INTEGER, \"Jahr\" TEXT, \"Ziel\" TEXT) STRICT"));
        }
        Database::close();   // the program starts on such a file
        w.continueWith(1, 1);
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_neue_M->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Neu"));
        typeInto(editor()->DBEdit5, QStringLiteral("halb"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        const QString error = w.asker().questions().last().text;
        QVERIFY2(error.contains(QStringLiteral("\"halb\" is not a valid integer value for Erfüllungsgrad_in_%")), qPrintable(error));
        QCOMPARE(count(w.db()), 0);
        QCOMPARE(editor()->Table1->state(), DataSet::State::Insert);
        typeInto(editor()->DBEdit5, QStringLiteral("50"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(count(w.db()), 1);
    }

    // Another user changed or deleted the measure after it was put into
    // editing here: the save writes nothing of this window's and says so.
    void measureChangedOrDeletedByAnotherUser()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Original"));
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Mein Text"));
        w.db().sql(QStringLiteral("UPDATE \"maßnahmen\" SET \"Maßnahme\"='Text der Kollegin' WHERE \"Nr\"=?"), {nr});
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QVERIFY2(w.asker().questions().last().text.contains(QLatin1String("changed this row since it was shown")),
                 qPrintable(w.asker().questions().last().text));
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(),
                 QStringLiteral("Text der Kollegin"));
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Text der Kollegin"));

        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Noch einmal"));
        w.db().sql(QStringLiteral("DELETE FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr});
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QVERIFY(w.asker().questions().last().text.contains(QLatin1String("deleted this row meanwhile")));
        QCOMPARE(count(w.db()), 0);
    }

    // When the page's display step fails, the editor's step ends there.
    void failedDisplayStopsTheEditor()
    {
        TestWindows w;
        w.continueWith(1, 1);
        addMeasure(w.db(), QStringLiteral("Eins"));
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_neue_M->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Zwei"));
        w.db().sql(QStringLiteral("DROP TABLE kz_ges_renta"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(count(w.db()), 2);   // written before the display
        QVERIFY(w.asker().questions().last().text.contains(QLatin1String("kz_ges_renta")));
        QVERIFY(editor()->speichern->isEnabled());   // the rest of the step did not run
        QVERIFY(!editor()->Button2->isEnabled());
    }
};

QTEST_MAIN(TestEingabeMa)
#include "tst_eingabe_ma.moc"
