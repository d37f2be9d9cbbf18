// Importing the old program's tables: 25 years of all fourteen tables and
// 20,000 measures, read and checked, and read, checked and written into a
// new database. The baselines read the same files with pxlib alone, and
// read them with pxlib and write the same rows with raw prepared
// statements in one transaction.
#include "benchmain.h"

#include "core/dbadmin.h"
#include "model/alias.h"
#include "core/legacyimport.h"
#include "core/memofile.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "fixture_paradox.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" {
#include <paradox.h>
}

namespace {

struct Setup {
    QTemporaryDir dir;
    QString folder;
    QList<QByteArray> files;
    Setup()
    {
        folder = dir.filePath(QStringLiteral("old"));
        QDir().mkpath(folder);
        OldTables::writeFigures(folder, 2003, 2027);
        OldTables::writeMeasures(folder, "ma\xc3\x9fnahmen", OldTables::sampleMeasures(20000), 1252);
        for (const QString &name : QDir(folder).entryList({QStringLiteral("*.db"), QStringLiteral("*.DB")}, QDir::Files))
            files << QFile::encodeName(QDir(folder).filePath(name));
    }
};

Setup &setup()
{
    static Setup s;
    return s;
}

// Every field of every record through pxlib's own conversions; memo fields
// as the bytes in the record.
void BM_PxlibAlone(benchmark::State &state)
{
    PX_boot();
    for (auto _ : state) {
        long sum = 0;
        for (const QByteArray &file : setup().files) {
            pxdoc_t *px = PX_new();
            if (PX_open_file(px, file.constData()) < 0) {
                state.SkipWithError("PX_open_file failed");
                return;
            }
            QByteArray record(PX_get_recordsize(px), '\0');
            const int fields = PX_get_num_fields(px);
            for (int r = 0; r < PX_get_num_records(px); ++r) {
                PX_get_record(px, r, record.data());
                char *at = record.data();
                for (int i = 0; i < fields; ++i) {
                    const pxfield_t *f = PX_get_field(px, i);
                    long l = 0;
                    short s = 0;
                    double d = 0;
                    char *text = nullptr;
                    switch (f->px_ftype) {
                    case pxfAlpha:
                        if (PX_get_data_alpha(px, at, f->px_flen, &text) > 0) {
                            sum += long(strlen(text));
                            px->free(px, text);
                        }
                        break;
                    case pxfShort: PX_get_data_short(px, at, f->px_flen, &s); sum += s; break;
                    case pxfLong: case pxfAutoInc: case pxfDate: PX_get_data_long(px, at, f->px_flen, &l); sum += l; break;
                    case pxfNumber: case pxfCurrency: case pxfTimestamp: PX_get_data_double(px, at, f->px_flen, &d); sum += long(d); break;
                    case pxfBCD:
                        if (PX_get_data_bcd(px, reinterpret_cast<unsigned char *>(at), f->px_fdc, &text) > 0) {
                            sum += long(strlen(text));
                            px->free(px, text);
                        }
                        break;
                    default: sum += at[0];
                    }
                    at += f->px_flen;
                }
            }
            PX_close(px);
            PX_delete(px);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PxlibAlone)->Unit(benchmark::kMillisecond);

// One field through pxlib's conversions as the value a statement binds;
// memo texts through the memo reader (pxlib's own aborts on this system).
QVariant pxlibValue(pxdoc_t *px, const pxfield_t *f, char *at, const MemoFile &memo)
{
    long l = 0;
    short s = 0;
    double d = 0;
    char *text = nullptr;
    switch (f->px_ftype) {
    case pxfAlpha:
        if (PX_get_data_alpha(px, at, f->px_flen, &text) > 0) {
            const QString t = QString::fromLatin1(text);
            px->free(px, text);
            return t;
        }
        return QVariant();
    case pxfShort: return PX_get_data_short(px, at, f->px_flen, &s) > 0 ? QVariant(int(s)) : QVariant();
    case pxfLong: case pxfAutoInc: case pxfDate:
        return PX_get_data_long(px, at, f->px_flen, &l) > 0 ? QVariant(qint64(l)) : QVariant();
    case pxfNumber: case pxfCurrency: case pxfTimestamp:
        return PX_get_data_double(px, at, f->px_flen, &d) > 0 ? QVariant(d) : QVariant();
    case pxfBCD:
        if (PX_get_data_bcd(px, reinterpret_cast<unsigned char *>(at), f->px_fdc, &text) > 0) {
            const QString t = QString::fromLatin1(text);
            px->free(px, text);
            return t;
        }
        return QVariant();
    case pxfMemoBLOb: case pxfFmtMemoBLOb: {
        QByteArray bytes;
        QString why;
        memo.read(at, f->px_flen, &bytes, &why);
        return bytes.isNull() ? QVariant() : QVariant(QString::fromLatin1(bytes));
    }
    default:
        return QVariant();
    }
}

// The same rows read by pxlib and written by raw prepared statements in
// one transaction: an UPDATE per year of a key-figure table, an INSERT per
// measure.
void BM_PxlibRawWrite(benchmark::State &state)
{
    PX_boot();
    int n = 0;
    const QStringList tables = ScorecardKatalog::allTables();
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = setup().dir.filePath(QStringLiteral("raw%1.sqlite").arg(++n));
        DbAdmin::create(target, false, 2026);
        state.ResumeTiming();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(target);
            db.open();
            QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
            for (const QByteArray &file : setup().files) {
                const QString name = QFileInfo(QFile::decodeName(file)).completeBaseName().toLower();
                const bool figures = tables.contains(name);
                QStringList set;
                for (const QString &c : KennzahlSchema::valueColumns())
                    set << QStringLiteral("\"%1\"=?").arg(c);
                QSqlQuery write(db);
                write.prepare(figures ? QStringLiteral("UPDATE \"%1\" SET %2 WHERE \"Jahr\"=?").arg(name, set.join(QLatin1Char(',')))
                                      : QStringLiteral("INSERT INTO \"maßnahmen\" (\"Nr\", \"Maßnahme\", \"Prozesse\", "
                                                       "\"Gültig_ab\", \"Gültig_bis\", \"Verantwortlicher\", "
                                                       "\"Erfüllungsgrad_in_%\", \"Jahr\", \"Ziel\") VALUES (?,?,?,?,?,?,?,?,?)"));
                const MemoFile memo(figures ? QByteArray() : file.left(file.size() - 3) + ".MB");
                pxdoc_t *px = PX_new();
                if (PX_open_file(px, file.constData()) < 0) {
                    state.SkipWithError("PX_open_file failed");
                    return;
                }
                QByteArray record(PX_get_recordsize(px), '\0');
                const int fields = PX_get_num_fields(px);
                for (int r = 0; r < PX_get_num_records(px); ++r) {
                    PX_get_record(px, r, record.data());
                    char *at = record.data();
                    QVariantList values;
                    for (int i = 0; i < fields; ++i) {
                        const pxfield_t *f = PX_get_field(px, i);
                        values << pxlibValue(px, f, at, memo);
                        at += f->px_flen;
                    }
                    if (figures)
                        values.move(0, values.size() - 1);   // the year goes last
                    else
                        values = values.mid(0, 9);
                    for (int i = 0; i < values.size(); ++i)
                        write.bindValue(i, values[i]);
                    write.exec();
                }
                PX_close(px);
                PX_delete(px);
            }
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PxlibRawWrite)->Unit(benchmark::kMillisecond);

void BM_LegacyPlan(benchmark::State &state)
{
    for (auto _ : state) {
        const LegacyImport::Plan plan = LegacyImport::plan(setup().folder);
        if (!plan.ok() || plan.measures.size() != 20000) {
            state.SkipWithError("the plan has faults");
            return;
        }
        benchmark::DoNotOptimize(plan.measures.size());
    }
}
BENCHMARK(BM_LegacyPlan)->Unit(benchmark::kMillisecond);

void BM_LegacyImport(benchmark::State &state)
{
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = setup().dir.filePath(QStringLiteral("target%1.sqlite").arg(++n));
        DbAdmin::create(target, false, 2026);
        std::unique_ptr<Database> db = Database::connect(target, false, QStringLiteral("bench-legacy"),
                                                         ScorecardAlias::databaseSettings());
        state.ResumeTiming();
        const LegacyImport::Plan plan = LegacyImport::plan(setup().folder);
        LegacyImport::apply(*db, plan, 2026);
        state.PauseTiming();
        db.reset();
        QFile::remove(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LegacyImport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setup();
    return runWithRatios(argc, argv,
                         {{QStringLiteral("BM_LegacyPlan"), QStringLiteral("BM_PxlibAlone")},
                          {QStringLiteral("BM_LegacyImport"), QStringLiteral("BM_PxlibAlone")},
                          {QStringLiteral("BM_LegacyImport"), QStringLiteral("BM_PxlibRawWrite")}});
}
