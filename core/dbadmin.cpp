#include "core/dbadmin.h"

#include "model/alias.h"

#include "model/ampel.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "platform/db/database.h"
#include "platform/db/schemasql.h"
#include "platform/db/engineerror.h"
#include "core/history.h"
#include "core/safefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <limits>

namespace {

const char *const AdminConnection = "bsc-db-admin";
const char *const TargetConnection = "bsc-db-target";

// A database the administration opens, told the scorecard's settings, so
// that it records its changes whoever calls it.
std::unique_ptr<Database> openDatabase(const QString &target, bool readOnly, const QString &connectionName)
{
    return Database::connect(target, readOnly, connectionName, ScorecardAlias::databaseSettings());
}
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

using Engine = Database::Engine;

bool isServer(const QString &target) { return Target::parse(target).postgres; }

// A small deterministic spread, so that every run makes the same sample.
double spread(int a, int b, int c)
{
    quint32 h = quint32(a) * 2654435761u ^ quint32(b) * 40503u ^ quint32(c) * 2246822519u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h % 1000) / 1000.0;
}

// The tables, as each engine declares them. SQLite keeps its row id as the
// key and checks types by STRICT; PostgreSQL keys a figure's rows by year
// and numbers the measures with an identity column.
QString figureTableSql(Engine engine, const QString &table)
{
    using Column = SchemaSql::Column;
    QVector<Column> columns{{YearColumn, Column::Kind::DigitsKey}};
    for (const QString &column : KennzahlSchema::valueColumns())
        columns.append({column, Column::Kind::BoundedInteger, -KennzahlSchema::MaxMagnitude, KennzahlSchema::MaxMagnitude});
    return SchemaSql::createTable(engine, table, columns);
}

const QStringList MeasureColumns{
    QStringLiteral("Nr"), QStringLiteral("Maßnahme"), QStringLiteral("Prozesse"), QStringLiteral("Gültig_ab"),
    QStringLiteral("Gültig_bis"), QStringLiteral("Verantwortlicher"), QStringLiteral("Erfüllungsgrad_in_%"),
    QStringLiteral("Jahr"), QStringLiteral("Ziel")};

QString measuresTableSql(Engine engine)
{
    using Column = SchemaSql::Column;
    QVector<Column> columns{{MeasureColumns.first(), Column::Kind::NumberedKey}};
    for (const QString &column : MeasureColumns.mid(1))
        columns.append({column, Column::Kind::Text});
    return SchemaSql::createTable(engine, MeasuresTable, columns);
}

QString measuresIndexSql()
{
    return SchemaSql::createIndex(MeasuresIndex, MeasuresTable, {QStringLiteral("Ziel"), QStringLiteral("Jahr")});
}

QStringList ourTables()
{
    return ScorecardKatalog::allTables() << MeasuresTable;
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

// The fourteen tables, inside the caller's transaction.
void createTables(Database &db)
{
    const QString what = QStringLiteral("create the tables");
    for (const QString &table : ScorecardKatalog::allTables())
        db.run(figureTableSql(db.engine(), table), {}, what).finish();
    db.run(measuresTableSql(db.engine()), {}, what).finish();
    db.run(measuresIndexSql(), {}, what).finish();
    db.createHistory();
}

// The rows of every year and, with demo, the sample values and measures.
void fillTables(Database &db, bool demo, int currentYear)
{
    const QString what = QStringLiteral("fill the tables");
    const QStringList tables = ScorecardKatalog::allTables();
    for (int t = 0; t < tables.size(); ++t) {
        const QString insert = SchemaSql::insert(tables[t], QStringList{YearColumn} + KennzahlSchema::valueColumns());
        for (int year = ScorecardKatalog::FirstYear; year <= DbAdmin::lastYear(currentYear); ++year) {
            QVariantList values{QString::number(year)};
            if (demo && t < int(std::size(SampleFigures)))
                values << sampleValues(t, year);
            else
                for (int i = 0; i < KennzahlSchema::valueColumns().size(); ++i)
                    values << QVariant(QMetaType(QMetaType::Int));
            db.run(insert, values, what).finish();
        }
    }
    if (!demo)
        return;
    for (const SampleMeasure &m : SampleMeasures) {
        const QString year = QString::number(m.year ? m.year : currentYear);
        auto dated = [&](const char *text) {
            const QString d = QString::fromUtf8(text);
            return d.endsWith(QLatin1Char('.')) ? d + year : d;
        };
        db.run(SchemaSql::insert(MeasuresTable, MeasureColumns.mid(1)),
               {QString::fromUtf8(m.measure), QString::fromUtf8(m.processes), dated(m.from), dated(m.until),
                QString::fromUtf8(m.responsible), QString::fromUtf8(m.completion), year,
                ScorecardKatalog::zielText(m.goal, 1)},
               what)
            .finish();
    }
}

// Runs a statement and hands back its rows.
QList<QVariantList> rows(Database &db, const QString &sql, const QVariantList &values, const QString &what,
                         int columns = 1)
{
    Database::Result query = db.run(sql, values, what);
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
        throw EngineError(db.describe(error, what), db.classify(error));
    return result;
}

bool hasIndex(Database &db)
{
    return !rows(db, db.upkeep().indexExists, {MeasuresIndex}, QStringLiteral("read the schema")).isEmpty();
}

// A new SQLite file built under a temporary name beside the target and given
// its name only when complete; the builder runs inside one transaction.
void buildFile(const QString &path, const QString &purpose, const std::function<void(Database &)> &build)
{
    const QFileInfo target(path);
    const QString file = target.absoluteFilePath();
    const QString exists = SafeFile::occupiedMessage(path);
    if (SafeFile::occupied(file))
        throw EngineError(exists);
    if (!QDir().mkpath(target.absolutePath()))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(target.absolutePath()));

    // Runs for the same folder take turns; under the lock, what a killed run
    // left behind can go.
    SafeFile::FolderLock lock(target.absolutePath());
    if (SafeFile::occupied(file))
        throw EngineError(exists);
    SafeFile::removeLeftovers(file, purpose);

    const QString temp = SafeFile::temporaryName(file, purpose);
    try {
        {
            QFile empty(temp);   // an empty file is an empty database
            if (!empty.open(QIODevice::WriteOnly))
                throw EngineError(QStringLiteral("Cannot write %1: %2").arg(temp, empty.errorString()));
        }
        std::unique_ptr<Database> db = openDatabase(temp, false, AdminConnection);
        db->begin(QStringLiteral("build ") + path);
        try {
            build(*db);
            db->commit(QStringLiteral("build ") + path);
        } catch (...) {
            db->rollback();
            throw;
        }
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

// A table's content as one checksum, computed the same way on both engines:
// every row in the order of its natural key (the year, the measure's
// number, or the column given), every column the target has, each text as
// its stored UTF-8 bytes. Equal counts are not enough: a text that loses a
// character on the way has the same count.
QByteArray contentChecksum(Database &db, const Database::Table &table, const QStringList &columns,
                           const QString &orderBy = {})
{
    QStringList selected;
    QVector<bool> integer;
    for (const QString &name : columns) {
        const Database::Column &c = table.columns[table.columnIndex(name)];
        integer << c.isInteger;
        selected << (c.isInteger ? quote(c.name) : db.textAsBytes(c.name));
    }
    const QString order = table.columnIndex(orderBy) >= 0                ? orderBy
                          : table.columnIndex(QStringLiteral("Nr")) >= 0 ? QStringLiteral("Nr")
                                                                          : YearColumn;
    Database::Result query = db.run(SchemaSql::select(selected, table.name, {table.columns[table.columnIndex(order)].name}),
                                    {}, QStringLiteral("read table %1").arg(table.name));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (query.next()) {
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant v = query.value(i);
            QByteArray field;
            if (v.isNull())
                field = "N";
            else if (integer[i])
                field = 'I' + QByteArray::number(v.toLongLong());
            else
                field = 'T' + (v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8());
            hash.addData(QByteArray::number(field.size()) + ':' + field);
        }
        hash.addData("\n");
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw EngineError(db.describe(error, QStringLiteral("read table %1").arg(table.name)), db.classify(error));
    return hash.result();
}

// One table's rows into the same, empty table of another database, in key
// order, every text exactly; the count and the content checked. A key left
// out is numbered by the target, in the same order.
// The first text of a table that no copy can carry as it is, named by its
// row and column with the reason; empty when none is found.
QString uncarriedText(Database &db, const Database::Table &table, const QStringList &columns)
{
    const QString rowColumn = table.columnIndex(QStringLiteral("Nr")) >= 0 ? QStringLiteral("Nr") : YearColumn;
    const int rowIndex = table.columnIndex(rowColumn);
    if (rowIndex < 0)
        return {};
    for (const QString &name : columns) {
        const Database::Column &c = table.columns[table.columnIndex(name)];
        if (c.isInteger)
            continue;
        Database::Result query = db.run(SchemaSql::select({quote(table.columns[rowIndex].name), db.textAsBytes(c.name)},
                                                          table.name),
                                        {}, QStringLiteral("read table %1").arg(table.name));
        while (query.next()) {
            const QVariant v = query.value(1);
            if (v.isNull())
                continue;
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = utf8(v.toByteArray());
            if (utf8.hasError()) {
                const QString row = query.value(0).toString();
                query.finish();
                return QStringLiteral("%1 %2, column %3: the text holds bytes that are not UTF-8, which no copy can carry as "
                                      "they are")
                    .arg(rowColumn == YearColumn ? QStringLiteral("year") : QStringLiteral("measure"), row, c.name);
            }
        }
        query.finish();
    }
    return {};
}

void copyTable(Database &from, Database &to, const QString &name, const QString &keyLeftOut = {})
{
    const Database::Table source = from.table(name);
    const Database::Table target = to.table(name);
    const QString what = QStringLiteral("copy table %1").arg(name);
    if (to.count(to.wholeTable(name)) > 0)
        throw EngineError(QStringLiteral("Table %1 of %2 holds rows already; nothing was copied.").arg(name, to.path()));
    QStringList fields;
    QStringList columns;
    QStringList placeholders;
    QVector<bool> text;
    for (const Database::Column &c : target.columns) {
        if (!keyLeftOut.isEmpty() && c.name.compare(keyLeftOut, Qt::CaseInsensitive) == 0)
            continue;
        const int index = source.columnIndex(c.name);
        if (index < 0)
            throw EngineError(QStringLiteral("Column does not exist: %1 in table %2 of %3").arg(c.name, name, from.path()));
        fields << source.columns[index].name;
        columns << c.name;
        text << !c.isInteger;
        placeholders << to.placeholder(!c.isInteger);
    }
    const QString insert = SchemaSql::insert(target.name, columns, placeholders);
    Database::Source all = from.wholeTable(name);
    all.fields = fields;
    all.integer.clear();
    for (const QString &f : fields)
        all.integer << source.columns[source.columnIndex(f)].isInteger;
    qint64 copied = 0;
    from.scan(all, [&](const QVector<QVariant> &row) {
        QVariantList values;
        for (int i = 0; i < fields.size(); ++i)
            values << to.bound(row[i], text[i]);
        to.run(insert, values, what).finish();
        ++copied;
        return true;
    });
    const qint64 stored = to.count(to.wholeTable(name));
    if (stored != copied || stored != from.count(from.wholeTable(name)))
        throw EngineError(QStringLiteral("Table %1: %2 rows read, %3 stored; nothing was copied.").arg(name).arg(copied).arg(stored));
    if (contentChecksum(from, source, fields, keyLeftOut) != contentChecksum(to, target, columns, keyLeftOut)) {
        const QString where = uncarriedText(from, source, fields);
        throw EngineError(QStringLiteral("Table %1: the copy does not hold exactly what %2 holds%3; nothing was copied.")
                              .arg(name, from.path(), where.isEmpty() ? QString() : QStringLiteral(": ") + where));
    }
}

// Every row of the fourteen tables from one database into another whose
// tables are empty, numbers of the measures kept, every text exactly; the
// counts and each table's content checked. The change history goes along
// where both hold one, in its order, numbered by the target.
void copyRows(Database &from, Database &to)
{
    for (const QString &name : ourTables())
        copyTable(from, to, name);
    if (from.hasHistory() && to.hasHistory())
        copyTable(from, to, ChangeHistory::Table, Database::historyKey());
    // New measures go on after the numbers copied.
    to.continueNumbers(MeasuresTable, QStringLiteral("number the measures"));
}

// A read of one consistent state, for copies.
void beginRead(Database &db)
{
    db.run(db.upkeep().beginSnapshot, {}, QStringLiteral("read ") + db.path()).finish();
}

// The tables, their rows and, when given, what fills them, in one go.
void createWith(const QString &target, bool demo, int currentYear, const std::function<void(Database &)> &fill)
{
    if (!isServer(target)) {
        buildFile(target, QStringLiteral("init"), [&](Database &db) {
            createTables(db);
            fillTables(db, demo, currentYear);
            db.installServerRecording(ourTables());
            if (fill)
                fill(db);
        });
        return;
    }
    // A server's database must exist; the tables are made in one go, and
    // none of them may be there already.
    std::unique_ptr<Database> db = openDatabase(target, false, AdminConnection);
    QStringList present;
    for (const QString &name : ourTables()) {
        for (const QString &existing : db->tableNames())
            if (existing.compare(name, Qt::CaseInsensitive) == 0)
                present << existing;
    }
    if (!present.isEmpty())
        throw EngineError(QStringLiteral("%1 holds tables already (%2); it was left untouched.")
                              .arg(db->path(), present.join(QStringLiteral(", "))));
    db->begin(QStringLiteral("create the database"));
    try {
        createTables(*db);
        fillTables(*db, demo, currentYear);
        // From here on the server records every change itself.
        db->installServerRecording(ourTables());
        if (fill)
            fill(*db);
        db->commit(QStringLiteral("create the database"));
    } catch (...) {
        db->rollback();
        throw;
    }
}

} // namespace

int DbAdmin::lastYear(int currentYear)
{
    return qMax(ScorecardKatalog::LastYear, currentYear + 1);
}

void DbAdmin::create(const QString &target, bool demo, int currentYear)
{
    createWith(target, demo, currentYear, {});
}

bool DbAdmin::isNewFile(const QString &target)
{
    return !isServer(target) && !SafeFile::occupied(QFileInfo(target).absoluteFilePath());
}

void DbAdmin::createFilled(const QString &target, int currentYear, const std::function<void(Database &)> &fill)
{
    createWith(target, false, currentYear, fill);
}

DbAdmin::AddedYears DbAdmin::addYear(const QString &path, const QString &year)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    if (!fourDigits.match(year).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not a year of four digits.").arg(year));
    const int wanted = year.toInt();
    const std::unique_ptr<Database> opened = openDatabase(path, false, TargetConnection);
    Database &db = *opened;
    AddedYears added;
    const ChangeHistory::Scope writer(db, ChangeHistory::AddYear);
    db.begin(QStringLiteral("add the year %1").arg(year));
    try {
        QSet<int> years;
        QString lastSeen;   // a table's last year, for the message when nothing is missing
        QString lastTable;
        for (const QString &name : ScorecardKatalog::allTables()) {
            const Database::Table &table = db.table(name);
            if (table.columnIndex(YearColumn) < 0)
                throw EngineError(QStringLiteral("Column does not exist: Jahr in table %1").arg(table.name));
            const QString what = QStringLiteral("add the year %1 to table %2").arg(year, table.name);
            QSet<QString> present;
            QString last;
            for (const QVariantList &row : rows(db, SchemaSql::selectColumns({YearColumn}, table.name), {}, what)) {
                const QString y = row.value(0).toString();
                present.insert(y);
                if (fourDigits.match(y).hasMatch() && y > last)
                    last = y;
            }
            if (!last.isEmpty() && wanted - last.toInt() > MaxYearsAdded)
                throw EngineError(QStringLiteral("The year %1 is more than %2 years after the last year of table %3 (%4); "
                                                 "nothing was added.").arg(year).arg(MaxYearsAdded).arg(table.name, last));
            lastSeen = last;
            lastTable = table.name;
            // Every year from the first one up to the asked one, so that no
            // table keeps a gap, also one deleted inside the range.
            for (int y = ScorecardKatalog::FirstYear; y <= wanted; ++y) {
                if (present.contains(QString::number(y)))
                    continue;
                db.run(SchemaSql::insert(table.name, {YearColumn}), {QString::number(y)}, what).finish();
                db.recordChange(table.name, QString::number(y), YearColumn, QVariant(), QString::number(y));
                years.insert(y);
            }
        }
        if (years.isEmpty())
            throw EngineError(wanted < ScorecardKatalog::FirstYear && lastSeen.isEmpty()
                                  ? QStringLiteral("The year %1 is before the first year %2; nothing was added.")
                                        .arg(year).arg(ScorecardKatalog::FirstYear)
                                  : QStringLiteral("The year %1 is not after the last year of table %2 (%3), and no "
                                                   "table lacks a year up to it; nothing was added.")
                                        .arg(year, lastTable, lastSeen));
        added.years = years.values();
        std::sort(added.years.begin(), added.years.end());
        added.first = added.years.first();
        added.count = int(added.years.size());
        db.commit(QStringLiteral("add the year %1").arg(year));
    } catch (...) {
        db.rollback();
        throw;
    }
    return added;
}

void DbAdmin::copy(const QString &from, const QString &to)
{
    std::unique_ptr<Database> source = openDatabase(from, true, QStringLiteral("bsc-db-copy-from"));
    beginRead(*source);
    try {
        if (!isServer(to)) {
            buildFile(to, QStringLiteral("copy"), [&](Database &target) {
                createTables(target);
                copyRows(*source, target);
            });
        } else {
            std::unique_ptr<Database> target = openDatabase(to, false, QStringLiteral("bsc-db-copy-to"));
            target->begin(QStringLiteral("copy into ") + target->path());
            try {
                // A database without the tables gets them; one with them must
                // hold no rows. The copy brings its history along: the
                // server records none of its rows anew.
                const bool created = target->tableNames().isEmpty();
                if (created)
                    createTables(*target);
                target->setServerRecording(ourTables(), false);
                copyRows(*source, *target);
                if (created)
                    target->installServerRecording(ourTables());
                else
                    target->setServerRecording(ourTables(), true);
                target->commit(QStringLiteral("copy into ") + target->path());
            } catch (...) {
                target->rollback();
                throw;
            }
        }
    } catch (...) {
        source->rollback();
        throw;
    }
    source->rollback();
}

void DbAdmin::backup(const QString &path, const QString &file)
{
    if (file.isEmpty())
        throw EngineError(QStringLiteral("No file was named for the backup."));
    const QString target = QFileInfo(file).absoluteFilePath();
    if (SafeFile::occupied(target))
        throw EngineError(SafeFile::occupiedMessage(file));
    if (!QFileInfo(target).absoluteDir().exists())
        throw EngineError(QStringLiteral("The folder of %1 does not exist.").arg(file));

    // A server's data goes into a database file, so that a backup is always
    // one file the program opens.
    if (isServer(path)) {
        copy(path, target);
        return;
    }
    // The copy is made inside one read transaction of the engine: it holds
    // every committed change and nothing of one still open.
    std::unique_ptr<Database> db = openDatabase(path, true, TargetConnection);
    const QString temp = SafeFile::temporaryName(target, QStringLiteral("backup"));
    try {
        db->run(SchemaSql::copyFileInto(), {temp}, QStringLiteral("copy the database to %1").arg(file)).finish();
        db.reset();
        std::unique_ptr<Database> copy = openDatabase(temp, true, AdminConnection);
        const auto result = rows(*copy, copy->upkeep().integrityCheck, {}, QStringLiteral("check the copy"));
        copy.reset();
        if (result.value(0).value(0).toString() != QLatin1String("ok"))
            throw EngineError(QStringLiteral("The copy does not pass the integrity check; nothing was written."));
    } catch (...) {
        db.reset();
        QFile::remove(temp);
        throw;
    }
    QString error;
    if (!SafeFile::renameNoReplace(temp, target, &error)) {
        QFile::remove(temp);
        throw EngineError(error);
    }
}

namespace {

// Values that an older table definition let in but no window or import
// takes: the dialog would refuse to save their row unchanged.
void checkValueRange(Database &db, const Database::Table &table, const QString &name, QStringList &faults)
{
    const auto values = rows(db, SchemaSql::selectColumns(QStringList{YearColumn} + KennzahlSchema::valueColumns(),
                                                          table.name, {YearColumn}),
                             {}, QStringLiteral("read table %1").arg(name), 1 + KennzahlSchema::ValueColumnCount);
    for (const QVariantList &row : values) {
        for (int i = 0; i < KennzahlSchema::ValueColumnCount; ++i) {
            const QVariant v = row.value(i + 1);
            if (v.isNull() || KennzahlSchema::inRange(v.toLongLong()))
                continue;
            faults << QStringLiteral("%1, year %2: %3")
                          .arg(name, row.value(0).toString(),
                               KennzahlSchema::describe(KennzahlSchema::valueColumns()[i], v.toString(),
                                                        KennzahlSchema::Verdict::OutOfRange, true));
        }
    }
}

// Measures stored under a text that is no goal of the catalog are listed
// under no goal and never found again from the pages.
void checkGoals(Database &db, const Database::Table &measures, QStringList &warnings)
{
    QSet<QString> goals;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        goals << ScorecardKatalog::zielText(ziel, ScorecardKatalog::BrancheAgriculture)
              << ScorecardKatalog::zielText(ziel, ScorecardKatalog::BrancheMining);
    }
    const QString goal = measures.columns[measures.columnIndex(QStringLiteral("Ziel"))].name;
    const auto stored = rows(db, SchemaSql::countGrouped(goal, measures.name),
                             {}, QStringLiteral("read table %1").arg(MeasuresTable), 2);
    for (const QVariantList &row : stored) {
        const QString text = row.value(0).toString();
        if (goals.contains(text))
            continue;
        const qint64 n = row.value(1).toLongLong();
        const QString where = text.isEmpty()
            ? QStringLiteral("without a goal")
            : QStringLiteral("under the goal \"%1\", which is no goal of the catalog").arg(text);
        warnings << QStringLiteral("%1: %2 %3 %4; no page shows %5")
                        .arg(MeasuresTable)
                        .arg(n)
                        .arg(n == 1 ? QStringLiteral("measure") : QStringLiteral("measures"), where,
                             n == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    }
}

// A table that cannot be read is named for why: missing, or what the
// engine said (a lock, a refused permission). Without the connection
// nothing more can be read.
void unreadable(const QString &name, const EngineError &error, DbAdmin::CheckReport &report)
{
    if (error.kind() == EngineError::Kind::LostConnection)
        throw error;
    if (error.kind() == EngineError::Kind::MissingTable)
        report.faults << QStringLiteral("%1: the table is missing").arg(name);
    else
        report.faults << QStringLiteral("%1: the table cannot be read: %2").arg(name, QString(error.message()).replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

void checkFigureTable(Database &db, const QString &name, DbAdmin::CheckReport &report)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    {
        const Database::Table *table = &db.table(name);
        QStringList missing;
        for (const QString &column : QStringList{YearColumn} + KennzahlSchema::valueColumns()) {
            if (table->columnIndex(column) < 0)
                missing << column;
        }
        if (!missing.isEmpty()) {
            report.faults << QStringLiteral("%1: columns missing: %2").arg(name, missing.join(QStringLiteral(", ")));
            if (missing.contains(YearColumn))
                return;
        }
        const auto years = rows(db, SchemaSql::selectColumns({YearColumn}, table->name, {YearColumn}),
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
            return;
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
        if (missing.isEmpty())
            checkValueRange(db, *table, name, report.faults);
    }
}

void checkMeasuresTable(Database &db, DbAdmin::CheckReport &report)
{
    {
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
        if (!missing.contains(QStringLiteral("Ziel")))
            checkGoals(db, measures, report.warnings);
        if (!hasIndex(db))
            report.notes << QStringLiteral("%1: no index by goal and year; \"bsc-db upgrade\" adds it").arg(MeasuresTable);
    }
}

// An older database has no history yet: nothing is wrong with its data, and
// upgrade adds it.
void checkHistory(Database &db, DbAdmin::CheckReport &report)
{
    if (!db.hasHistory()) {
        report.notes << QStringLiteral("%1: the change history is missing; changes are not recorded until "
                                       "\"bsc-db upgrade\" adds it").arg(ChangeHistory::Table);
        return;
    }
    const qint64 count = db.count(db.wholeTable(ChangeHistory::Table));
    report.notes << QStringLiteral("%1: %2 recorded changes").arg(ChangeHistory::Table).arg(count);
    if (!db.serverCanRecord())
        return;
    if (!db.serverRecords())
        report.warnings << QStringLiteral("%1: the server does not record changes itself, so a change made with another "
                                          "client leaves no history; \"bsc-db upgrade\" makes it")
                               .arg(ChangeHistory::Table);
    const QStringList writers = db.historyWriters();
    if (!writers.isEmpty())
        report.warnings << QStringLiteral("%1 can be written by %2, not only by its owner: its rows could be forged; "
                                          "\"bsc-db upgrade\" takes that right away")
                               .arg(ChangeHistory::Table, writers.join(QStringLiteral(", ")));
}

} // namespace

DbAdmin::CheckReport DbAdmin::check(const QString &path)
{
    CheckReport report;
    const std::unique_ptr<Database> opened = openDatabase(path, true, TargetConnection);
    Database &db = *opened;

    if (!db.upkeep().integrityCheck.isEmpty()) {
        const auto integrity = rows(db, db.upkeep().integrityCheck, {}, QStringLiteral("check the file"));
        if (integrity.value(0).value(0).toString() != QLatin1String("ok")) {
            for (const QVariantList &line : integrity.mid(0, 20))
                report.faults << QStringLiteral("integrity: %1").arg(line.value(0).toString());
        } else {
            report.notes << QStringLiteral("integrity check: ok");
        }
    } else {
        report.notes << QStringLiteral("integrity check: kept by the database server");
    }

    for (const QString &name : ScorecardKatalog::allTables()) {
        try {
            checkFigureTable(db, name, report);
        } catch (const EngineError &error) {
            unreadable(name, error, report);
        }
    }

    try {
        checkMeasuresTable(db, report);
    } catch (const EngineError &error) {
        unreadable(MeasuresTable, error, report);
    }
    try {
        checkHistory(db, report);
    } catch (const EngineError &error) {
        unreadable(ChangeHistory::Table, error, report);
    }
    return report;
}


QStringList DbAdmin::upgrade(const QString &path)
{
    const std::unique_ptr<Database> opened = openDatabase(path, false, TargetConnection);
    Database &db = *opened;
    db.table(MeasuresTable);
    QStringList changed;
    if (!hasIndex(db)) {
        db.run(measuresIndexSql(), {}, QStringLiteral("add the index of the measures")).finish();
        changed << QStringLiteral("added the index of %1 by goal and year").arg(MeasuresTable);
    }
    if (!db.hasHistory()) {
        db.begin(QStringLiteral("add the change history"));
        try {
            db.createHistory();
            db.commit(QStringLiteral("add the change history"));
        } catch (...) {
            db.rollback();
            throw;
        }
        changed << QStringLiteral("added the change history %1").arg(ChangeHistory::Table);
    }
    changed << db.installServerRecording(ourTables());
    return changed;
}
