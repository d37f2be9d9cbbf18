// The Measures page and editor on a measures table of many rows: the
// display step, opening the editor, "Maßnahme bearbeiten...", save and
// delete, each against the raw statements it needs, measured in the same
// run. --measures=N sets the table's size (default 100000); the peak
// resident memory is printed at the end, to compare two sizes.
#include "benchmain.h"
#include "benchwindows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "dialogs/eingabe_ma.h"
#include "model/katalog.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "core/dbadmin.h"
#include "views/measures.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

const QString Year = QStringLiteral("2005");
int s_goalNr = 0;   // the number of a measure of the page's goal and year

// N measures spread over every goal and year, with texts of a typical length.
void fill(const QString &path, int count)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Prozesse\", \"Gültig_ab\", \"Gültig_bis\", "
                                  "\"Verantwortlicher\", \"Erfüllungsgrad_in_%\", \"Jahr\", \"Ziel\") VALUES (?,?,?,?,?,?,?,?)"));
    const QStringList years = ScorecardKatalog::years() << QStringLiteral("2014");
    for (int i = 0; i < count; ++i) {
        const int ziel = i % ScorecardKatalog::ZielCount + 1;
        const QString year = years[(i / ScorecardKatalog::ZielCount) % years.size()];
        insert.addBindValue(QStringLiteral("Maßnahme %1: Abläufe prüfen, Verantwortliche benennen und den Fortschritt "
                                           "monatlich im Führungskreis berichten").arg(i));
        insert.addBindValue(QStringLiteral("Controlling\nRechnungswesen\nVertrieb"));
        insert.addBindValue(QStringLiteral("01.01.") + year);
        insert.addBindValue(QStringLiteral("31.12.") + year);
        insert.addBindValue(QStringLiteral("Fr. Albers"));
        insert.addBindValue(QString::number(i % 101));
        insert.addBindValue(year);
        insert.addBindValue(ScorecardKatalog::zielText(ziel, 1));
        if (!insert.exec())
            qFatal("fill: %s", qPrintable(insert.lastError().text()));
    }
    db.commit();
    insert = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

// The windows on the page's first goal and year 2005, with every question
// answered OK.
struct Windows {
    Services services = benchServices();
    Windows()
    {
        Start::createWindows(services);
        Form1->ComboBox6->choose(1);
        Form1->ComboBox7->choose(1);
        Form1->Button3->click();
        MeasuresPage *page = Form1->measuresPage();
        page->ComboBox4->choose(0);
        page->ComboBox5->choose(0);
        page->ComboBox8->choose(6);
        page->ComboBox9->choose(2);
        page->Button5->click();
    }
    ~Windows()
    {
        Start::destroyWindows();
    }
};

// The raw statements, prepared once.
struct Raw {
    QSqlQuery pair, list, byNr, update, remove, insert;
    Raw()
        : pair(benchConnection().database().connection()), list(benchConnection().database().connection()),
          byNr(benchConnection().database().connection()), update(benchConnection().database().connection()),
          remove(benchConnection().database().connection()), insert(benchConnection().database().connection())
    {
        for (QSqlQuery *q : {&pair, &list, &byNr})
            q->setForwardOnly(true);
        pair.prepare(QStringLiteral("SELECT \"Ist_Wert_Jahr\",\"Soll_Wert_Jahr\" FROM \"kz_ges_renta\" WHERE \"Jahr\"=?"));
        list.prepare(QStringLiteral("SELECT * FROM \"maßnahmen\" WHERE \"Ziel\"=? AND \"Jahr\"=?"));
        byNr.prepare(QStringLiteral("SELECT * FROM \"maßnahmen\" WHERE \"Nr\"=?"));
        update.prepare(QStringLiteral("UPDATE \"maßnahmen\" SET \"Verantwortlicher\"=? WHERE \"Nr\"=?"));
        remove.prepare(QStringLiteral("DELETE FROM \"maßnahmen\" WHERE \"Nr\"=?"));
        insert.prepare(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Jahr\", \"Ziel\") VALUES ('Neu', ?, ?)"));
    }
    static qint64 readAll(QSqlQuery &q)
    {
        q.exec();
        qint64 n = 0;
        while (q.next())
            n += q.value(0).toLongLong() + q.value(1).toString().size();
        q.finish();
        return n;
    }
    // What the page's display step reads: the pair and the goal's measures.
    qint64 display()
    {
        pair.bindValue(0, Year);
        list.bindValue(0, ScorecardKatalog::zielText(1, 1));
        list.bindValue(1, Year);
        return readAll(pair) + readAll(list);
    }
    qint64 measure(int nr)
    {
        byNr.bindValue(0, nr);
        return readAll(byNr);
    }
};

void pageDisplay(benchmark::State &state)
{
    Windows windows;
    for (auto _ : state)
        Form1->measuresPage()->Button5->click();
}

void rawDisplay(benchmark::State &state)
{
    Raw raw;
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.display());
}

void openEditor(benchmark::State &state)
{
    Windows windows;
    for (auto _ : state)
        Form1->measuresPage()->Button6->click();
}

void rawOpen(benchmark::State &state)
{
    Raw raw;
    for (auto _ : state) {
        raw.list.bindValue(0, ScorecardKatalog::zielText(1, 1));
        raw.list.bindValue(1, Year);
        benchmark::DoNotOptimize(Raw::readAll(raw.list));
    }
}

void changeMeasure(benchmark::State &state)
{
    Windows windows;
    Form1->measuresPage()->Button6->click();
    for (auto _ : state) {
        eingabe_m->Button_M_bearbeitenClick();
        state.PauseTiming();
        // Back to the list with the table closed, as after opening.
        eingabe_m->Table1->close();
        eingabe_m->DataSource1->setDataSet(eingabe_m->Query1);
        state.ResumeTiming();
    }
}

// The same through the data layer alone, without the bound controls: the
// table opened, the measure found by its number, put into editing.
void changeLayer(benchmark::State &state)
{
    Table table(benchConnection(), QStringLiteral("Table1"));
    table.setTableName(QStringLiteral("maßnahmen.DB"));
    for (auto _ : state) {
        table.open();
        table.locate(QStringLiteral("Nr"), QString::number(s_goalNr));
        table.edit();
        table.close();
    }
}

void rawChange(benchmark::State &state)
{
    Raw raw;
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.measure(s_goalNr));
}

void saveMeasure(benchmark::State &state)
{
    Windows windows;
    Form1->measuresPage()->Button6->click();
    eingabe_m->Button_M_bearbeitenClick();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        eingabe_m->Button_M_bearbeitenClick();
        eingabe_m->DBEdit4->link()->write(QStringLiteral("Hr. Brandt %1").arg(++i));
        state.ResumeTiming();
        eingabe_m->speichernClick();
    }
}

// A save writes the row, reads it again, runs the page's display step and
// reads the list again.
void rawSave(benchmark::State &state)
{
    Raw raw;
    int i = 0;
    for (auto _ : state) {
        raw.update.bindValue(0, QStringLiteral("Hr. Brandt %1").arg(++i));
        raw.update.bindValue(1, s_goalNr);
        raw.update.exec();
        benchmark::DoNotOptimize(raw.measure(s_goalNr) + raw.display() + raw.display());
    }
}

void deleteMeasure(benchmark::State &state)
{
    Windows windows;
    MeasuresPage *page = Form1->measuresPage();
    for (auto _ : state) {
        state.PauseTiming();
        benchConnection().database().run(QStringLiteral("INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Jahr\", \"Ziel\") VALUES ('Neu', ?, ?)"),
                              {Year, ScorecardKatalog::zielText(1, 1)}, QStringLiteral("add")).finish();
        page->Button6->click();   // the list ends on the new measure
        state.ResumeTiming();
        eingabe_m->loeschenClick();
    }
}

// A delete reads the measure by its number, deletes it, reads the list
// again and runs the page's display step.
void rawDelete(benchmark::State &state)
{
    Raw raw;
    for (auto _ : state) {
        state.PauseTiming();
        raw.insert.bindValue(0, Year);
        raw.insert.bindValue(1, ScorecardKatalog::zielText(1, 1));
        raw.insert.exec();
        const int nr = raw.insert.lastInsertId().toInt();
        state.ResumeTiming();
        raw.measure(nr);
        raw.remove.bindValue(0, nr);
        raw.remove.exec();
        benchmark::DoNotOptimize(raw.display() + raw.display());
    }
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    int count = 100000;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--measures="))
            count = arg.mid(11).toInt();
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(restCount, rest.data());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    DbAdmin::create(path, false, 2013);
    fill(path, count);
    qputenv("PROJEKT_BSC_DATABASE", path.toUtf8());
    Start::setUp();
    const BenchConnection connection;
    {
        QSqlQuery q(benchConnection().database().connection());
        q.exec(QStringLiteral("SELECT min(\"Nr\") FROM \"maßnahmen\" WHERE \"Ziel\"='Steigerung der Gesamtrentabilität' "
                              "AND \"Jahr\"='2005'"));
        q.next();
        s_goalNr = q.value(0).toInt();
    }
    std::printf("measures: %d\n", count);

    benchmark::RegisterBenchmark("measures/page_display", pageDisplay)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/raw_display", rawDisplay)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/open_editor", openEditor)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/raw_open", rawOpen)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/change", changeMeasure)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/change_layer_only", changeLayer)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/raw_change", rawChange)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/save", saveMeasure)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/raw_save", rawSave)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/delete", deleteMeasure)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("measures/raw_delete", rawDelete)->Unit(benchmark::kMicrosecond);
    const int status = runWithRatios(restCount, rest.data(),
                                     {{QStringLiteral("measures/page_display"), QStringLiteral("measures/raw_display")},
                                      {QStringLiteral("measures/open_editor"), QStringLiteral("measures/raw_open")},
                                      {QStringLiteral("measures/change"), QStringLiteral("measures/raw_change")},
                                      {QStringLiteral("measures/change_layer_only"), QStringLiteral("measures/raw_change")},
                                      {QStringLiteral("measures/save"), QStringLiteral("measures/raw_save")},
                                      {QStringLiteral("measures/delete"), QStringLiteral("measures/raw_delete")}});
    std::printf("peak resident memory: %ld kB\n", peakKilobytes());
    return status;
}
