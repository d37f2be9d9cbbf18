#include "tools/dbadmin.h"

#include "model/ampel.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/engineerror.h"
#include "tools/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <limits>

namespace {

const char *const AdminConnection = "bsc-db-admin";
const QString MeasuresTable = QStringLiteral("maßnahmen");
const QString MeasuresIndex = QStringLiteral("maßnahmen_ziel_jahr");
const QString YearColumn = QStringLiteral("Jahr");

// Typical target per key figure in its own unit, used for the sample data.
// Goal order; goal 11 as agriculture, then the mining variant.
struct SampleFigure {
    const char *table;
    int target;
    bool lowerIsBetter;
};
constexpr SampleFigure SampleFigures[] = {
    {"kz_ges_renta", 12, false},      {"kz_kap_quote", 40, false},
    {"kz_liqui", 30, false},          {"kz_kundentreue", 70, false},
    {"kz_marktanteil", 15, false},    {"kz_beschwerden", 80, false},
    {"kz_anz_verbesserung", 8, false}, {"kz_output_input", 150, false},
    {"kz_zu_auf_daten", 85, false},   {"kz_rechlegung", 14, true},
    {"kz_neuprod", 20, false},        {"kz_auf_abwicklung", 10, true},
    {"kz_reklamation", 5, true},
};

// Year 0 stands for the current year.
struct SampleMeasure {
    int goal;
    int year;
    const char *measure;
    const char *processes;
    const char *from;
    const char *until;
    const char *responsible;
    const char *completion;
};
const SampleMeasure SampleMeasures[] = {
    {1, 2005, "Kostenstellenrechnung einführen\nMonatliche Abweichungsanalyse",
     "Controlling\nRechnungswesen", "01.02.2005", "31.12.2005", "Fr. Albers", "60"},
    {1, 2005, "Preise der Standardleistungen überprüfen", "Vertrieb", "01.04.2005", "30.09.2005",
     "Hr. Brandt", "100"},
    {1, 2007, "Deckungsbeitragsrechnung je Produktgruppe", "Controlling", "01.01.2007", "31.03.2007",
     "Fr. Albers", "100"},
    {1, 2007, "Lagerbestände um ein Fünftel senken", "Einkauf\nLager", "01.02.2007", "31.12.2007",
     "Hr. Lange", "45"},
    {2, 2005, "Gewinne thesaurieren statt ausschütten", "Geschäftsführung", "01.01.2005",
     "31.12.2005", "Hr. Dr. Kessler", "50"},
    {3, 2006, "Forderungsmanagement straffen: Mahnlauf wöchentlich",
     "Debitorenbuchhaltung", "01.03.2006", "31.12.2006", "Fr. Albers", "75"},
    {4, 2005, "Kundenbefragung nach jedem Auftrag", "Vertrieb\nKundendienst", "01.01.2005",
     "31.12.2005", "Hr. Weber", "40"},
    {7, 2007, "Prämie für umgesetzte Verbesserungsvorschläge", "Personalwesen", "01.01.2007",
     "31.12.2007", "Fr. Yilmaz", "30"},
    {10, 2005, "Rechnungen am Tag der Lieferung schreiben", "Fakturierung\nVersand",
     "01.06.2005", "31.12.2005", "Hr. Brandt", "80"},
    {12, 2007, "Tourenplanung mit festen Liefertagen", "Logistik", "01.01.2007", "30.06.2007",
     "Hr. Lange", "20"},
    {1, 0, "Quartalsabschluss in zehn Arbeitstagen", "Rechnungswesen", "01.01.", "31.12.",
     "Fr. Albers", "25"},
    {5, 0, "Messeauftritt in der Region X", "Vertrieb\nMarketing", "01.03.", "30.09.", "Hr. Weber", "60"},
};

QString quote(const QString &name) { return Database::quote(name); }

// A small deterministic spread, so that every run makes the same sample.
double spread(int a, int b, int c)
{
    quint32 h = quint32(a) * 2654435761u ^ quint32(b) * 40503u ^ quint32(c) * 2246822519u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h % 1000) / 1000.0;
}

// A connection of its own to a file being built.
class Connection {
public:
    explicit Connection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), AdminConnection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=250"));
        if (!db.open())
            throw EngineError(QStringLiteral("Cannot open %1: %2").arg(path, db.lastError().text()));
    }
    ~Connection()
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
            throw EngineError(QStringLiteral("Could not create the database: %1").arg(query.lastError().text()));
    }
};

QString figureTableSql(const QString &table)
{
    QStringList columns{
        QStringLiteral("\"Jahr\" TEXT NOT NULL UNIQUE CHECK (\"Jahr\" GLOB '[0-9][0-9][0-9][0-9]')")};
    // Actual values stay where IST * 100 still fits 32 bits, targets may use
    // the whole 32-bit range.
    for (const QString &column : DbAdmin::valueColumns()) {
        const bool actual = column.startsWith(QLatin1String("Ist_"));
        columns << QStringLiteral("%1 INTEGER CHECK (%1 BETWEEN %2 AND %3)")
                       .arg(quote(column))
                       .arg(actual ? -MaxValueMagnitude : std::numeric_limits<qint32>::min())
                       .arg(actual ? MaxValueMagnitude : std::numeric_limits<qint32>::max());
    }
    return QStringLiteral("CREATE TABLE %1 (%2) STRICT").arg(quote(table), columns.join(QStringLiteral(", ")));
}

const QStringList MeasureColumns{
    QStringLiteral("Nr"), QStringLiteral("Maßnahme"), QStringLiteral("Prozesse"), QStringLiteral("Gültig_ab"),
    QStringLiteral("Gültig_bis"), QStringLiteral("Verantwortlicher"), QStringLiteral("Erfüllungsgrad_in_%"),
    QStringLiteral("Jahr"), QStringLiteral("Ziel")};

const char *const MeasuresSql =
    "CREATE TABLE \"maßnahmen\" ("
    "\"Nr\" INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\"Maßnahme\" TEXT, \"Prozesse\" TEXT, \"Gültig_ab\" TEXT, \"Gültig_bis\" TEXT, "
    "\"Verantwortlicher\" TEXT, \"Erfüllungsgrad_in_%\" TEXT, \"Jahr\" TEXT, \"Ziel\" TEXT) STRICT";

QString measuresIndexSql()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (\"Ziel\", \"Jahr\")")
        .arg(quote(MeasuresIndex), quote(MeasuresTable));
}

QVariantList sampleValues(int table, int year)
{
    const SampleFigure &figure = SampleFigures[table];
    QVariantList values;
    for (int column = 0; column < 7; ++column) {
        // Targets rise a little from year to year; actual values spread
        // around them so that all three colours occur.
        const int target = qMax(2, int(std::lround(figure.target * (1.0 + 0.02 * (year - 2003)))));
        const double factor = 0.45 + 1.0 * spread(table, year, column);
        int actual = int(std::lround(target * (figure.lowerIsBetter ? 2.0 - factor : factor)));
        if (actual == 1 && target == 1)
            actual = 2;
        values << actual << target;
    }
    return values;
}

void build(const QString &file, bool demo, int currentYear)
{
    Connection c(file);
    c.run(QStringLiteral("PRAGMA synchronous=FULL"));
    if (!c.db().transaction())
        throw EngineError(c.db().lastError().text());
    const QStringList tables = ScorecardKatalog::allTables();
    const QStringList placeholders(1 + DbAdmin::valueColumns().size(), QStringLiteral("?"));
    for (int t = 0; t < tables.size(); ++t) {
        c.run(figureTableSql(tables[t]));
        const QString insert =
            QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quote(tables[t]), placeholders.join(QLatin1Char(',')));
        for (int year = ScorecardKatalog::FirstYear; year <= DbAdmin::lastYear(currentYear); ++year) {
            QVariantList values{QString::number(year)};
            if (demo && t < int(std::size(SampleFigures)))
                values << sampleValues(t, year);
            else
                for (int i = 0; i < DbAdmin::valueColumns().size(); ++i)
                    values << QVariant();
            c.run(insert, values);
        }
    }
    c.run(QString::fromUtf8(MeasuresSql));
    c.run(measuresIndexSql());
    if (demo) {
        for (const SampleMeasure &m : SampleMeasures) {
            const QString year = QString::number(m.year ? m.year : currentYear);
            auto dated = [&](const char *text) {
                const QString t = QString::fromUtf8(text);
                return t.endsWith(QLatin1Char('.')) ? t + year : t;
            };
            c.run(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Prozesse\", \"Gültig_ab\", "
                                 "\"Gültig_bis\", \"Verantwortlicher\", \"Erfüllungsgrad_in_%\", "
                                 "\"Jahr\", \"Ziel\") VALUES (?,?,?,?,?,?,?,?)"),
                  {QString::fromUtf8(m.measure), QString::fromUtf8(m.processes), dated(m.from), dated(m.until),
                   QString::fromUtf8(m.responsible), QString::fromUtf8(m.completion), year,
                   ScorecardKatalog::zielText(m.goal, 1)});
        }
    }
    if (!c.db().commit())
        throw EngineError(c.db().lastError().text());
}

// Runs a statement on the alias and hands back its rows.
QList<QVariantList> rows(Database &db, const QString &sql, const QVariantList &values, const QString &what,
                         int columns = 1)
{
    QSqlQuery &query = db.run(sql, values, what);
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < columns; ++i)
            row << query.value(i);
        result << row;
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw EngineError(db.describe(error, what));
    return result;
}

void rollback(Database &db)
{
    try {
        db.run(QStringLiteral("ROLLBACK"), {}, QStringLiteral("roll back")).finish();
    } catch (const EngineError &) {
        // Nothing was begun, or the connection is gone: nothing to undo.
    }
}

bool hasIndex(Database &db)
{
    return !rows(db, QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type='index' AND name=?"), {MeasuresIndex},
                 QStringLiteral("read the schema"))
                .isEmpty();
}

} // namespace

QStringList DbAdmin::valueColumns()
{
    static const QStringList columns = [] {
        const QStringList suffixes{QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3"),
                                   QStringLiteral("Q4"), QStringLiteral("Halbjahr1"),
                                   QStringLiteral("Halbjahr2"), QStringLiteral("Jahr")};
        QStringList list;
        for (const QString &s : suffixes)
            list << QStringLiteral("Ist_Wert_") + s << QStringLiteral("Soll_Wert_") + s;
        return list;
    }();
    return columns;
}

int DbAdmin::lastYear(int currentYear)
{
    return qMax(ScorecardKatalog::LastYear, currentYear + 1);
}

void DbAdmin::create(const QString &path, bool demo, int currentYear)
{
    const QFileInfo target(path);
    const QString file = target.absoluteFilePath();
    const QString exists = QStringLiteral("%1 exists already; it was left untouched.").arg(path);
    if (SafeFile::occupied(file))
        throw EngineError(exists);
    if (!QDir().mkpath(target.absolutePath()))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(target.absolutePath()));

    // Runs for the same folder take turns; under the lock, what a killed run
    // left behind can go.
    SafeFile::FolderLock lock(target.absolutePath());
    if (SafeFile::occupied(file))
        throw EngineError(exists);
    SafeFile::removeLeftovers(file, QStringLiteral("init"));

    // Build the file under a temporary name and give it its name only when
    // it is complete, so that no half-made database is ever found.
    const QString temp = SafeFile::temporaryName(file, QStringLiteral("init"));
    try {
        build(temp, demo, currentYear);
    } catch (...) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        throw;
    }
    QString error;
    if (!SafeFile::renameNoReplace(temp, file, &error)) {
        QFile::remove(temp);
        throw EngineError(error);
    }
}

void DbAdmin::addYear(const QString &path, const QString &year)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    if (!fourDigits.match(year).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not a year of four digits.").arg(year));
    Database &db = Database::open(path);
    db.run(QStringLiteral("BEGIN IMMEDIATE"), {}, QStringLiteral("add the year %1").arg(year)).finish();
    try {
        for (const QString &name : ScorecardKatalog::allTables()) {
            const Database::Table &table = db.table(name);
            if (table.columnIndex(YearColumn) < 0)
                throw EngineError(QStringLiteral("Column does not exist: Jahr in table %1").arg(table.name));
            const QString what = QStringLiteral("add the year %1 to table %2").arg(year, table.name);
            const QString last = rows(db, QStringLiteral("SELECT max(\"Jahr\") FROM %1").arg(quote(table.name)), {}, what)
                                     .value(0).value(0).toString();
            if (!last.isEmpty() && year <= last)
                throw EngineError(QStringLiteral("The year %1 is not after the last year of table %2 (%3); "
                                                 "nothing was added.").arg(year, table.name, last));
            db.run(QStringLiteral("INSERT INTO %1 (\"Jahr\") VALUES (?)").arg(quote(table.name)), {year}, what).finish();
        }
        db.run(QStringLiteral("COMMIT"), {}, QStringLiteral("add the year %1").arg(year)).finish();
    } catch (...) {
        rollback(db);
        throw;
    }
}

void DbAdmin::backup(const QString &path, const QString &file)
{
    const QString target = QFileInfo(file).absoluteFilePath();
    if (SafeFile::occupied(target))
        throw EngineError(QStringLiteral("%1 exists already; it was left untouched.").arg(file));
    if (!QFileInfo(target).absoluteDir().exists())
        throw EngineError(QStringLiteral("The folder of %1 does not exist.").arg(file));

    // The copy is made inside one read transaction of the engine: it holds
    // every committed change and nothing of one still open.
    Database &db = Database::open(path, true);
    const QString temp = SafeFile::temporaryName(target, QStringLiteral("backup"));
    try {
        db.run(QStringLiteral("VACUUM INTO ?"), {temp}, QStringLiteral("copy the database to %1").arg(file)).finish();
        Database::close();
        Database &copy = Database::open(temp, true);
        const auto result = rows(copy, QStringLiteral("PRAGMA integrity_check"), {}, QStringLiteral("check the copy"));
        Database::close();
        if (result.value(0).value(0).toString() != QLatin1String("ok"))
            throw EngineError(QStringLiteral("The copy does not pass the integrity check; nothing was written."));
    } catch (...) {
        Database::close();
        QFile::remove(temp);
        throw;
    }
    QString error;
    if (!SafeFile::renameNoReplace(temp, target, &error)) {
        QFile::remove(temp);
        throw EngineError(error);
    }
}

DbAdmin::CheckReport DbAdmin::check(const QString &path)
{
    CheckReport report;
    Database &db = Database::open(path, true);

    const auto integrity = rows(db, QStringLiteral("PRAGMA integrity_check"), {}, QStringLiteral("check the file"));
    if (integrity.value(0).value(0).toString() != QLatin1String("ok")) {
        for (const QVariantList &line : integrity.mid(0, 20))
            report.faults << QStringLiteral("integrity: %1").arg(line.value(0).toString());
    } else {
        report.notes << QStringLiteral("integrity check: ok");
    }

    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    for (const QString &name : ScorecardKatalog::allTables()) {
        const Database::Table *table = nullptr;
        try {
            table = &db.table(name);
        } catch (const EngineError &) {
            report.faults << QStringLiteral("%1: the table is missing").arg(name);
            continue;
        }
        QStringList missing;
        for (const QString &column : QStringList{YearColumn} + valueColumns()) {
            if (table->columnIndex(column) < 0)
                missing << column;
        }
        if (!missing.isEmpty()) {
            report.faults << QStringLiteral("%1: columns missing: %2").arg(name, missing.join(QStringLiteral(", ")));
            if (missing.contains(YearColumn))
                continue;
        }
        const auto years = rows(db, QStringLiteral("SELECT \"Jahr\" FROM %1 ORDER BY \"Jahr\"").arg(quote(table->name)),
                                {}, QStringLiteral("read table %1").arg(name));
        QSet<int> seen;
        int first = 0, last = 0;
        bool fine = true;
        for (const QVariantList &row : years) {
            const QString year = row.value(0).toString();
            if (!fourDigits.match(year).hasMatch()) {
                report.faults << QStringLiteral("%1: a row has the year \"%2\", not four digits").arg(name, year);
                fine = false;
                continue;
            }
            const int y = year.toInt();
            if (seen.contains(y)) {
                report.faults << QStringLiteral("%1: the year %2 has more than one row").arg(name, year);
                fine = false;
            }
            seen.insert(y);
            first = first ? qMin(first, y) : y;
            last = qMax(last, y);
        }
        if (seen.isEmpty()) {
            report.faults << QStringLiteral("%1: no rows").arg(name);
            continue;
        }
        if (first != ScorecardKatalog::FirstYear) {
            report.faults << QStringLiteral("%1: the first year is %2, not %3").arg(name).arg(first).arg(ScorecardKatalog::FirstYear);
            fine = false;
        }
        QStringList gaps;
        for (int y = ScorecardKatalog::FirstYear; y <= last; ++y) {
            if (!seen.contains(y))
                gaps << QString::number(y);
        }
        if (!gaps.isEmpty()) {
            report.faults << QStringLiteral("%1: no row for %2").arg(name, gaps.join(QStringLiteral(", ")));
            fine = false;
        }
        if (fine)
            report.notes << QStringLiteral("%1: one row per year from %2 to %3").arg(name).arg(first).arg(last);
    }

    try {
        const Database::Table &measures = db.table(MeasuresTable);
        QStringList missing;
        for (const QString &column : MeasureColumns) {
            if (measures.columnIndex(column) < 0)
                missing << column;
        }
        if (!missing.isEmpty())
            report.faults << QStringLiteral("%1: columns missing: %2").arg(MeasuresTable, missing.join(QStringLiteral(", ")));
        const qint64 count = db.count(db.wholeTable(MeasuresTable));
        report.notes << QStringLiteral("%1: %2 measures").arg(MeasuresTable).arg(count);
        if (!hasIndex(db))
            report.notes << QStringLiteral("%1: no index by goal and year; \"bsc-db upgrade\" adds it").arg(MeasuresTable);
    } catch (const EngineError &) {
        report.faults << QStringLiteral("%1: the table is missing").arg(MeasuresTable);
    }
    Database::close();
    return report;
}

QStringList DbAdmin::upgrade(const QString &path)
{
    Database &db = Database::open(path);
    db.table(MeasuresTable);
    QStringList changed;
    if (!hasIndex(db)) {
        db.run(measuresIndexSql(), {}, QStringLiteral("add the index of the measures")).finish();
        changed << QStringLiteral("added the index of %1 by goal and year").arg(MeasuresTable);
    }
    return changed;
}
