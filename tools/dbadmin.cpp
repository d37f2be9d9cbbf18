#include "tools/dbadmin.h"

#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/engineerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cmath>
#include <limits>

namespace {

const char *const AdminConnection = "bsc-db-admin";

// Typical target per key figure in its own unit, used for the sample data.
// Goal order; goal 11 as agriculture, then the mining variant.
struct Beispiel {
    const char *tabelle;
    int soll;
    bool niedrigerBesser;
};
constexpr Beispiel Beispiele[] = {
    {"kz_ges_renta", 12, false},      {"kz_kap_quote", 40, false},
    {"kz_liqui", 30, false},          {"kz_kundentreue", 70, false},
    {"kz_marktanteil", 15, false},    {"kz_beschwerden", 80, false},
    {"kz_anz_verbesserung", 8, false}, {"kz_output_input", 150, false},
    {"kz_zu_auf_daten", 85, false},   {"kz_rechlegung", 14, true},
    {"kz_neuprod", 20, false},        {"kz_auf_abwicklung", 10, true},
    {"kz_reklamation", 5, true},
};

struct BeispielMassnahme {
    int ziel;
    const char *jahr;
    const char *massnahme;
    const char *prozesse;
    const char *ab;
    const char *bis;
    const char *verantwortlich;
    const char *grad;
};
const BeispielMassnahme BeispielMassnahmen[] = {
    {1, "2005", "Kostenstellenrechnung einführen\nMonatliche Abweichungsanalyse",
     "Controlling\nRechnungswesen", "01.02.2005", "31.12.2005", "Fr. Albers", "60"},
    {1, "2005", "Preise der Standardleistungen überprüfen", "Vertrieb", "01.04.2005", "30.09.2005",
     "Hr. Brandt", "100"},
    {2, "2005", "Gewinne thesaurieren statt ausschütten", "Geschäftsführung", "01.01.2005",
     "31.12.2005", "Hr. Dr. Kessler", "50"},
    {3, "2006", "Forderungsmanagement straffen: Mahnlauf wöchentlich",
     "Debitorenbuchhaltung", "01.03.2006", "31.12.2006", "Fr. Albers", "75"},
    {4, "2005", "Kundenbefragung nach jedem Auftrag", "Vertrieb\nKundendienst", "01.01.2005",
     "31.12.2005", "Hr. Weber", "40"},
    {7, "2007", "Prämie für umgesetzte Verbesserungsvorschläge", "Personalwesen", "01.01.2007",
     "31.12.2007", "Fr. Yilmaz", "30"},
    {10, "2005", "Rechnungen am Tag der Lieferung schreiben", "Fakturierung\nVersand",
     "01.06.2005", "31.12.2005", "Hr. Brandt", "80"},
    {12, "2007", "Tourenplanung mit festen Liefertagen", "Logistik", "01.01.2007", "30.06.2007",
     "Hr. Lange", "20"},
};

QString quote(const QString &name) { return Database::quote(name); }

// A small deterministic spread, so that every run makes the same sample.
double streuung(int a, int b, int c)
{
    quint32 h = quint32(a) * 2654435761u ^ quint32(b) * 40503u ^ quint32(c) * 2246822519u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h % 1000) / 1000.0;
}

class Verbindung {
public:
    explicit Verbindung(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), AdminConnection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=250"));
        if (!db.open())
            throw EngineError(QStringLiteral("Cannot open %1: %2").arg(path, db.lastError().text()));
    }
    ~Verbindung()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(AdminConnection, false);
            if (db.isOpen())
                db.rollback();   // no-op after a commit
            db.close();
        }
        QSqlDatabase::removeDatabase(AdminConnection);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(AdminConnection, false); }

    void run(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        if (!query.exec())
            throw EngineError(QStringLiteral("%1\nStatement: %2").arg(query.lastError().text(), sql));
    }
};

QString kennzahlTabelleSql(const QString &tabelle)
{
    QStringList columns{QStringLiteral("\"Jahr\" TEXT NOT NULL UNIQUE")};
    // Actual values stay where IST * 100 still fits 32 bits, targets may use
    // the whole 32-bit range.
    for (const QString &spalte : DbAdmin::wertSpalten()) {
        const bool ist = spalte.startsWith(QLatin1String("Ist_"));
        columns << QStringLiteral("%1 INTEGER CHECK (%1 BETWEEN %2 AND %3)")
                       .arg(quote(spalte))
                       .arg(ist ? -21474836 : std::numeric_limits<qint32>::min())
                       .arg(ist ? 21474836 : std::numeric_limits<qint32>::max());
    }
    return QStringLiteral("CREATE TABLE %1 (%2) STRICT").arg(quote(tabelle), columns.join(QStringLiteral(", ")));
}

const char *const MassnahmenSql =
    "CREATE TABLE \"maßnahmen\" ("
    "\"Nr\" INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\"Maßnahme\" TEXT, \"Prozesse\" TEXT, \"Gültig_ab\" TEXT, \"Gültig_bis\" TEXT, "
    "\"Verantwortlicher\" TEXT, \"Erfüllungsgrad_in_%\" TEXT, \"Jahr\" TEXT, \"Ziel\" TEXT) STRICT";

QVariantList beispielWerte(int tabelle, int jahr)
{
    const Beispiel &b = Beispiele[tabelle];
    QVariantList werte;
    for (int spalte = 0; spalte < 7; ++spalte) {
        // Targets rise a little from year to year; actual values spread
        // around them so that all three colours occur.
        const int soll = qMax(2, int(std::lround(b.soll * (1.0 + 0.02 * (jahr - 2003)))));
        const double faktor = 0.45 + 1.0 * streuung(tabelle, jahr, spalte);
        int ist = int(std::lround(soll * (b.niedrigerBesser ? 2.0 - faktor : faktor)));
        if (ist == 1 && soll == 1)
            ist = 2;
        werte << ist << soll;
    }
    return werte;
}

} // namespace

QStringList DbAdmin::wertSpalten()
{
    static const QStringList spalten = [] {
        const QStringList suffixe{QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3"),
                                  QStringLiteral("Q4"), QStringLiteral("Halbjahr1"),
                                  QStringLiteral("Halbjahr2"), QStringLiteral("Jahr")};
        QStringList list;
        for (const QString &s : suffixe)
            list << QStringLiteral("Ist_Wert_") + s << QStringLiteral("Soll_Wert_") + s;
        return list;
    }();
    return spalten;
}

int DbAdmin::letztesJahr(int aktuellesJahr)
{
    return qMax(ScorecardKatalog::LetztesJahr, aktuellesJahr + 1);
}

void DbAdmin::anlegen(const QString &path, bool demo, int aktuellesJahr)
{
    const QFileInfo ziel(path);
    if (ziel.exists())
        throw EngineError(QStringLiteral("%1 exists already; it was left untouched.").arg(path));
    if (!QDir().mkpath(ziel.absolutePath()))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(ziel.absolutePath()));

    // Build the file under a temporary name and give it its name only when
    // it is complete, so that no half-made database is ever found.
    const QString temp = ziel.absoluteFilePath() + QStringLiteral(".")
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".tmp");
    try {
        Verbindung v(temp);
        v.run(QStringLiteral("PRAGMA synchronous=FULL"));
        if (!v.db().transaction())
            throw EngineError(v.db().lastError().text());
        const QStringList tabellen = ScorecardKatalog::alleTabellen();
        QStringList platzhalter(1 + wertSpalten().size(), QStringLiteral("?"));
        for (int t = 0; t < tabellen.size(); ++t) {
            v.run(kennzahlTabelleSql(tabellen[t]));
            const QString insert = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                       .arg(quote(tabellen[t]), platzhalter.join(QLatin1Char(',')));
            for (int jahr = ScorecardKatalog::ErstesJahr; jahr <= letztesJahr(aktuellesJahr); ++jahr) {
                QVariantList werte{QString::number(jahr)};
                if (demo && t < int(std::size(Beispiele)))
                    werte << beispielWerte(t, jahr);
                else
                    for (int i = 0; i < wertSpalten().size(); ++i)
                        werte << QVariant();
                v.run(insert, werte);
            }
        }
        v.run(QString::fromUtf8(MassnahmenSql));
        if (demo) {
            for (const BeispielMassnahme &m : BeispielMassnahmen) {
                v.run(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Prozesse\", \"Gültig_ab\", "
                                     "\"Gültig_bis\", \"Verantwortlicher\", \"Erfüllungsgrad_in_%\", "
                                     "\"Jahr\", \"Ziel\") VALUES (?,?,?,?,?,?,?,?)"),
                      {QString::fromUtf8(m.massnahme), QString::fromUtf8(m.prozesse),
                       QString::fromUtf8(m.ab), QString::fromUtf8(m.bis),
                       QString::fromUtf8(m.verantwortlich), QString::fromUtf8(m.grad),
                       QString::fromUtf8(m.jahr), ScorecardKatalog::zielText(m.ziel, 1)});
            }
        }
        if (!v.db().commit())
            throw EngineError(v.db().lastError().text());
    } catch (...) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        throw;
    }
    if (!QFile::rename(temp, ziel.absoluteFilePath())) {
        QFile::remove(temp);
        throw EngineError(QStringLiteral("%1 exists already; it was left untouched.").arg(path));
    }
}

void DbAdmin::jahrHinzufuegen(const QString &path, const QString &jahr)
{
    static const QRegularExpression vierStellen(QStringLiteral("^[0-9]{4}$"));
    if (!vierStellen.match(jahr).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not a year of four digits.").arg(jahr));
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Database file not found: %1\nCreate it with \"bsc-db init\".").arg(path));
    Verbindung v(path);
    v.run(QStringLiteral("PRAGMA synchronous=FULL"));
    if (!v.db().transaction())
        throw EngineError(v.db().lastError().text());
    for (const QString &tabelle : ScorecardKatalog::alleTabellen()) {
        QSqlQuery exists(v.db());
        exists.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE \"Jahr\"=?").arg(quote(tabelle)));
        exists.addBindValue(jahr);
        if (!exists.exec())
            throw EngineError(QStringLiteral("Table %1: %2").arg(tabelle, exists.lastError().text()));
        if (exists.next())
            throw EngineError(QStringLiteral("The year %1 exists already in table %2; nothing was added.").arg(jahr, tabelle));
        v.run(QStringLiteral("INSERT INTO %1 (\"Jahr\") VALUES (?)").arg(quote(tabelle)), {jahr});
    }
    if (!v.db().commit())
        throw EngineError(v.db().lastError().text());
}
