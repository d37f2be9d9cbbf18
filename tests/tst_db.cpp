// The database layer: statement dialect, datasets, errors, bound controls.
#include "fixture.h"

#include "model/alias.h"

#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"
#include "platform/db/errorclassifier.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every row of a query as "v1|v2|..." joined by ";".
QString rows(Query &q)
{
    QStringList lines;
    for (q.first(); !q.eof(); q.next()) {
        QStringList values;
        for (int i = 0; i < q.fieldNames().size(); ++i)
            values << q.currentText(i);
        lines << values.join(QLatin1Char('|'));
    }
    return lines.join(QLatin1Char(';'));
}

QString run(Connection &connection, const QString &statement)
{
    Query q(connection, QStringLiteral("Query1"));
    q.setSql(statement);
    q.open();
    return rows(q);
}

const QString Goal7 = QStringLiteral("Qualitätsbewusstsein der Mitarbeiter erhöhen");
const QString Goal1 = QStringLiteral("Steigerung der Gesamtrentabilität");

} // namespace

class TestDb : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;

    void addMeasure(const QString &massnahme, const QString &ziel, const QString &jahr)
    {
        m_db->sql(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Ziel\", \"Jahr\") VALUES (?,?,?)"),
                  {massnahme, ziel, jahr});
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_SERVER(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Jahr"), 12, 10);
        m_db->setPair(QStringLiteral("kz_liqui"), QStringLiteral("2005"), QStringLiteral("Q2"), 30, 40);
        addMeasure(QStringLiteral("Schulung"), Goal7, QStringLiteral("2007"));
        addMeasure(QStringLiteral("Zirkel"), Goal7, QStringLiteral("2007"));
        addMeasure(QStringLiteral("Preise"), Goal1, QStringLiteral("2007"));
    }
    void cleanup() { m_db.reset(); }

    void statements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        const QString all2005 = QStringLiteral("2005|||||||||||||12|10");
        QTest::newRow("S1") << "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"2005\"" << "12|10";
        QTest::newRow("S1 other year, empty values") << "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"2006\"" << "|";
        QTest::newRow("S1 missing year") << "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"1999\"" << "";
        QTest::newRow("S2 kz_liqui bare") << "select ist_wert_q2,soll_wert_q2 from kz_liqui where jahr=\"2005\"" << "30|40";
        QTest::newRow("S3 kz_liqui.db") << "select ist_wert_q2,soll_wert_q2 from kz_liqui.db where jahr=\"2005\"" << "30|40";
        QTest::newRow("S4") << "select * from maßnahmen where ziel=\"" + Goal7 + "\" and jahr=\"2007\""
                            << "1|Schulung||||||2007|" + Goal7 + ";2|Zirkel||||||2007|" + Goal7;
        QTest::newRow("S5") << "select * from maßnahmen where ziel=\"" + Goal7 + "\" and jahr = \"2007\""
                            << "1|Schulung||||||2007|" + Goal7 + ";2|Zirkel||||||2007|" + Goal7;
        QTest::newRow("S6") << "select * from kz_ges_renta.db where jahr=\"2005\"" << all2005;
        QTest::newRow("S7") << "select * from kz_ges_renta where jahr=\"2005\"" << all2005;
        QTest::newRow("measures list at creation") << "select * from maßnahmen where ziel =\"" + Goal1 + "\" and Jahr =\"2007\""
                                                   << "3|Preise||||||2007|" + Goal1;
        QTest::newRow("upper case names") << "SELECT IST_WERT_JAHR,SOLL_WERT_JAHR FROM KZ_GES_RENTA.DB WHERE JAHR=\"2005\"" << "12|10";
        QTest::newRow("upper case extension and ß") << "Select Nr From MAßNAHMEN.DB Where ZIEL=\"" + Goal1 + "\"" << "3";
        QTest::newRow("goal 7 with ß is another text") << "select nr from maßnahmen where ziel=\"Qualitätsbewußtsein der Mitarbeiter erhöhen\"" << "";
        QTest::newRow("comparison is exact: case") << "select nr from maßnahmen where ziel=\"" + Goal1.toLower() + "\"" << "";
        QTest::newRow("comparison is exact: blank") << "select nr from maßnahmen where jahr=\"2007 \"" << "";
        QTest::newRow("empty constant: empty fields, stored or not") << "select nr from maßnahmen where prozesse=\"\"" << "1;2;3";
        QTest::newRow("integer column: exact digits") << "select nr from maßnahmen where nr=\"2\"" << "2";
        QTest::newRow("integer column: other digits match nothing") << "select nr from maßnahmen where nr=\"02\"" << "";
        QTest::newRow("integer column: text matches nothing") << "select nr from maßnahmen where nr=\"zwei\"" << "";
        QTest::newRow("no blanks at all") << "select ist_wert_q2,soll_wert_q2 from kz_liqui where jahr=\"2005\"and ist_wert_q2=\"30\"" << "30|40";
    }
    void statements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(run(m_db->connection(), statement), expected);
    }

    void columnListsWithoutConditionReadEveryYear()
    {
        Query q(m_db->connection(), QStringLiteral("Query2"));
        q.setSql(QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_ges_renta"));
        q.open();
        QCOMPARE(q.recordCount(), 2014 - 2003 + 1);
        QCOMPARE(q.asInteger(QStringLiteral("ist_wert_jahr")), 0);   // first row: 2003, empty
    }

    void missingYearReadsZero()
    {
        Query q(m_db->connection(), QStringLiteral("Query2"));
        q.setSql(QStringLiteral("select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"1999\""));
        q.open();
        QVERIFY(q.isEmpty());
        QCOMPARE(q.asInteger(QStringLiteral("ist_wert_jahr")), 0);
        QCOMPARE(q.asInteger(QStringLiteral("SOLL_WERT_JAHR")), 0);
        QCOMPARE(q.asText(QStringLiteral("soll_wert_jahr")), QString());
    }

    void s4AndS5AgreeOnTheDemoData()
    {
        m_db.reset();
        m_db = std::make_unique<TestDatabase>(true);
        int found = 0;
        for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
            for (const QString &jahr : ScorecardKatalog::years()) {
                const QString goal = ScorecardKatalog::zielText(ziel, 1);
                const QString s4 = run(m_db->connection(), "select * from maßnahmen where ziel=\"" + goal + "\" and jahr=\"" + jahr + "\"");
                const QString s5 = run(m_db->connection(), "select * from maßnahmen where ziel=\"" + goal + "\" and jahr = \"" + jahr + "\"");
                QCOMPARE(s5, s4);
                found += !s4.isEmpty();
            }
        }
        QVERIFY(found >= 3);
    }

    // A typed year is spliced into the statement as it is; it must never
    // read, change or delete other rows.
    void countByCountsEveryTextInOneStatement_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("counts");
        QTest::newRow("by goal in a year") << "select ziel from maßnahmen where jahr=\"2007\""
                                           << Goal7 + "=2;" + Goal1 + "=1";
        QTest::newRow("a year without measures") << "select ziel from maßnahmen where jahr=\"2008\"" << "";
        QTest::newRow("a typed quote matches nothing") << "select ziel from maßnahmen where jahr=\"2007' or '1'='1\""
                                                       << "";
        QTest::newRow("empty goal field") << "select ziel from maßnahmen where jahr=\"2009\"" << "=1";
    }
    void countByCountsEveryTextInOneStatement()
    {
        QFETCH(QString, statement);
        QFETCH(QString, counts);
        addMeasure(QStringLiteral("ohne Ziel"), QString(), QStringLiteral("2009"));
        Database &db = m_db->database();
        const QHash<QString, qint64> found = db.countBy(db.query(statement), 0);
        QStringList lines;
        for (auto it = found.begin(); it != found.end(); ++it)
            lines << it.key() + "=" + QString::number(it.value());
        lines.sort();
        QCOMPARE(lines.join(QLatin1Char(';')), counts);
    }

    void typedYearsAreNeverRunAsSql_data()
    {
        QTest::addColumn<QString>("year");
        QTest::newRow("or clause") << "2005\" or \"1\"=\"1";
        QTest::newRow("second condition") << "2005\" and jahr=\"2006";
        QTest::newRow("semicolon") << "2005; delete from kz_ges_renta";
        QTest::newRow("closing quote and delete") << "\"; delete from kz_ges_renta; --";
        QTest::newRow("single quote") << "2005' or '1'='1";
        QTest::newRow("lone double quote") << "20\"05";
        QTest::newRow("empty") << "";
    }
    void typedYearsAreNeverRunAsSql()
    {
        QFETCH(QString, year);
        const QString statement = "select ist_wert_jahr,soll_wert_jahr from kz_ges_renta.db where jahr=\"" + year + "\"";
        QString result;
        const QString error = errorOf([&] { result = run(m_db->connection(), statement); });
        QVERIFY2(result.isEmpty(), qPrintable(result));
        if (!error.isEmpty())
            QVERIFY2(error.contains(QLatin1String("Invalid statement")), qPrintable(error));
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM kz_ges_renta")).toInt(), 12);
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Jahr\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toInt(), 12);
    }

    void errorsSayWhatFailedAndOnWhat_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing table") << "select * from kz_unbekannt.db where jahr=\"2005\"" << "Table does not exist: kz_unbekannt";
        QTest::newRow("unknown column") << "select ist_wert_q9 from kz_liqui" << "Column does not exist: ist_wert_q9 in table kz_liqui";
        QTest::newRow("unknown condition column") << "select * from kz_liqui where jahrr=\"2005\"" << "Column does not exist: jahrr";
        QTest::newRow("misspelt keyword") << "selct * from kz_liqui" << "Invalid statement: expected SELECT";
        QTest::newRow("unquoted constant") << "select * from kz_liqui where jahr=2005" << "expected a value in double quotes";
        QTest::newRow("open quote") << "select * from kz_liqui where jahr=\"2005" << "no closing double quote";
        QTest::newRow("other extension") << "select * from kz_liqui.dbf" << "unknown table extension";
        QTest::newRow("or is not part of the dialect") << "select * from kz_liqui where jahr=\"1\" or jahr=\"2\"" << "unexpected \"or\"";
    }
    void errorsSayWhatFailedAndOnWhat()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        const QString error = errorOf([&] { run(m_db->connection(), statement); });
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    void missingFileNamesThePathAndTheCommand()
    {
        m_db.reset();
        const QString missing = QDir::temp().filePath(QStringLiteral("kein_bsc_%1.sqlite").arg(QCoreApplication::applicationPid()));
        qputenv("PROJEKT_BSC_DATABASE", missing.toUtf8());
        Connection connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
        const QString error = errorOf([&] { run(connection, QStringLiteral("select * from kz_liqui")); });
        qunsetenv("PROJEKT_BSC_DATABASE");
        QVERIFY2(error.contains(missing) && error.contains(QLatin1String("bsc-db init")), qPrintable(error));
        QVERIFY(!QFile::exists(missing));
    }

    void fileThatIsNoDatabase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("text.sqlite"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        m_db->connection().close();
        const QString error = errorOf([&] { m_db->connection().open(path); });
        QVERIFY2(error.contains(QLatin1String("not a database")) && error.contains(path), qPrintable(error));
        QVERIFY(!m_db->connection().isOpen());
    }

    void locateIsExactAndKeepsTheRowWhenNothingMatches()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_ges_renta.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("jahr"), QStringLiteral("2005")));
        QCOMPARE(t.asInteger(QStringLiteral("ist_wert_jahr")), 12);
        QVERIFY(!t.locate(QStringLiteral("jahr"), QStringLiteral("200")));
        QVERIFY(!t.locate(QStringLiteral("jahr"), QStringLiteral("2005 ")));
        QCOMPARE(t.asText(QStringLiteral("Jahr")), QStringLiteral("2005"));
    }

    void editPostIsStoredAtOnce()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_kap_quote.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("Jahr"), QStringLiteral("2008")));
        t.edit();
        t.setText(QStringLiteral("Ist_Wert_Q1"), QStringLiteral("42"));
        t.setText(QStringLiteral("soll_wert_q1"), QStringLiteral(" -7 "));
        QCOMPARE(t.state(), DataSet::State::Edit);
        t.post();
        QCOMPARE(t.state(), DataSet::State::Browse);
        QCOMPARE(t.asText(QStringLiteral("Jahr")), QStringLiteral("2008"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Q1\" || '/' || \"Soll_Wert_Q1\" FROM kz_kap_quote WHERE \"Jahr\"='2008'")).toString(),
                 QStringLiteral("42/-7"));
    }

    void cancelAndRefreshShowWhatIsStored()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("KZ_GES_RENTA.DB"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("jahr"), QStringLiteral("2005")));
        t.edit();
        t.setText(QStringLiteral("ist_wert_jahr"), QStringLiteral("99"));
        QCOMPARE(t.asInteger(QStringLiteral("ist_wert_jahr")), 99);
        t.cancel();
        QCOMPARE(t.asInteger(QStringLiteral("ist_wert_jahr")), 12);
        // A value posted by another program shows after a refresh, on the same row.
        m_db->setPair(QStringLiteral("kz_ges_renta"), QStringLiteral("2005"), QStringLiteral("Jahr"), 13, 10);
        QCOMPARE(t.asInteger(QStringLiteral("ist_wert_jahr")), 12);
        t.refresh();
        QCOMPARE(t.asText(QStringLiteral("jahr")), QStringLiteral("2005"));
        QCOMPARE(t.asInteger(QStringLiteral("ist_wert_jahr")), 13);
    }

    void postOutsideEditingIsRefused()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_ges_renta.db"));
        t.open();
        const QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(QLatin1String("not in edit or insert mode")) && error.contains(QLatin1String("kz_ges_renta")),
                 qPrintable(error));
    }

    void wrongTypeIsRefusedAndNothingIsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters") << "abc" << "\"abc\" is not a valid integer value for Ist_Wert_Jahr";
        QTest::newRow("decimal") << "1.5" << "not a valid integer value";
        QTest::newRow("too large") << "2147483648" << "outside the range of Ist_Wert_Jahr";
        QTest::newRow("actual value whose hundredfold leaves 32 bits") << "21474837" << "outside what the table allows";
    }
    void wrongTypeIsRefusedAndNothingIsWritten()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_ges_renta.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("jahr"), QStringLiteral("2005")));
        t.edit();
        t.setText(QStringLiteral("soll_wert_jahr"), QStringLiteral("11"));
        t.setText(QStringLiteral("ist_wert_jahr"), value);
        const QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(expected), qPrintable(error));
        QCOMPARE(t.state(), DataSet::State::Edit);   // the typed values stay for correction
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Soll_Wert_Jahr\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toInt(), 10);
        // The engine itself refuses a text in an integer column as well.
        QVERIFY(!QSqlQuery(QSqlDatabase::database(QStringLiteral("projekt_bsc")))
                     .exec(QStringLiteral("UPDATE kz_ges_renta SET \"Ist_Wert_Jahr\"='abc'")));
    }

    void appendedMeasuresGetTheirOwnNumbers()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("maßnahmen.DB"));
        t.open();
        QList<int> numbers;
        for (const char *text : {"Erste\nZeile zwei", "Zweite"}) {
            t.append();
            QCOMPARE(t.state(), DataSet::State::Insert);
            t.setText(QStringLiteral("Ziel"), Goal7);
            t.setText(QStringLiteral("Jahr"), QStringLiteral("2009"));
            t.setText(QStringLiteral("Maßnahme"), QString::fromUtf8(text));
            t.setText(QStringLiteral("Erfüllungsgrad_in_%"), QStringLiteral("50 %"));
            t.post();
            QCOMPARE(t.asText(QStringLiteral("Maßnahme")), QString::fromUtf8(text));
            numbers << t.asInteger(QStringLiteral("nr"));
        }
        QVERIFY(numbers[0] > 0);
        QVERIFY(numbers[0] != numbers[1]);
        QCOMPARE(run(m_db->connection(), "select nr from maßnahmen where ziel=\"" + Goal7 + "\" and jahr=\"2009\""),
                 QStringLiteral("%1;%2").arg(numbers[0]).arg(numbers[1]));

        // Delete the first again, found by its number.
        QVERIFY(t.locate(QStringLiteral("nr"), QString::number(numbers[0])));
        t.remove();
        QCOMPARE(run(m_db->connection(), "select nr from maßnahmen where jahr=\"2009\""), QString::number(numbers[1]));
    }

    // A text comes back exactly as it was saved, on either engine: a leading
    // U+FEFF and the noncharacters U+FFFE and U+FFFF included; a change and a
    // delete of such a row find it unchanged.
    void textsComeBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("leading byte-order mark") << QString(QChar(0xFEFF)) + QStringLiteral("Schulung");
        QTest::newRow("noncharacters") << QStringLiteral("a") + QChar(0xFFFE) + QStringLiteral("b") + QChar(0xFFFF);
        QTest::newRow("only the mark") << QString(QChar(0xFEFF));
        QTest::newRow("mark inside") << QStringLiteral("a") + QChar(0xFEFF) + QStringLiteral("b");
    }
    void textsComeBackExactly()
    {
        QFETCH(QString, text);
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("maßnahmen.DB"));
        t.open();
        t.append();
        t.setText(QStringLiteral("Ziel"), Goal7);
        t.setText(QStringLiteral("Jahr"), QStringLiteral("2009"));
        t.setText(QStringLiteral("Maßnahme"), text);
        t.post();
        const QString nr = t.asText(QStringLiteral("Nr"));
        QCOMPARE(t.asText(QStringLiteral("Maßnahme")), text);
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setSql(QStringLiteral("select Maßnahme from maßnahmen where nr=\"%1\"").arg(nr));
        q.open();
        QCOMPARE(q.asText(QStringLiteral("Maßnahme")), text);
        // Found by its text, changed and deleted without a false conflict.
        QVERIFY(t.locate(QStringLiteral("Maßnahme"), text));
        t.edit();
        t.setText(QStringLiteral("Prozesse"), text);
        t.post();
        QCOMPARE(t.asText(QStringLiteral("Prozesse")), text);
        t.remove();
        QCOMPARE(run(m_db->connection(), QStringLiteral("select nr from maßnahmen where nr=\"%1\"").arg(nr)), QString());
    }

    // A NUL character is refused with a message of its own, not with the
    // driver's statement.
    void textWithNulIsRefused()
    {
        const int before = m_db->value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt();
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("maßnahmen.DB"));
        t.open();
        t.append();
        t.setText(QStringLiteral("Ziel"), Goal7);
        t.setText(QStringLiteral("Maßnahme"), QStringLiteral("vor") + QChar(0) + QStringLiteral("nach"));
        const QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(QLatin1String("NUL character")), qPrintable(error));
        QVERIFY2(!error.contains(QLatin1String("EXECUTE")) && !error.contains(QLatin1String("INSERT")), qPrintable(error));
        QCOMPARE(t.state(), DataSet::State::Insert);
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), before);
    }

    // A save whose write went through but whose re-read failed shows what
    // was written and says so; nothing is pending any more.
    void savedRowThatCannotBeReadAgain()
    {
        struct FlakyTable : Table {
            using Table::Table;
            bool failNext = false;
            QVector<Database::Row> fetch(Database::Fetch kind, const QVariant &key, int limit, int offset) const override
            {
                if (failNext)
                    throw EngineError(QStringLiteral("read failed"));
                return Table::fetch(kind, key, limit, offset);
            }
        } t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("maßnahmen.DB"));
        t.open();
        t.append();
        t.setText(QStringLiteral("Maßnahme"), QStringLiteral("Neu"));
        t.failNext = true;
        const QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(QLatin1String("saved, but could not be read again")), qPrintable(error));
        QCOMPARE(t.state(), DataSet::State::Browse);
        QCOMPARE(t.asText(QStringLiteral("Maßnahme")), QStringLiteral("Neu"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\" WHERE \"Maßnahme\"='Neu'")).toInt(), 1);
        t.failNext = false;
        t.refresh();
        QCOMPARE(t.asText(QStringLiteral("Maßnahme")), QStringLiteral("Neu"));
        QVERIFY(t.asInteger(QStringLiteral("Nr")) > 0);
    }

    void queriesAreReadOnly()
    {
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setSql(QStringLiteral("select * from kz_liqui"));
        q.open();
        QVERIFY(errorOf([&] { q.edit(); }).contains(QLatin1String("read-only")));
        QVERIFY(errorOf([&] { q.append(); }).contains(QLatin1String("read-only")));
    }

    void navigationAndEnd()
    {
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setSql("select nr from maßnahmen where ziel=\"" + Goal7 + "\"");
        q.open();
        int count = 0;
        for (q.first(); !q.eof(); q.next())
            ++count;
        QCOMPARE(count, 2);
        QCOMPARE(q.asInteger(QStringLiteral("nr")), 2);   // the last row stays current
        q.prior();
        QCOMPARE(q.asInteger(QStringLiteral("nr")), 1);
        q.prior();
        QVERIFY(q.bof());
        QCOMPARE(q.asInteger(QStringLiteral("nr")), 1);
        q.close();
        QVERIFY(errorOf([&] { q.next(); }).contains(QLatin1String("closed dataset")));
    }

    // Paging: with pages of three rows every way of moving agrees with the
    // order of the table, and nothing is read twice or skipped.
    void pagingAcrossPages()
    {
        for (int i = 0; i < 8; ++i)
            addMeasure(QStringLiteral("M%1").arg(i), Goal1, QStringLiteral("2010"));
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setPageSize(3);
        q.setSql("select Maßnahme from maßnahmen where ziel=\"" + Goal1 + "\" and jahr=\"2010\"");
        q.open();
        QCOMPARE(q.recordCount(), 8);
        QStringList forward;
        for (q.first(); !q.eof(); q.next())
            forward << q.asText(QStringLiteral("Maßnahme"));
        QCOMPARE(forward, (QStringList{"M0", "M1", "M2", "M3", "M4", "M5", "M6", "M7"}));
        QStringList backward;
        for (q.last(); !q.bof(); q.prior())
            backward << q.asText(QStringLiteral("Maßnahme"));
        QCOMPARE(backward, (QStringList{"M7", "M6", "M5", "M4", "M3", "M2", "M1", "M0"}));
        QCOMPARE(q.currentIndex(), 0);

        q.moveTo(5);
        QCOMPARE(q.asText(QStringLiteral("Maßnahme")), QStringLiteral("M5"));
        q.next();
        QCOMPARE(q.asText(QStringLiteral("Maßnahme")), QStringLiteral("M6"));
        QCOMPARE(q.currentIndex(), 6);
        QCOMPARE(q.textAt(1, 0), QStringLiteral("M1"));
        QCOMPARE(q.textAt(7, 0), QStringLiteral("M7"));
        QCOMPARE(q.textAt(8, 0), QString());
        QVERIFY(q.locate(QStringLiteral("Maßnahme"), QStringLiteral("M4")));
        QCOMPARE(q.currentIndex(), 4);
        q.prior();
        q.prior();
        QCOMPARE(q.asText(QStringLiteral("Maßnahme")), QStringLiteral("M2"));
    }

    // Every move tells the controls once, after position and flags are set.
    void signalsFollowState()
    {
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setSql("select nr from maßnahmen where ziel=\"" + Goal7 + "\"");
        q.open();
        QList<QPair<bool, bool>> seen;
        QList<int> numbers;
        connect(&q, &DataSet::changed, this, [&] {
            seen << qMakePair(q.bof(), q.eof());
            numbers << q.asInteger(QStringLiteral("nr"));
        });
        q.last();
        q.first();
        q.moveTo(1);
        QVERIFY(q.locate(QStringLiteral("nr"), QStringLiteral("1")));
        q.next();
        q.next();
        QCOMPARE(seen, (QList<QPair<bool, bool>>{{false, true}, {true, false}, {false, false}, {false, false},
                                                  {false, false}, {false, true}}));
        QCOMPARE(numbers, (QList<int>{2, 1, 2, 1, 2, 2}));
    }

    // A damaged file must not pass for a shorter result.
    void readErrorMidResultIsAnError()
    {
        SQLITE_ONLY();
        for (int i = 0; i < 400; ++i)
            addMeasure(QString(300, QLatin1Char('a' + i % 26)), Goal1, QStringLiteral("2011"));
        m_db->connection().close();
        {
            QFile file(m_db->path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qint64 size = file.size();
            QVERIFY(size > 100 * 1024);
            file.seek(size - 40 * 1024);   // pages of the measures, well after the schema
            file.write(QByteArray(16 * 1024, '\xA5'));
        }
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setPageSize(500);
        q.setSql(QStringLiteral("select * from maßnahmen"));
        int read = 0;
        const QString error = errorOf([&] {
            q.open();
            for (q.first(); !q.eof(); q.next())
                ++read;
        });
        QVERIFY2(!error.isEmpty(), qPrintable(QString::number(read)));
        QVERIFY2(error.contains(QLatin1String("damaged")) || error.contains(QLatin1String("malformed")), qPrintable(error));
    }

    // Two windows on the same row: the second save must not overwrite the
    // first one's values unseen; changes to other columns both go through.
    void noLostUpdate()
    {
        Table a(m_db->connection(), QStringLiteral("TableA"));
        Table b(m_db->connection(), QStringLiteral("TableB"));
        for (Table *t : {&a, &b}) {
            t->setTableName(QStringLiteral("kz_ges_renta.db"));
            t->open();
            QVERIFY(t->locate(QStringLiteral("jahr"), QStringLiteral("2005")));
            t->edit();
        }
        a.setText(QStringLiteral("Ist_Wert_Q1"), QStringLiteral("5"));
        b.setText(QStringLiteral("Ist_Wert_Q1"), QStringLiteral("6"));
        b.setText(QStringLiteral("Soll_Wert_Q2"), QStringLiteral("8"));
        a.post();
        const QString error = errorOf([&] { b.post(); });
        QVERIFY2(error.contains(QLatin1String("changed this row since it was shown")), qPrintable(error));
        QCOMPARE(b.state(), DataSet::State::Browse);
        QCOMPARE(b.asInteger(QStringLiteral("Ist_Wert_Q1")), 5);   // the fields show what is stored
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Q1\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toInt(), 5);
        QVERIFY(m_db->value(QStringLiteral("SELECT \"Soll_Wert_Q2\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).isNull());

        // Another column than the one changed meanwhile: nothing is lost.
        b.edit();
        b.setText(QStringLiteral("Soll_Wert_Q2"), QStringLiteral("8"));
        a.edit();
        a.setText(QStringLiteral("Ist_Wert_Q3"), QStringLiteral("3"));
        a.post();
        b.post();
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Q3\" || '/' || \"Soll_Wert_Q2\" FROM kz_ges_renta WHERE \"Jahr\"='2005'")).toString(),
                 QStringLiteral("3/8"));
    }

    void deleteOfARowChangedOrGoneMeanwhile()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("maßnahmen.DB"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("nr"), QStringLiteral("2")));
        m_db->sql(QStringLiteral("UPDATE \"maßnahmen\" SET \"Verantwortlicher\"='Hr. Kühn' WHERE \"Nr\"=2"));
        QString error = errorOf([&] { t.remove(); });
        QVERIFY2(error.contains(QLatin1String("nothing was deleted")), qPrintable(error));
        QCOMPARE(t.asText(QStringLiteral("Verantwortlicher")), QStringLiteral("Hr. Kühn"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 3);

        m_db->sql(QStringLiteral("DELETE FROM \"maßnahmen\" WHERE \"Nr\"=2"));
        error = errorOf([&] { t.remove(); });
        QVERIFY2(error.contains(QLatin1String("deleted this row meanwhile")), qPrintable(error));
        QCOMPARE(t.asInteger(QStringLiteral("nr")), 3);   // the next row is shown
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 2);
        t.remove();
        QCOMPARE(t.asInteger(QStringLiteral("nr")), 1);   // the last one went: the one before
    }

    void lockedDatabaseIsReportedAndNothingIsLost()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_liqui.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("jahr"), QStringLiteral("2005")));
        t.edit();
        t.setText(QStringLiteral("ist_wert_q1"), QStringLiteral("77"));

        OtherUser other(*m_db);
        other.holdRow(QStringLiteral("kz_liqui"), QStringLiteral("2005"));

        QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(QLatin1String("locked by another")), qPrintable(error));
        QCOMPARE(t.state(), DataSet::State::Edit);
        if (!TestDatabase::postgres()) {   // a server lets others read meanwhile
            error = errorOf([&] { run(m_db->connection(), QStringLiteral("select * from kz_liqui")); });
            QVERIFY2(error.contains(QLatin1String("locked by another")), qPrintable(error));
        }
        other.release();

        t.post();   // the same pending change goes through once the lock is gone
        QCOMPARE(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Q1\" FROM kz_liqui WHERE \"Jahr\"='2005'")).toInt(), 77);
    }

    // Every save is stored durably before the call returns, and a lock of
    // another user is waited for briefly, not for long.
    void everyPostIsOnDiskAtOnceAndLocksAreWaitedForBriefly()
    {
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_liqui.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("Jahr"), QStringLiteral("2005")));
        t.edit();
        t.setText(QStringLiteral("ist_wert_q1"), QStringLiteral("4711"));
        t.post();
        const QString read = QStringLiteral("SELECT \"Ist_Wert_Q1\" FROM kz_liqui WHERE \"Jahr\"='2005'");
        // Committed when the call returns: another connection reads it at
        // once, nothing waits in an open transaction of this one.
        QCOMPARE(m_db->value(read).toInt(), 4711);

        Database &db = m_db->database();
        QSqlQuery setting(db.connection());
        if (TestDatabase::postgres()) {
            // The commit returns only once the server has its log on disk.
            QVERIFY(setting.exec(QStringLiteral("SHOW synchronous_commit")) && setting.next());
            QCOMPARE(setting.value(0).toString(), QStringLiteral("on"));
            QVERIFY(setting.exec(QStringLiteral("SHOW lock_timeout")) && setting.next());
            QCOMPARE(setting.value(0).toString(), QStringLiteral("800ms"));
            return;
        }
        // A crash now leaves the database file and nothing else that counts:
        // no journal or log to roll back or replay, and the file alone, copied
        // as it is and opened afresh, holds the save.
        for (const char *side : {"-journal", "-wal"}) {
            const QFileInfo file(m_db->path() + QLatin1String(side));
            QVERIFY2(!file.exists() || file.size() == 0, side);
        }
        QTemporaryDir crash;
        const QString left = crash.filePath(QStringLiteral("left.sqlite"));
        QVERIFY(QFile::copy(m_db->path(), left));
        {
            QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crash-copy"));
            copy.setDatabaseName(left);
            copy.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            QVERIFY(copy.open());
            QSqlQuery q(copy);
            QVERIFY(q.exec(read) && q.next());
            QCOMPARE(q.value(0).toInt(), 4711);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("crash-copy"));
        // and the commit returns only once the file is on the disk, not in
        // the system's write cache.
        QVERIFY(setting.exec(QStringLiteral("PRAGMA synchronous")) && setting.next());
        QCOMPARE(setting.value(0).toInt(), 2);   // FULL
        QVERIFY(db.connection().connectOptions().contains(QLatin1String("QSQLITE_BUSY_TIMEOUT=250")));
    }

    void idleDatasetsHoldNoLock()
    {
        Query q(m_db->connection(), QStringLiteral("Query1"));
        q.setSql(QStringLiteral("select * from kz_liqui"));
        q.open();
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_liqui.db"));
        t.open();
        QVERIFY(t.locate(QStringLiteral("Jahr"), QStringLiteral("2005")));
        // Another program can take the strongest lock while both are open.
        OtherUser other(*m_db);
        QVERIFY(other.canLockEverything(QStringLiteral("kz_liqui")));
    }

    // The kind of a failure, from each engine's codes and texts, also for
    // the failures a test cannot bring about on a live connection.
    void failuresAreClassifiedAlikeOnBothEngines_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        using K = EngineError::Kind;
        QTest::newRow("file busy") << false << "5" << "database is locked" << true << int(K::Locked) << "locked by another user";
        QTest::newRow("file busy, extended") << false << "517" << "" << true << int(K::Locked) << "locked";
        QTest::newRow("file read-only") << false << "8" << "" << true << int(K::ReadOnly) << "read-only";
        QTest::newRow("file wrong type") << false << "3091" << "" << true << int(K::WrongType) << "does not suit the type";
        QTest::newRow("file check") << false << "275" << "CHECK constraint failed" << true << int(K::Other)
                                    << "outside what the table allows";
        QTest::newRow("file no table") << false << "1" << "no such table: x" << true << int(K::MissingTable) << "no such table";
        QTest::newRow("file no column") << false << "1" << "no such column: y" << true << int(K::MissingColumn) << "no such column";
        QTest::newRow("file not a database") << false << "26" << "" << true << int(K::Damaged) << "not a database";
        QTest::newRow("file full") << false << "13" << "" << true << int(K::DiskFull) << "disk is full";
        QTest::newRow("server lock timeout") << true << "55P03" << "" << true << int(K::Locked) << "locked";
        QTest::newRow("server serialization") << true << "40001" << "" << true << int(K::Locked) << "locked";
        QTest::newRow("server read-only") << true << "25006" << "" << true << int(K::ReadOnly) << "read-only";
        QTest::newRow("server refused") << true << "42501" << "" << true << int(K::Permission) << "Permission refused";
        QTest::newRow("server gone, state") << true << "57P01" << "" << true << int(K::LostConnection) << "was lost";
        QTest::newRow("server gone, words") << true << "" << "server closed the connection unexpectedly" << true
                                           << int(K::LostConnection) << "was lost";
        QTest::newRow("server gone, closed") << true << "" << "" << false << int(K::LostConnection) << "was lost";
        QTest::newRow("server unique") << true << "23505" << "duplicate key" << true << int(K::Other)
                                      << "outside what the table allows";
        QTest::newRow("server too large") << true << "54000" << "" << true << int(K::Other) << "larger than the database allows";
    }
    void failuresAreClassifiedAlikeOnBothEngines()
    {
        QFETCH(bool, server);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(bool, connected);
        QFETCH(int, kind);
        QFETCH(QString, message);
        const ErrorClassifier errors(server ? DbEngine::PostgreSQL : DbEngine::SQLite, QStringLiteral("the database"));
        const QSqlError error(QString(), text, QSqlError::StatementError, code);
        QCOMPARE(int(errors.classify(error, connected)), kind);
        const QString described = errors.describe(error, QStringLiteral("read table x"), false, connected);
        QVERIFY2(described.contains(message), qPrintable(described));
    }

    // A result let go unread or half-read is finished with its last copy.
    void aResultLetGoUnfinishedHoldsNoLock()
    {
        {
            Database::Result result = m_db->database().run(QStringLiteral("SELECT \"Jahr\" FROM kz_liqui WHERE \"Jahr\">?"),
                                                            {QStringLiteral("2003")}, QStringLiteral("read"));
            QVERIFY(result.next());
        }
        OtherUser other(*m_db);
        QVERIFY(other.canLockEverything(QStringLiteral("kz_liqui")));
    }

    // A result held past the end of its connection reads nothing and says
    // so; it never reaches into a statement that is gone.
    void aResultOutlivesItsConnection()
    {
        std::unique_ptr<Database> db = Database::connect(m_db->path(), true, QStringLiteral("tst-db-second"));
        Database::Result result = db->run(QStringLiteral("SELECT \"Jahr\" FROM kz_liqui WHERE \"Jahr\">? ORDER BY \"Jahr\""),
                                          {QStringLiteral("2003")}, QStringLiteral("read"));
        QVERIFY(result.next());
        Database::Result copy = result;
        db.reset();
        QVERIFY(!result.next());
        QVERIFY(!copy.isActive());
        QVERIFY(!result.value(0).isValid());
        QCOMPARE(result.lastError().type(), QSqlError::ConnectionError);
        copy.finish();
    }

    void readOnlyDatabaseRefusesWrites()
    {
        m_db->connection().open(m_db->path(), true);
        Table t(m_db->connection(), QStringLiteral("Table1"));
        t.setTableName(QStringLiteral("kz_liqui.db"));
        t.open();
        t.edit();
        t.setText(QStringLiteral("ist_wert_q1"), QStringLiteral("5"));
        const QString error = errorOf([&] { t.post(); });
        QVERIFY2(error.contains(QLatin1String("read-only")), qPrintable(error));
        QCOMPARE(t.state(), DataSet::State::Edit);
        QVERIFY(m_db->value(QStringLiteral("SELECT \"Ist_Wert_Q1\" FROM kz_liqui WHERE \"Jahr\"='2003'")).isNull());
    }

    // A statement that is being read stays whole while its reader runs
    // others, however many: a full cache of statements drops none in use.
    // A server connection reads one result at a time: there the reader is
    // told, and never given a shorter result as the whole.
    void aStatementBeingReadOutlivesAFullCache()
    {
        Database &db = m_db->database();
        QStringList years;
        const QString error = errorOf([&] {
            db.scan(db.wholeTable(QStringLiteral("kz_liqui")), [&](const QVector<QVariant> &row) {
                if (years.isEmpty())
                    for (int i = 0; i < 600; ++i)
                        db.run(QStringLiteral("SELECT %1").arg(i), {}, QStringLiteral("fill the cache")).finish();
                years << row.value(0).toString();
                return true;
            });
        });
        if (TestDatabase::postgres()) {
            QVERIFY2(error.contains(QLatin1String("kz_liqui")), qPrintable(error));
            return;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(years.size(), m_db->value(QStringLiteral("SELECT count(*) FROM kz_liqui")).toInt());
        QCOMPARE(years.first(), QStringLiteral("2003"));
        QCOMPARE(years.last(), m_db->value(QStringLiteral("SELECT max(\"Jahr\") FROM kz_liqui")).toString());
    }
};

QTEST_MAIN(TestDb)
#include "tst_db.moc"
