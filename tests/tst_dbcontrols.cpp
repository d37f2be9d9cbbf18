// The data-aware controls: text, edit, memo and grid bound to datasets.
#include "fixture.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbcontrols.h"
#include "platform/db/engineerror.h"

#include <QTest>

namespace {
const QString Goal7 = QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen");

// A query whose reads fail from a moment on, as a lock or a lost server does.
class FailingQuery : public Query {
public:
    using Query::Query;
    bool failing = false;

protected:
    QVector<Database::Row> fetch(Database::Fetch kind, const QVariant &key, int limit, int offset) const override
    {
        if (failing)
            throw EngineError(QStringLiteral("Could not read table maßnahmen: the disk is gone"));
        return Query::fetch(kind, key, limit, offset);
    }
};

// Catches what a data source reports for its window to show.
struct ReportedErrors {
    explicit ReportedErrors(DataSource &source)
    {
        QObject::connect(&source, &DataSource::failed, &source, [this](const QString &m) { messages << m; });
    }
    QStringList messages;
};
} // namespace

class TestDbControls : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Jahr"), 12, 10);
        m_db->setPair(QStringLiteral("kz_liqui"), QStringLiteral("2005"), QStringLiteral("Q2"), 30, 40);
        for (const char *m : {"Schulung", "Zirkel"})
            m_db->sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"),
                      {QString::fromUtf8(m), Goal7, QStringLiteral("2007")});
    }
    void cleanup() { m_db.reset(); }

    void boundControlsFollowTheCurrentRow()
    {
        Table table(m_db->connection(), QStringLiteral("Table1"));
        table.setTableName(QStringLiteral("kz_ges_renta.db"));
        table.open();
        Query query(m_db->connection(), QStringLiteral("Query1"));
        query.setSql(QStringLiteral("select ist_wert_q2,soll_wert_q2 from kz_liqui where jahr=\"2005\""));
        query.open();
        DataSource source(QStringLiteral("DataSource1"), &table);
        DBEdit edit(QStringLiteral("DBEdit1"));
        DBText text(QStringLiteral("DBText1"));
        DBText unbound(QStringLiteral("DBText2"));
        edit.setDataSource(&source);
        text.setDataSource(&source);
        unbound.setDataSource(&source);
        edit.setDataField(QStringLiteral("Ist_Wert_Jahr"));
        text.setDataField(QStringLiteral("jahr"));
        QCOMPARE(text.text(), QStringLiteral("2003"));
        QCOMPARE(unbound.text(), QString());

        QVERIFY(table.locate(QStringLiteral("jahr"), QStringLiteral("2005")));
        QCOMPARE(edit.text(), QStringLiteral("12"));
        QVERIFY(!edit.isReadOnly());

        // The first keystroke starts editing; the value stays pending.
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(table.state(), DataSet::State::Edit);
        QTest::keyClicks(&edit, QStringLiteral("5"));
        QCOMPARE(table.asText(QStringLiteral("ist_wert_jahr")), QStringLiteral("15"));
        QVERIFY(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toInt() == 12);
        table.post();
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toInt(), 15);

        // Switched to a query, the controls show its row and take no keystrokes.
        source.setDataSet(&query);
        edit.setDataField(QStringLiteral("ist_wert_q2"));
        text.setDataField(QStringLiteral("SOLL_WERT_Q2"));
        QCOMPARE(edit.text(), QStringLiteral("30"));
        QCOMPARE(text.text(), QStringLiteral("40"));
        QVERIFY(edit.isReadOnly());
        QTest::keyClicks(&edit, QStringLiteral("9"));
        QCOMPARE(edit.text(), QStringLiteral("30"));

        query.close();
        QCOMPARE(edit.text(), QString());
    }

    // A page that binds its cells again at each display, while their
    // dataset is reopened with its controls held back: a cell bound to the
    // field it already shows keeps its text until the new row is there;
    // one bound to another field shows that field.
    void rebindingACellDuringAReopenShowsTheNewRowOnce()
    {
        Query query(m_db->connection(), QStringLiteral("Query1"));
        const QString sql = QStringLiteral("select * from kz_liqui where jahr=\"2005\"");
        query.setSql(sql);
        query.open();
        DataSource source(QStringLiteral("DataSource1"), &query);
        DBText ist(QStringLiteral("DBText1"));
        DBText soll(QStringLiteral("DBText2"));
        ist.setDataSource(&source);
        soll.setDataSource(&source);
        ist.setDataField(QStringLiteral("ist_wert_q2"));
        soll.setDataField(QStringLiteral("soll_wert_q2"));
        QCOMPARE(ist.text(), QStringLiteral("30"));

        QStringList shown;
        auto watch = connect(ist.link(), &FieldLink::changed, this, [&] { shown << ist.link()->text(); });
        query.disableControls();
        query.close();
        ist.setDataField(QStringLiteral("ist_wert_q2"));
        soll.setDataField(QStringLiteral("ist_wert_q2"));
        QCOMPARE(ist.text(), QStringLiteral("30"));
        query.setSql(sql);
        query.open();
        query.enableControls();
        disconnect(watch);
        QCOMPARE(shown, QStringList{QStringLiteral("30")});
        QCOMPARE(soll.text(), QStringLiteral("30"));
    }

    void memoAndGridShowTheirRows()
    {
        m_db->sql(QStringLiteral("UPDATE \"maßnahmen\" SET \"Prozesse\"='Einkauf\nLager' WHERE \"Nr\"=2"));
        Query query(m_db->connection(), QStringLiteral("Query7"));
        query.setSql("select * from maßnahmen where ziel=\"" + Goal7 + "\" and jahr=\"2007\"");
        query.open();
        DataSource source(QStringLiteral("DataSource7"), &query);
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataSource(&source);
        grid.setColumns({QStringLiteral("Maßnahme"), QStringLiteral("Prozesse")});
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Prozesse"));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("Einkauf\nLager"));

        DBMemo memo(QStringLiteral("DBMemo1"));
        memo.setDataSource(&source);
        memo.setDataField(QStringLiteral("prozesse"));
        query.last();
        QCOMPARE(memo.toPlainText(), QStringLiteral("Einkauf\nLager"));
        QVERIFY(memo.isReadOnly());
    }

    // Moving past either end drops a pending edit; the edit field must show
    // the stored value again, not the dropped text.
    void droppedEditAtEitherEndShowsTheStoredValue()
    {
        for (bool atEnd : {true, false}) {
            Table table(m_db->connection(), QStringLiteral("Table1"));
            table.setTableName(QStringLiteral("kz_ges_renta.db"));
            table.open();
            DataSource source(QStringLiteral("DataSource1"), &table);
            DBEdit edit(QStringLiteral("DBEdit1"));
            edit.setDataSource(&source);
            edit.setDataField(QStringLiteral("Jahr"));
            atEnd ? table.last() : table.first();
            const QString stored = edit.text();
            QTest::keyClicks(&edit, QStringLiteral("99"));
            QCOMPARE(table.state(), DataSet::State::Edit);
            atEnd ? table.next() : table.prior();
            QCOMPARE(table.state(), DataSet::State::Browse);
            QCOMPARE(edit.text(), stored);
        }
    }

    // A read that fails while the grid shows its rows is reported once, and
    // the grid then shows no rows rather than empty ones; bound controls
    // show nothing either. Reading again shows the rows.
    void failedReadsAreReportedOnceAndShowNoRows()
    {
        for (const char *m : {"Audit", "Handbuch", "Kennzahlen"})
            m_db->sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"),
                      {QString::fromUtf8(m), Goal7, QStringLiteral("2007")});
        FailingQuery query(m_db->connection(), QStringLiteral("Query7"));
        query.setPageSize(2);
        query.setSql("select * from maßnahmen where ziel=\"" + Goal7 + "\" and jahr=\"2007\"");
        query.open();
        DataSource source(QStringLiteral("DataSource7"), &query);
        ReportedErrors reported(source);
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataSource(&source);
        grid.setColumns({QStringLiteral("Maßnahme")});
        DBText text(QStringLiteral("DBText1"));
        text.setDataSource(&source);
        text.setDataField(QStringLiteral("Maßnahme"));
        grid.resize(400, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.model()->rowCount(), 5);
        QCOMPARE(grid.model()->index(0, 0).data().toString(), QStringLiteral("Schulung"));
        QCOMPARE(text.text(), QStringLiteral("Schulung"));

        query.failing = true;
        for (int i = 0; i < 3; ++i)
            grid.model()->index(4, 0).data();
        grid.viewport()->repaint();
        QTest::qWait(50);
        QCOMPARE(reported.messages, QStringList{QStringLiteral("Could not read table maßnahmen: the disk is gone")});
        QCOMPARE(grid.model()->rowCount(), 0);
        QCOMPARE(text.text(), QString());
        grid.viewport()->repaint();
        QTest::qWait(50);
        QCOMPARE(reported.messages.size(), 1);

        query.failing = false;
        query.refresh();
        QCOMPARE(grid.model()->rowCount(), 5);
        QCOMPARE(grid.model()->index(4, 0).data().toString(), QStringLiteral("Kennzahlen"));
        QCOMPARE(text.text(), QStringLiteral("Schulung"));
    }

    void gridMovesTheRowByKeyboardAndMouse()
    {
        Query query(m_db->connection(), QStringLiteral("Query7"));
        query.setSql("select * from maßnahmen where ziel=\"" + Goal7 + "\" and jahr=\"2007\"");
        query.open();
        DataSource source(QStringLiteral("DataSource7"), &query);
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataSource(&source);
        grid.setColumns({QStringLiteral("Maßnahme")});
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.currentIndex().row(), 0);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(query.asText(QStringLiteral("Maßnahme")), QStringLiteral("Zirkel"));
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(query.asText(QStringLiteral("Maßnahme")), QStringLiteral("Schulung"));
        const QRect second = grid.visualRect(grid.model()->index(1, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(query.asText(QStringLiteral("Maßnahme")), QStringLiteral("Zirkel"));
        // And the other way: the dataset moves, the grid follows.
        query.first();
        QCOMPARE(grid.currentIndex().row(), 0);
    }
};

QTEST_MAIN(TestDbControls)
#include "tst_dbcontrols.moc"
