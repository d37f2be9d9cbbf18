// The database layer against raw prepared QSqlQuery calls, on a database
// file or, with --postgres=ADDRESS (a server's maintenance database, for
// example postgresql:///postgres?host=/tmp/sock&user=postgres), on a
// database of its own on that server:
//   twelve_lookups: the year pairs of the twelve goals, as the Perspectives
//                   page reads them;
//   save:           one changed value written by key, durably, one commit;
//                   with its history row (layer) and, as the baseline of
//                   the history's cost, without a history (layer_no_history).
#include "benchmain.h"

#include "model/alias.h"
#include "model/katalog.h"
#include "platform/db/alias.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "core/dbadmin.h"
#include "core/history.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const QString Year = QStringLiteral("2005");

void lookups(benchmark::State &state)
{
    Query query(benchConnection(), QStringLiteral("Query2"));
    for (auto _ : state) {
        qint64 sum = 0;
        for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
            query.close();
            query.setSql(QStringLiteral("select ist_wert_jahr,soll_wert_jahr from ") + ScorecardKatalog::table(ziel, 1)
                         + QStringLiteral(".db where jahr=\"") + Year + QStringLiteral("\""));
            query.open();
            sum += query.asInteger(QStringLiteral("ist_wert_jahr")) + query.asInteger(QStringLiteral("soll_wert_jahr"));
        }
        benchmark::DoNotOptimize(sum);
    }
}

void raw(benchmark::State &state) { rawTwelveLookups(state, Year); }

// A value typed and saved: the row compared with what was shown, written,
// read again.
void saveThrough(benchmark::State &state, Connection &connection)
{
    Table table(connection, QStringLiteral("Table1"));
    table.setTableName(QStringLiteral("kz_kap_quote.db"));
    table.open();
    table.locate(QStringLiteral("jahr"), Year);
    int value = 0;
    for (auto _ : state) {
        table.edit();
        table.setText(QStringLiteral("Ist_Wert_Q1"), QString::number(++value % 1000));
        table.post();
    }
}

// The same save with the change history switched off.
void layerSave(benchmark::State &state) { saveThrough(state, benchConnection()); }

void layerSaveWithoutHistory(benchmark::State &state, const QString &target)
{
    Connection plain(ScorecardAlias::settings(), {ScorecardAlias::settings().createHint, {}});
    benchConnection().close();   // one writer at a time, as in the program
    plain.open(target);
    saveThrough(state, plain);
}

void rawSave(benchmark::State &state) { rawKeyFigureSave(state, Year); }

// The maintenance connection that makes and drops the server's database.
struct ServerDatabase {
    explicit ServerDatabase(const QString &maintenance) : m_maintenance(maintenance)
    {
        Target t = Target::parse(maintenance);
        m_name = QStringLiteral("bsc_bench_%1").arg(QCoreApplication::applicationPid());
        run(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_name));
        t.database = m_name;
        address = t.display();
    }
    ~ServerDatabase()
    {
        run(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
    }
    void run(const QString &sql)
    {
        std::unique_ptr<Database> db = Database::connect(m_maintenance, false, QStringLiteral("bench-maintenance"));
        db->run(sql, {}, QStringLiteral("prepare the benchmark")).finish();
    }
    QString address;

private:
    QString m_maintenance;
    QString m_name;
};

} // namespace

int main(int argc, char **argv)
{
    QString server;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--postgres="))
            server = QString::fromUtf8(arg.mid(11));
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QCoreApplication app(restCount, rest.data());
    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> serverDatabase;
    QString target = dir.filePath(QStringLiteral("bench.sqlite"));
    if (!server.isEmpty()) {
        serverDatabase = std::make_unique<ServerDatabase>(server);
        target = serverDatabase->address;
    }
    DbAdmin::create(target, true, 2013);
    // The alias points there, as for the program; a closed connection opens it again.
    qputenv(qPrintable(ScorecardAlias::settings().variable), target.toUtf8());
    const BenchConnection connection;
    benchConnection().open(target);
    std::printf("database: %s\n", qPrintable(benchConnection().database().path()));

    benchmark::RegisterBenchmark("twelve_lookups/layer", lookups)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("twelve_lookups/raw", raw)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("save/layer", layerSave)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("save/layer_no_history",
                                 [target](benchmark::State &state) { layerSaveWithoutHistory(state, target); })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("save/raw", rawSave)->Unit(benchmark::kMicrosecond);
    return runWithRatios(restCount, rest.data(),
                         {{QStringLiteral("twelve_lookups/layer"), QStringLiteral("twelve_lookups/raw")},
                          {QStringLiteral("save/layer"), QStringLiteral("save/raw")},
                          {QStringLiteral("save/layer"), QStringLiteral("save/layer_no_history")}});
}
