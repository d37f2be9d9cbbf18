// The change history: every write of the program and of bsc-db leaves one
// row per changed column, in the same transaction; refused and conflicting
// writes leave none; bsc-db history prints it.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "core/history.h"
#include "dialogs/eingabe_kz.h"
#include "dialogs/eingabe_ma.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/measures.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

// The recorded changes without time and user, newest first:
// "source,table,row,column,old,new".
QStringList changes(const QString &db, const QStringList &filters = {})
{
    const ProgramRun r = bscDb(db, QStringList{QStringLiteral("history"), QStringLiteral("--csv")} + filters);
    if (r.status != 0)
        qWarning("bsc-db history: %s", qPrintable(r.err));
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    for (QString &line : lines)
        line = line.section(QLatin1Char(','), 2);
    return lines;
}

// Who the history names as the writer: the server's role, or the login.
QString expectedUser(TestDatabase &db)
{
    if (TestDatabase::postgres())
        return db.value(QStringLiteral("SELECT current_user")).toString();
    return QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
}

void typeInto(QWidget *control, const QString &text)
{
    if (auto *memo = qobject_cast<DBMemo *>(control)) {
        memo->setPlainText(text);
    } else if (auto *edit = qobject_cast<DBEdit *>(control)) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void showKeyFigure(int perspektive, int kennzahl, const QString &year)
{
    TEingabe_kennzahlen *d = Eingabe_kennzahlen;
    d->combobox1->choose(perspektive);
    d->combobox2->choose(kennzahl);
    d->combobox3->choose(d->combobox3->items().indexOf(year));
    d->Button1->click();
}

const QString Goal1 = QStringLiteral("Steigerung der Gesamtrentabilität");

int addMeasure(TestDatabase &db, const QString &measure)
{
    db.sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,'2005')"), {measure, Goal1});
    return db.value(QStringLiteral("SELECT max(\"Nr\") FROM \"maßnahmen\"")).toInt();
}

void openEditor()
{
    MeasuresPage *page = Form1->measuresPage();
    page->ComboBox4->choose(0);
    page->ComboBox5->choose(0);
    page->ComboBox8->choose(6);
    page->ComboBox9->choose(page->ComboBox9->items().indexOf(QStringLiteral("2005")));
    page->Button5->click();
    page->Button6->click();
}

} // namespace

class TestChanges : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }

    // A confirmed save records each changed column; a refused value and a
    // save that meets another user's change record nothing.
    void keyFigureSave()
    {
        TestWindows w;
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q2"), 30, 40);
        showKeyFigure(0, 1, QStringLiteral("2005"));
        QCOMPARE(Eingabe_kennzahlen->LastChange->text(), QString());
        typeInto(Eingabe_kennzahlen->edits[2], QStringLiteral("35"));
        typeInto(Eingabe_kennzahlen->edits[3], QStringLiteral("40"));   // unchanged: no row
        typeInto(Eingabe_kennzahlen->edits[4], QStringLiteral("7"));
        w.asker().answer(Asker::Answer::Ok);
        Eingabe_kennzahlen->Button3->click();
        const QStringList saved{QStringLiteral("dialog,kz_kap_quote,2005,Ist_Wert_Q3,,7"),
                                QStringLiteral("dialog,kz_kap_quote,2005,Ist_Wert_Q2,30,35")};
        QCOMPARE(changes(w.db().path()), saved);
        const QString line = Eingabe_kennzahlen->LastChange->text();
        QVERIFY2(line.startsWith(QStringLiteral("Zuletzt geändert von %1 am ").arg(expectedUser(w.db()))), qPrintable(line));

        typeInto(Eingabe_kennzahlen->edits[2], QStringLiteral("3,5"));
        w.asker().answer(Asker::Answer::Ok);
        Eingabe_kennzahlen->Button3->click();
        QCOMPARE(Eingabe_kennzahlen->Table1->state(), DataSet::State::Edit);
        Eingabe_kennzahlen->Table1->cancel();

        showKeyFigure(0, 1, QStringLiteral("2005"));
        typeInto(Eingabe_kennzahlen->edits[2], QStringLiteral("36"));
        w.db().setPair(QStringLiteral("kz_kap_quote"), QStringLiteral("2005"), QStringLiteral("Q2"), 31, 40);
        w.asker().answer(Asker::Answer::Ok);
        Eingabe_kennzahlen->Button3->click();
        QVERIFY(w.asker().questions().last().text.contains(QLatin1String("changed this row since it was shown")));
        QCOMPARE(changes(w.db().path()), saved);
    }

    void measureChangedAndDeleted()
    {
        TestWindows w;
        w.continueWith(1, 1);
        const int nr = addMeasure(w.db(), QStringLiteral("Preise prüfen"));
        openEditor();
        eingabe_m->Button_M_bearbeiten->click();
        typeInto(eingabe_m->DBEdit4, QStringLiteral("Fr. Öztürk"));
        w.asker().answer(Asker::Answer::Ok);
        eingabe_m->speichern->click();
        const QString n = QString::number(nr);
        QCOMPARE(changes(w.db().path()), QStringList{QStringLiteral("editor,maßnahmen,%1,Verantwortlicher,,Fr. Öztürk").arg(n)});
        QVERIFY2(eingabe_m->LastChange->text().startsWith(QStringLiteral("Zuletzt geändert von ")),
                 qPrintable(eingabe_m->LastChange->text()));

        w.asker().answer(Asker::Answer::Ok);
        eingabe_m->loeschen->click();
        const QStringList rows = changes(w.db().path(), {QStringLiteral("--nr"), n});
        QVERIFY2(rows.contains(QStringLiteral("editor,maßnahmen,%1,Maßnahme,Preise prüfen,").arg(n)), qPrintable(rows.join('\n')));
        QVERIFY(rows.contains(QStringLiteral("editor,maßnahmen,%1,Nr,%1,").arg(n)));
        QCOMPARE(rows.last(), QStringLiteral("editor,maßnahmen,%1,Verantwortlicher,,Fr. Öztürk").arg(n));
    }

    // The data layer records every write of a dataset, also an added row;
    // a delete that meets another user's change records nothing; the
    // history itself cannot be written through a dataset.
    void datasetWrites()
    {
        TestDatabase db;
        db.connection().open(db.path());
        {
            const ChangeHistory::Scope writer(db.database(), ChangeHistory::Editor);
            Table t(db.connection(), QStringLiteral("t"));
            t.setTableName(QStringLiteral("maßnahmen.DB"));
            t.open();
            t.append();
            t.setText(QStringLiteral("Maßnahme"), QStringLiteral("a, \"b\""));
            t.setText(QStringLiteral("Ziel"), Goal1);
            t.post();
            const QString nr = t.asText(QStringLiteral("Nr"));
            QCOMPARE(changes(db.path()), (QStringList{QStringLiteral("editor,maßnahmen,%1,Ziel,,%2").arg(nr, Goal1),
                                                      QStringLiteral("editor,maßnahmen,%1,Maßnahme,,\"a, \"\"b\"\"\"").arg(nr)}));
            db.sql(QStringLiteral("UPDATE \"maßnahmen\" SET \"Jahr\"='2006'"));
            QVERIFY(errorOf([&] { t.remove(); }).contains(QLatin1String("changed this row")));
            QCOMPARE(changes(db.path()).size(), 2);
        }
        Table h(db.connection(), QStringLiteral("h"));
        h.setTableName(ChangeHistory::Table);
        h.open();
        h.edit();
        h.setText(QStringLiteral("new_value"), QStringLiteral("forged"));
        QVERIFY(errorOf([&] { h.post(); }).contains(QLatin1String("cannot be changed")));
        QVERIFY(errorOf([&] { h.remove(); }).contains(QLatin1String("cannot be changed")));
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM bsc_history WHERE new_value='forged'")).toInt(), 0);
        db.connection().close();
    }

    void addYearAndImport()
    {
        TestDatabase db(true);
        QCOMPARE(bscDb(db.path(), {QStringLiteral("add-year"), QStringLiteral("2015")}).status, 0);
        const QStringList added = changes(db.path(), {QStringLiteral("--table"), QStringLiteral("kz_liqui.db")});
        QCOMPARE(added, QStringList{QStringLiteral("add-year,kz_liqui,2015,Jahr,,2015")});

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("k.csv"));
        QCOMPARE(bscDb(db.path(), {QStringLiteral("export"), QStringLiteral("kennzahlen"), csv}).status, 0);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        f.close();
        const int column = lines[0].split(QLatin1Char(',')).indexOf(QStringLiteral("Ist_Wert_Q3"));
        QVERIFY(column > 0);
        QString old;
        for (QString &line : lines) {
            QStringList fields = line.split(QLatin1Char(','));
            if (fields.value(3) == QLatin1String("kz_liqui") && fields.value(4) == QLatin1String("2005")) {
                old = fields[column];
                fields[column] = QStringLiteral("4711");
                line = fields.join(QLatin1Char(','));
            }
        }
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines.join(QStringLiteral("\r\n")).toUtf8());
        f.close();
        const ProgramRun r = bscDb(db.path(), {QStringLiteral("import"), QStringLiteral("kennzahlen"), csv, QStringLiteral("--yes")});
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
        QCOMPARE(changes(db.path(), {QStringLiteral("--year"), QStringLiteral("2005")}),
                 QStringList{QStringLiteral("import,kz_liqui,2005,Ist_Wert_Q3,%1,4711").arg(old)});
    }

    void historyCommand_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("rows");
        QTest::newRow("all") << QStringList{} << 0 << 3;
        QTest::newRow("table") << QStringList{"--table", "kz_kap_quote"} << 0 << 1;
        QTest::newRow("year") << QStringList{"--year", "2005"} << 0 << 2;
        QTest::newRow("nr") << QStringList{"--nr", "1"} << 0 << 1;
        QTest::newRow("nr with leading zeros") << QStringList{"--nr", "001"} << 0 << 1;
        QTest::newRow("measures as the export names them") << QStringList{"--table", "MASSNAHMEN"} << 0 << 1;
        QTest::newRow("measures by year") << QStringList{"--table", "maßnahmen", "--year", "2005"} << 1 << 0;
        QTest::newRow("key figure by nr") << QStringList{"--table", "kz_liqui", "--nr", "1"} << 1 << 0;
        QTest::newRow("since past") << QStringList{"--since", "2000-01-01"} << 0 << 3;
        QTest::newRow("since future") << QStringList{"--since", "2999-01-01T00:00:00Z"} << 0 << 0;
        QTest::newRow("year and nr") << QStringList{"--year", "2005", "--nr", "1"} << 1 << 0;
        QTest::newRow("no year") << QStringList{"--year", "05"} << 1 << 0;
        QTest::newRow("no date") << QStringList{"--since", "gestern"} << 1 << 0;
        QTest::newRow("unknown table") << QStringList{"--table", "kz_nichts"} << 1 << 0;
        QTest::newRow("unknown option") << QStringList{"--all"} << 2 << 0;
    }

    void historyCommand()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(int, rows);
        TestDatabase db;
        db.connection().open(db.path());
        Table k(db.connection(), QStringLiteral("k"));
        for (const char *table : {"kz_kap_quote", "kz_liqui"}) {
            k.setTableName(QString::fromLatin1(table));
            k.open();
            k.locate(QStringLiteral("Jahr"), QStringLiteral("2005"));
            k.edit();
            k.setText(QStringLiteral("Ist_Wert_Q1"), QStringLiteral("5"));
            k.post();
        }
        Table m(db.connection(), QStringLiteral("m"));
        m.setTableName(QStringLiteral("maßnahmen"));
        m.open();
        m.append();
        m.setText(QStringLiteral("Jahr"), QStringLiteral("2005"));
        m.post();
        db.connection().close();

        const ProgramRun r = bscDb(db.path(), QStringList{QStringLiteral("history")} + args);
        QCOMPARE(r.status, status);
        if (status != 0)
            return;
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("time_utc\tuser\tsource\ttable\trow\tcolumn\told\tnew"));
        QCOMPARE(lines.size() - 1, rows);
        // Without a zone the time is UTC, as the printed ones: the newest
        // printed time finds its own row.
        if (rows == 3 && args.isEmpty()) {
            const QString newest = lines[1].section(QLatin1Char('\t'), 0, 0);
            RunSettings berlin;
            berlin.set.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
            const ProgramRun since = bscDb(db.path(), {QStringLiteral("history"), QStringLiteral("--since"), newest.left(19)}, berlin);
            QCOMPARE(since.status, 0);
            QVERIFY2(since.out.count(QLatin1Char('\n')) >= 2 && since.out.count(QLatin1Char('\n')) <= 4, qPrintable(since.out));
            const ProgramRun later = bscDb(db.path(), {QStringLiteral("history"), QStringLiteral("--since"),
                                                       QDateTime::fromString(newest, Qt::ISODateWithMs).addSecs(1)
                                                           .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))}, berlin);
            QCOMPARE(later.out.count(QLatin1Char('\n')), 1);
        }
        if (rows == 3) {
            QCOMPARE(lines[1].section(QLatin1Char('\t'), 2), QStringLiteral("program\tmaßnahmen\t1\tJahr\t\t2005"));
            QCOMPARE(lines[3].section(QLatin1Char('\t'), 1), expectedUser(db) + QStringLiteral("\tprogram\tkz_kap_quote\t2005\tIst_Wert_Q1\t\t5"));
            QVERIFY(lines[3].section(QLatin1Char('\t'), 0, 0) <= lines[1].section(QLatin1Char('\t'), 0, 0));
        }
    }

    // The CSV form guards formula-like texts as the export does, and no
    // control character reaches the terminal in either form.
    void historyOutputIsSafe()
    {
        TestDatabase db;
        db.connection().open(db.path());
        Table m(db.connection(), QStringLiteral("m"));
        m.setTableName(QStringLiteral("maßnahmen"));
        m.open();
        for (const QString &text : {QStringLiteral("=HYPERLINK(\"http://x\")"), QStringLiteral("@SUM(A1)"), QStringLiteral("+1+2"),
                                    QStringLiteral("rot\x1b[31m")}) {
            m.append();
            m.setText(QStringLiteral("Jahr"), QStringLiteral("2005"));
            m.setText(QStringLiteral("Maßnahme"), text);
            m.post();
        }
        db.connection().close();
        const ProgramRun csv = bscDb(db.path(), {QStringLiteral("history"), QStringLiteral("--csv")});
        QCOMPARE(csv.status, 0);
        for (const char *guarded : {",\"'=HYPERLINK(\"\"http://x\"\")\"", ",'@SUM(A1)", ",'+1+2"})
            QVERIFY2(csv.out.contains(QString::fromUtf8(guarded)), qPrintable(csv.out));
        const ProgramRun tab = bscDb(db.path(), {QStringLiteral("history")});
        for (const ProgramRun &r : {csv, tab}) {
            QVERIFY2(!r.out.contains(QChar(0x1b)), qPrintable(r.out));
            QVERIFY2(r.out.contains(QLatin1String("rot\\x1b[31m")), qPrintable(r.out));
        }
    }

    // init makes the history, check names it missing in an older database
    // (a note: nothing is wrong with the data), upgrade adds it.
    void initCheckUpgrade()
    {
        TestDatabase db;
        ProgramRun r = bscDb(db.path(), {QStringLiteral("check")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("bsc_history: 0 recorded changes")), qPrintable(r.out));
        db.sql(QStringLiteral("DROP TABLE bsc_history"));
        r = bscDb(db.path(), {QStringLiteral("check")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("bsc_history: the change history is missing")), qPrintable(r.out));
        r = bscDb(db.path(), {QStringLiteral("history")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QLatin1String("\"bsc-db upgrade\" adds it")), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        // Without it, writes go on unrecorded.
        QCOMPARE(bscDb(db.path(), {QStringLiteral("add-year"), QStringLiteral("2015")}).status, 0);
        r = bscDb(db.path(), {QStringLiteral("upgrade")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QLatin1String("added the change history bsc_history")), qPrintable(r.out));
        QVERIFY(bscDb(db.path(), {QStringLiteral("upgrade")}).out.contains(QLatin1String("is up to date")));
        QCOMPARE(bscDb(db.path(), {QStringLiteral("add-year"), QStringLiteral("2016")}).status, 0);
        QCOMPARE(changes(db.path(), {QStringLiteral("--table"), QStringLiteral("kz_liqui")}),
                 QStringList{QStringLiteral("add-year,kz_liqui,2016,Jahr,,2016")});
        QVERIFY(bscDb(db.path(), {QStringLiteral("check")}).out.contains(QLatin1String("bsc_history: 13 recorded changes")));
    }
};

QTEST_MAIN(TestChanges)
#include "tst_changes.moc"
