// The measures editor: paging, changing, adding and deleting the measures
// of the Measures page's goal and year.
#include "fixture_windows.h"
#include "fixture_reader.h"

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
#include <QTimer>

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
        // The page follows; the editor shows the saved measure; the count
        // follows the list.
        QCOMPARE(pageGrid(), QStringLiteral("Alt;Ideenbörse \"Besser machen\", monatlich\nmit Prämie"));
        QVERIFY(editor()->inTableView());
        QCOMPARE(editor()->DBMemo1->toPlainText(), QStringLiteral("Personal"));
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 2 Datensätze vorhanden"));
        QVERIFY(editor()->Button2->isEnabled() && editor()->Button_M_bearbeiten->isEnabled() && !editor()->speichern->isEnabled());
    }

    // A new measure takes its goal from the goal chosen on the page, in the
    // catalog's German text in both languages; without one it is refused.
    void newMeasureTakesTheChosenGoal_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("goalBox");   // "choose", "type" text, or "perspective" changed
        QTest::addColumn<QString>("message");
        QTest::newRow("German, chosen") << 1 << "choose" << "";
        QTest::newRow("English, chosen") << 0 << "choose" << "";
        QTest::newRow("German, typed") << 1 << "type" << "Eine neue Maßnahme braucht ein Ziel";
        QTest::newRow("English, typed") << 0 << "type" << "A new measure needs a goal";
        QTest::newRow("German, none after a new perspective") << 1 << "perspective" << "Eine neue Maßnahme braucht ein Ziel";
        QTest::newRow("English, none after a new perspective") << 0 << "perspective" << "A new measure needs a goal";
    }
    void newMeasureTakesTheChosenGoal()
    {
        QFETCH(int, sprache);
        QFETCH(QString, goalBox);
        QFETCH(QString, message);
        TestWindows w;
        w.continueWith(sprache, 1);
        openFor(2, 0, QStringLiteral("2005"));
        if (goalBox == QLatin1String("type"))
            page()->ComboBox5->type(QStringLiteral("Qualität"));
        else if (goalBox == QLatin1String("perspective"))
            page()->ComboBox4->choose(1);   // the goal text stays, no goal chosen
        editor()->Button_neue_M->click();
        if (message.isEmpty()) {
            QVERIFY(w.asker().questions().isEmpty());
            QCOMPARE(editor()->Table1->asText(QStringLiteral("Ziel")), Goal7);
            QCOMPARE(editor()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
            page()->ComboBox9->type(QStringLiteral("2031"));   // taken when pressed, not later
            QCOMPARE(editor()->Table1->asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
            typeInto(editor()->dbmemo2, QStringLiteral("Neu"));
            w.asker().answer(Asker::Answer::Ok);
            editor()->speichern->click();
            QCOMPARE(w.db().value(QStringLiteral("SELECT \"Ziel\" FROM \"maßnahmen\"")).toString(), Goal7);
            return;
        }
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY2(w.asker().questions().first().text.startsWith(message), qPrintable(w.asker().questions().first().text));
        QCOMPARE(w.asker().questions().first().caption, sprache == 0 ? QStringLiteral("Information") : QStringLiteral("Meldungsfenster"));
        QCOMPARE(w.asker().questions().first().icon, Asker::Icon::Warning);
        // Nothing started: the list view, no row being added, nothing written.
        QVERIFY(!editor()->inTableView() && !editor()->speichern->isEnabled());
        QVERIFY(editor()->Button_M_bearbeiten->isEnabled() && editor()->loeschen->isEnabled());
        QVERIFY(!editor()->Table1->isEditing());
        QCOMPARE(count(w.db()), 0);
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

    // A user who may only read sees the measures; saving and deleting are
    // refused in the chosen language, nothing written, the stored values shown.
    void aReaderSeesButCannotChange_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German") << 1 << QStringLiteral("Sie dürfen diese Daten lesen, aber nicht ändern");
        QTest::newRow("English") << 0 << QStringLiteral("You may read this scorecard but not change it");
    }
    void aReaderSeesButCannotChange()
    {
        QFETCH(int, sprache);
        QFETCH(QString, expected);
        TestWindows w;
        const int nr = addMeasure(w.db(), QStringLiteral("Preise prüfen"));
        SmallDisk disk;
        QString reason;
        OnExit drop([&] { dropReader(w); });
        if (!becomeReader(w, disk, reason))
            QSKIP(qPrintable(reason));
        w.continueWith(sprache, 1);
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->DBEdit4, QStringLiteral("Fr. Öztürk"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(w.asker().questions().last().text, expected);
        QCOMPARE(editor()->Table1->state(), DataSet::State::Browse);
        QCOMPARE(editor()->DBEdit4->text(), QString());
        w.asker().answer(Asker::Answer::Ok);
        editor()->loeschen->click();
        QCOMPARE(w.asker().questions().last().text, expected);
        Database::Result q = w.db().database().run(QStringLiteral("SELECT count(*) FROM \"maßnahmen\" WHERE \"Nr\"=? AND \"Verantwortlicher\" IS NULL"),
                                                {nr}, QStringLiteral("read"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        q.finish();
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
        QCOMPARE(editor()->Label10->text(), QStringLiteral("insg. 1 Datensätze vorhanden"));   // follows the list
        QVERIFY(!editor()->Button2->isEnabled() && !editor()->Button3->isEnabled());
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
        w.asker().answer(Asker::Answer::No);   // asked first; dropped when the user says so
        page()->Button6->click();
        QCOMPARE(w.asker().questions().size(), 1);
        QVERIFY(!editor()->inTableView());
        QCOMPARE(editor()->Table1->state(), DataSet::State::Inactive);
        QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Original"));
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(),
                 QStringLiteral("Original"));
    }

    // The count and "<<<"/">>>" follow the list after each save, delete
    // and new measure.
    void countFollowsTheList()
    {
        TestWindows w;
        w.continueWith(1, 1);
        addMeasure(w.db(), QStringLiteral("Eins"));
        addMeasure(w.db(), QStringLiteral("Zwei"));
        openFor(0, 0, QStringLiteral("2005"));
        auto state = [] {
            return editor()->Label10->text() + (editor()->Button2->isEnabled() ? QStringLiteral(" <") : QString())
                + (editor()->Button3->isEnabled() ? QStringLiteral(" >") : QString());
        };
        QCOMPARE(state(), QStringLiteral("insg. 2 Datensätze vorhanden < >"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->loeschen->click();
        QCOMPARE(state(), QStringLiteral("insg. 1 Datensätze vorhanden"));
        addMeasure(w.db(), QStringLiteral("Von nebenan"));   // another user's, seen at the next count
        editor()->Button_neue_M->click();
        QCOMPARE(state(), QStringLiteral("insg. 1 Datensätze vorhanden"));
        typeInto(editor()->dbmemo2, QStringLiteral("Drei"));
        w.asker().answer(Asker::Answer::Ok);
        editor()->speichern->click();
        QCOMPARE(state(), QStringLiteral("insg. 3 Datensätze vorhanden < >"));
        QCOMPARE(count(w.db()), 3);
    }

    // A measure changed or added and not saved: ending the program or
    // opening the editor again asks once. Yes saves through the save
    // question, No drops it, Cancel goes back with everything as it was.
    void unsavedMeasureIsNotDroppedWithoutAQuestion_data()
    {
        QTest::addColumn<QString>("way");       // menu, close box, reopen
        QTest::addColumn<QString>("kind");      // change, new
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("answers");   // y: Yes, n: No, c: Cancel, o: OK
        QTest::addColumn<QString>("written");   // the measures stored afterwards
        QTest::addColumn<bool>("goesOn");
        for (const char *way : {"menu", "close box", "reopen"}) {
            const QByteArray w(way);
            QTest::newRow(w + ", change, save") << way << "change" << true << "yo" << "Geändert" << true;
            QTest::newRow(w + ", change, save, then Cancel") << way << "change" << true << "yc" << "Original" << false;
            QTest::newRow(w + ", change, discard") << way << "change" << true << "n" << "Original" << true;
            QTest::newRow(w + ", change, go back") << way << "change" << true << "c" << "Original" << false;
            QTest::newRow(w + ", change, nothing typed") << way << "change" << false << "" << "Original" << true;
            QTest::newRow(w + ", new, save") << way << "new" << true << "yo" << "Original;Geändert" << true;
            QTest::newRow(w + ", new, discard") << way << "new" << true << "n" << "Original" << true;
            QTest::newRow(w + ", new, go back") << way << "new" << true << "c" << "Original" << false;
            QTest::newRow(w + ", new, nothing typed") << way << "new" << false << "" << "Original" << true;
        }
    }
    void unsavedMeasureIsNotDroppedWithoutAQuestion()
    {
        QFETCH(QString, way);
        QFETCH(QString, kind);
        QFETCH(bool, typed);
        QFETCH(QString, answers);
        QFETCH(QString, written);
        QFETCH(bool, goesOn);
        TestWindows w;
        w.continueWith(1, 1);
        Form1->show();
        addMeasure(w.db(), QStringLiteral("Original"));
        openFor(0, 0, QStringLiteral("2005"));
        if (kind == QLatin1String("change"))
            editor()->Button_M_bearbeiten->click();
        else
            editor()->Button_neue_M->click();
        if (typed)
            typeInto(editor()->dbmemo2, QStringLiteral("Geändert"));
        for (const QChar a : answers) {
            w.asker().answer(a == QLatin1Char('y')   ? Asker::Answer::Yes
                             : a == QLatin1Char('n') ? Asker::Answer::No
                             : a == QLatin1Char('o') ? Asker::Answer::Ok
                                                     : Asker::Answer::Cancel);
        }

        bool wentOn = false;
        if (way == QLatin1String("reopen")) {
            page()->Button6->click();
            wentOn = !editor()->inTableView();
        } else {
            QTimer::singleShot(0, Form1, [way] {
                if (way == QLatin1String("menu"))
                    Form1->Beenden1->trigger();
                else
                    Form1->close();
                if (Form1->isVisible())
                    QCoreApplication::exit(7);
            });
            wentOn = QCoreApplication::exec() == 0;
        }

        QCOMPARE(w.asker().pending(), 0);
        QCOMPARE(int(w.asker().questions().size()), int(answers.size()));
        if (!answers.isEmpty()) {
            const Asker::Question q = w.asker().questions().first();
            QVERIFY2(q.text.startsWith(QStringLiteral("Die Maßnahme ist noch nicht gespeichert.")), qPrintable(q.text));
            QCOMPARE(q.caption, QStringLiteral("Meldungsfenster"));
            QCOMPARE(q.buttons, Asker::Buttons::YesNoCancel);
        }
        if (answers.startsWith(QLatin1Char('y')))
            QCOMPARE(w.asker().questions().value(1).text, QStringLiteral("Diese Maßnahme speichern?"));
        QCOMPARE(wentOn, goesOn);
        QStringList stored;
        for (int nr = 1; nr <= 3; ++nr) {
            const QVariant text = w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr});
            if (!text.isNull())
                stored << text.toString();
        }
        QCOMPARE(stored.join(QLatin1Char(';')), written);
        if (!goesOn) {
            // Back where the user was, with what was typed.
            QVERIFY(editor()->isVisible() && editor()->inTableView() && editor()->Table1->isEditing());
            QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Geändert"));
            QVERIFY(editor()->speichern->isEnabled());
        }
    }

    // Changing another measure or starting a new one while one is typed
    // asks first too.
    void anotherMeasureAsksFirst_data()
    {
        QTest::addColumn<QString>("button");   // change, new
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("goesOn");
        for (const char *button : {"change", "new"}) {
            const QByteArray b(button);
            QTest::newRow(b + ", save") << button << "yo" << "Geändert" << true;
            QTest::newRow(b + ", discard") << button << "n" << "Original" << true;
            QTest::newRow(b + ", go back") << button << "c" << "Original" << false;
        }
    }
    void anotherMeasureAsksFirst()
    {
        QFETCH(QString, button);
        QFETCH(QString, answers);
        QFETCH(QString, written);
        QFETCH(bool, goesOn);
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Original"));
        openFor(0, 0, QStringLiteral("2005"));
        editor()->Button_M_bearbeiten->click();
        typeInto(editor()->dbmemo2, QStringLiteral("Geändert"));
        for (const QChar a : answers)
            w.asker().answer(a == QLatin1Char('y') ? Asker::Answer::Yes
                             : a == QLatin1Char('n') ? Asker::Answer::No
                             : a == QLatin1Char('o') ? Asker::Answer::Ok
                                                     : Asker::Answer::Cancel);
        (button == QLatin1String("new") ? editor()->Button_neue_M : editor()->Button_M_bearbeiten)->click();
        QCOMPARE(w.asker().pending(), 0);
        QCOMPARE(w.asker().questions().first().buttons, Asker::Buttons::YesNoCancel);
        QCOMPARE(w.db().value(QStringLiteral("SELECT \"Maßnahme\" FROM \"maßnahmen\" WHERE \"Nr\"=?"), {nr}).toString(), written);
        QCOMPARE(count(w.db()), 1);
        QCOMPARE(editor()->Table1->isEditing(), true);
        if (goesOn && button == QLatin1String("new"))
            QCOMPARE(editor()->Table1->state(), DataSet::State::Insert);
        if (!goesOn)
            QCOMPARE(editor()->dbmemo2->toPlainText(), QStringLiteral("Geändert"));
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
        w.db().connection().close();   // the program starts on such a file
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
