// The banded report engine: layout, painting in millimetres, PDF output and
// the preview that waits.
#include "fixture.h"
#include "fixture_disk.h"

#include "platform/db/dataset.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/report/reportpreview.h"
#include "fixture_services.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDir>
#include <QGraphicsScene>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

QString run(const QString &program, const QStringList &arguments)
{
    const ProgramRun r = runProgram(program, arguments);
    if (r.status != 0)
        qFatal("%s failed: %s", qPrintable(program), qPrintable(r.err));
    return r.out;
}

QString pdfText(const QString &pdf, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    return run("pdftotext", args << pdf << "-");
}

int pdfPages(const QString &pdf)
{
    const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The box of each word of page 1, in points from the paper's corner.
QMultiHash<QString, QRectF> pdfWords(const QString &pdf)
{
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QMultiHash<QString, QRectF> words;
    auto it = word.globalMatch(run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"}));
    while (it.hasNext()) {
        const auto m = it.next();
        words.insert(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
}

QString writeOne(const ReportLayout &layout, const QTemporaryDir &dir, const QString &name = "out.pdf")
{
    const QString file = dir.filePath(name);
    QString error;
    if (!writePdf({&layout}, file, &error))
        qFatal("writePdf: %s", qPrintable(error));
    return file;
}

// The whole A4 page at a resolution.
QImage renderPage(const ReportLayout &layout, int dpi)
{
    const QSizeF px = MmScale(dpi, dpi).size(ReportLayout::pageSize());
    QImage image(qCeil(px.width()), qCeil(px.height()), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintLayout(layout, painter);
    return image;
}

int countColour(const QImage &image, const QRect &area, QColor colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QFont font(double points, bool bold = false)
{
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans"});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

const QColor ActualColour(0x00, 0xFF, 0x40);
const QColor TargetColour(0xFF, 0x00, 0x00);

QStringList periodColumns(const QString &prefix)
{
    QStringList columns;
    for (const char *suffix : {"Q1", "Q2", "Q3", "Q4", "Halbjahr1", "Halbjahr2", "Jahr"})
        columns << prefix + suffix;
    return columns;
}

// A page like a report page: a title, a value row bound to a query and a
// chart of two series in the summary, and a picture.
struct SamplePage {
    ReportLayout layout{"QuickRep1"};
    ReportBand *header = new ReportBand(&layout, ReportBand::Kind::PageHeader, 10.6, "PageHeaderBand1");
    ReportBand *detail = new ReportBand(&layout, ReportBand::Kind::Detail, 34.7, "DetailBand1");
    ReportBand *summary = new ReportBand(&layout, ReportBand::Kind::Summary, 213.8, "SummaryBand1");
    ReportChart *chart = nullptr;
    ReportPicture *picture = nullptr;

    explicit SamplePage(DataSet *data)
    {
        auto *title = new ReportLabel(header, "QRLabel1", "Evaluation: Increase of the total profitability");
        title->setFont([] { QFont f = font(12, true); f.setUnderline(true); return f; }());
        title->setPosition(4.2, 2.1);
        auto *quarter = new ReportLabel(detail, "QRLabel3", "1. Quarter:");
        quarter->setFont(font(10, true));
        quarter->setPosition(2.1, 8.5);
        auto *actual = new ReportField(detail, "QRDBText1", data, "Ist_Wert_Q1");
        actual->setFont(font(8, true));
        actual->setPosition(27.5, 8.5);
        auto *target = new ReportField(detail, "QRDBText2", data, "Soll_Wert_Q1");
        target->setFont(font(8, true));
        target->setPosition(46.6, 8.5);
        chart = new ReportChart(summary, "QRChart1", data);
        chart->setPosition(-6.35, 2.1);
        chart->setSize({195.0, 63.8});
        chart->addSeries({"Actual value", ActualColour, periodColumns("Ist_Wert_")});
        chart->addSeries({"Target value", TargetColour, periodColumns("Soll_Wert_")});
        picture = new ReportPicture(summary, "QRImage1", solid({704, 382}, QColor(0xBD, 0xBD, 0xEF)));
        picture->setSize({184.4, 118.8});
        picture->setPosition(0, 91.0);
    }
};

} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;

    std::unique_ptr<Query> query(const QString &year)
    {
        auto q = std::make_unique<Query>(m_db->connection(), "Query1");
        q->setSql(QString("select * from kz_ges_renta where jahr=\"%1\"").arg(year));
        q->open();
        return q;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->setPair("kz_ges_renta", "2005", "Q1", 4711, 815);
        m_db->setPair("kz_ges_renta", "2005", "Jahr", 120, 90);
    }
    void cleanup()
    {
        m_db.reset();
    }

    void pdfContent_data();
    void pdfContent();
    void bandOrderAndHeights_data();
    void bandOrderAndHeights();
    void fontsKeepPointSize();
    void pictures_data();
    void pictures();
    void chartBars_data();
    void chartBars();
    void writePdfFailures_data();
    void writePdfFailures();
    void writePdfPages();
    void previewWaits();
    void previewSaveRefusal();
    void fullDiskLeavesNoPdf_data();
    void fullDiskLeavesNoPdf();
    void previewSaveOnAFullDisk();
    void reportCommandOnAFullDisk_data();
    void reportCommandOnAFullDisk();
    void reportCommandTakesOnlyYearsAndPerspectives_data();
    void reportCommandTakesOnlyYearsAndPerspectives();
};

void TestReportEngine::pdfContent_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("values");
    QTest::newRow("row") << "2005" << false << true;
    QTest::newRow("no row") << "1999" << false << false;
    QTest::newRow("closed query") << "2005" << true << false;
}

void TestReportEngine::pdfContent()
{
    QFETCH(QString, year);
    QFETCH(bool, closed);
    QFETCH(bool, values);
    auto q = query(year);
    if (closed)
        q->close();
    SamplePage page(q.get());
    QTemporaryDir dir;
    const QString text = pdfText(writeOne(page.layout, dir));

    for (const char *always : {"Evaluation: Increase of the total profitability", "1. Quarter:", "Actual value",
                               "Target value"})
        QVERIFY2(text.contains(always), always);
    QCOMPARE(text.contains("4711"), values);
    QCOMPARE(text.contains("815"), values);
    // The left axis is numbered up to the largest value.
    QCOMPARE(text.contains("5000"), values);
}

void TestReportEngine::bandOrderAndHeights_data()
{
    QTest::addColumn<QMarginsF>("margins");
    QTest::newRow("default margins") << QMarginsF(10, 10, 10, 10);
    QTest::newRow("other margins") << QMarginsF(25, 17.5, 5, 5);
}

void TestReportEngine::bandOrderAndHeights()
{
    QFETCH(QMarginsF, margins);
    ReportLayout layout;
    if (margins != layout.margins())
        layout.setMargins(margins);
    // Made in the wrong order on purpose.
    auto *summary = new ReportBand(&layout, ReportBand::Kind::Summary, 50.0);
    auto *detail = new ReportBand(&layout, ReportBand::Kind::Detail, 34.7);
    auto *header = new ReportBand(&layout, ReportBand::Kind::PageHeader, 10.6);
    struct Case {
        ReportBand *band;
        const char *word;
        QPointF position;
        double bandTop;
    };
    const Case cases[] = {
        {header, "Headerword", {4.2, 2.1}, 0.0},
        {detail, "Detailword", {27.5, 0.0}, 10.6},
        {summary, "Summaryword", {-6.35, 4.2}, 10.6 + 34.7},
        {summary, "Bottomword", {100.0, 45.0}, 10.6 + 34.7},
    };
    for (const Case &c : cases)
        (new ReportLabel(c.band, c.word, c.word))->setPosition(c.position);
    QCOMPARE(layout.bands(), (QList<ReportBand *>{header, detail, summary}));

    QTemporaryDir dir;
    const auto words = pdfWords(writeOne(layout, dir));
    for (const Case &c : cases) {
        QVERIFY2(words.contains(c.word), c.word);
        const QRectF box = words.value(c.word);
        const double left = (margins.left() + c.position.x()) * PointsPerMm;
        const double top = (margins.top() + c.bandTop + c.position.y()) * PointsPerMm;
        QVERIFY2(qAbs(box.left() - left) < 0.25 * PointsPerMm,
                 qPrintable(QString("%1 left %2 pt, expected %3").arg(c.word).arg(box.left()).arg(left)));
        QVERIFY2(qAbs(box.top() - top) < 0.25 * PointsPerMm,
                 qPrintable(QString("%1 top %2 pt, expected %3").arg(c.word).arg(box.top()).arg(top)));
    }
}

void TestReportEngine::fontsKeepPointSize()
{
    ReportLayout layout;
    auto *band = new ReportBand(&layout, ReportBand::Kind::Detail, 200.0);
    const QList<std::pair<QString, double>> labels = {{"Eightpt", 8}, {"Tenpt", 10}, {"Twentypt", 20}};
    double top = 0;
    for (const auto &[word, points] : labels) {
        auto *label = new ReportLabel(band, word, word);
        label->setFont(font(points));
        label->setPosition(0, top);
        top += 15;
    }
    auto *chart = new ReportChart(band, "chart");
    chart->setFont(font(12));
    chart->setSize({150, 60});
    chart->setPosition(0, 100);
    chart->addSeries({"Legendword", ActualColour, {"a"}});

    QTemporaryDir dir;
    const auto words = pdfWords(writeOne(layout, dir));
    // A line of Liberation Sans is 1.117 em high.
    const auto check = [&](const QString &word, double points) {
        QVERIFY2(words.contains(word), qPrintable(word));
        const double ratio = words.value(word).height() / points;
        QVERIFY2(ratio > 1.05 && ratio < 1.2, qPrintable(QString("%1: %2").arg(word).arg(ratio)));
    };
    for (const auto &[word, points] : labels)
        check(word, points);
    check("Legendword", 12);
}

void TestReportEngine::pictures_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QPointF>("moveTo");   // null: stays where it was made
    QTest::addColumn<QSizeF>("size");      // empty: the image's own size
    for (int dpi : {100, 254}) {
        QTest::addRow("%d dpi enabled", dpi) << dpi << true << QPointF() << QSizeF(20, 10);
        QTest::addRow("%d dpi disabled", dpi) << dpi << false << QPointF() << QSizeF(20, 10);
        QTest::addRow("%d dpi moved", dpi) << dpi << true << QPointF(60, 30) << QSizeF(20, 10);
        QTest::addRow("%d dpi own size", dpi) << dpi << true << QPointF() << QSizeF();
    }
}

void TestReportEngine::pictures()
{
    QFETCH(int, dpi);
    QFETCH(bool, enabled);
    QFETCH(QPointF, moveTo);
    QFETCH(QSizeF, size);
    const QColor red(Qt::red);
    ReportLayout layout;
    new ReportBand(&layout, ReportBand::Kind::PageHeader, 10.6);
    auto *detail = new ReportBand(&layout, ReportBand::Kind::Detail, 100);
    auto *picture = new ReportPicture(detail, "picture", solid({100, 50}, red));
    const QPointF made(5, 8);
    picture->setPosition(made);
    if (!size.isEmpty())
        picture->setSize(size);
    picture->setEnabled(enabled);
    if (!moveTo.isNull())
        picture->setPosition(moveTo);
    // Without a size: the image's pixels at its stored resolution.
    const double dotsPerMm = picture->image().dotsPerMeterX() / 1000.0;
    const QSizeF printed = size.isEmpty() ? QSizeF(100 / dotsPerMm, 50 / dotsPerMm) : size;
    QCOMPARE(picture->size(), printed);

    const QImage image = renderPage(layout, dpi);
    const MmScale mm(dpi, dpi);
    const QPointF bandTop(10, 10 + 10.6);
    const auto at = [&](QPointF place) { return image.pixelColor(mm.point(bandTop + place).toPoint()); };
    if (!enabled) {
        QCOMPARE(countColour(image, image.rect(), red), 0);
        return;
    }
    const QPointF place = moveTo.isNull() ? made : moveTo;
    const double w = printed.width();
    const double h = printed.height();
    const double in = 0.5;   // clear of the blended edge pixels
    for (QPointF p : {QPointF(in, in), QPointF(w - in, in), QPointF(in, h - in), QPointF(w - in, h - in),
                      QPointF(w / 2, h / 2)})
        QCOMPARE(at(place + p), red);
    for (QPointF p : {QPointF(-in, h / 2), QPointF(w + in, h / 2), QPointF(w / 2, -in), QPointF(w / 2, h + in)})
        QCOMPARE(at(place + p), QColor(Qt::white));
    if (!moveTo.isNull())
        QCOMPARE(at(made + QPointF(in, in)), QColor(Qt::white));
}

void TestReportEngine::chartBars_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QList<qreal>>("actual");
    QTest::addColumn<QList<qreal>>("target");
    QTest::newRow("row, empty values give no bar")
        << "2005" << QList<qreal>{4711, 0, 0, 0, 0, 0, 120} << QList<qreal>{815, 0, 0, 0, 0, 0, 90};
    QTest::newRow("no row") << "1999" << QList<qreal>(7, 0) << QList<qreal>(7, 0);
}

void TestReportEngine::chartBars()
{
    QFETCH(QString, year);
    QFETCH(QList<qreal>, actual);
    QFETCH(QList<qreal>, target);
    auto q = query(year);
    SamplePage page(q.get());
    page.picture->setEnabled(false);

    QGraphicsScene scene;
    QChart *chart = page.chart->createChart(scene);
    const auto series = chart->series();
    QCOMPARE(series.size(), 1);
    const auto sets = qobject_cast<QBarSeries *>(series[0])->barSets();
    QCOMPARE(sets.size(), 2);
    const QList<QList<qreal>> expected = {actual, target};
    const QStringList titles = {"Actual value", "Target value"};
    const QList<QColor> colours = {ActualColour, TargetColour};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(sets[i]->label(), titles[i]);
        QCOMPARE(sets[i]->color(), colours[i]);
        QList<qreal> values;
        for (int k = 0; k < sets[i]->count(); ++k)
            values << sets[i]->at(k);
        QCOMPARE(values, expected[i]);
    }

    // The bars on the page: inside the plot area, only the bars have the
    // series' colours.
    const int dpi = 100;
    const MmScale mm(dpi, dpi);
    const QRectF plot = chart->plotArea();
    const QPointF chartTop = QPointF(10, 10 + 10.6 + 34.7) + page.chart->position();
    const QRect area(mm.point(chartTop + plot.topLeft() * 25.4 / ReportChart::Resolution).toPoint(),
                     mm.point(chartTop + plot.bottomRight() * 25.4 / ReportChart::Resolution).toPoint());
    const QImage image = renderPage(page.layout, dpi);
    for (int i = 0; i < 2; ++i) {
        const bool bars = expected[i] != QList<qreal>(7, 0);
        QCOMPARE(countColour(image, area, colours[i]) > 0, bars);
    }
}

void TestReportEngine::writePdfFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("message");
    QTest::newRow("existing file") << "exists.pdf" << "Ist_Wert_Q1" << "already exists";
    QTest::newRow("missing folder") << "nowhere/new.pdf" << "Ist_Wert_Q1" << "does not exist";
    QTest::newRow("unknown column") << "new.pdf" << "Ist_Wert_Q9" << "Ist_Wert_Q9";
}

void TestReportEngine::writePdfFailures()
{
    QFETCH(QString, name);
    QFETCH(QString, column);
    QFETCH(QString, message);
    auto q = query("2005");
    SamplePage page(q.get());
    page.layout.findChild<ReportField *>("QRDBText1")->setColumn(column);
    QTemporaryDir dir;
    {
        QFile keep(dir.filePath("exists.pdf"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("keep me");
    }

    QString error;
    QVERIFY(!writePdf({&page.layout}, dir.filePath(name), &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QFile keep(dir.filePath("exists.pdf"));
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("keep me"));
    // Nothing half-written stays behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"exists.pdf"});
}

void TestReportEngine::writePdfPages()
{
    auto q = query("2005");
    SamplePage first(q.get());
    ReportLayout second("QuickRep2");
    new ReportLabel(new ReportBand(&second, ReportBand::Kind::PageHeader, 10.6), "QRLabel24", "Secondpage");
    QTemporaryDir dir;
    const QString file = dir.filePath("report.pdf");
    QString error;
    QVERIFY2(writePdf({&first.layout, &second}, file, &error), qPrintable(error));
    QCOMPARE(pdfPages(file), 2);
    QVERIFY(pdfText(file, 1).contains("4711"));
    QVERIFY(!pdfText(file, 1).contains("Secondpage"));
    QVERIFY(pdfText(file, 2).contains("Secondpage"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"report.pdf"});
}

void TestReportEngine::previewWaits()
{
    auto q = query("2005");
    SamplePage page(q.get());
    QTemporaryDir dir;
    const QString saved = dir.filePath("saved.pdf");
    TestServices services;
    services.files << saved;
    ReportPreview preview(services);
    ReportLayout other;

    // What the timer saw while the preview was open.
    int ticks = 0;
    QString title;
    bool nonModal = false;
    bool nothingModal = false;
    int pages = -1;
    int saveIndex = -1;
    int printIndex = -1;
    bool secondRefused = false;
    bool stillOpen = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
        QPrintPreviewDialog *dialog = preview.current();
        if (!dialog)
            return;
        ++ticks;
        if (ticks == 1) {
            title = dialog->windowTitle();
            nonModal = dialog->isVisible() && dialog->windowModality() == Qt::NonModal;
            nothingModal = QApplication::activeModalWidget() == nullptr;
            pages = dialog->findChild<QPrintPreviewWidget *>()->pageCount();
            const auto actions = dialog->findChild<QToolBar *>()->actions();
            for (int i = 0; i < actions.size(); ++i) {
                if (actions[i]->text() == "Print")
                    printIndex = i;
                if (actions[i]->text() == "Save as PDF...")
                    saveIndex = i;
            }
            secondRefused = !preview.show(other, {});
            actions.value(saveIndex)->trigger();
        } else if (ticks == 3) {
            stillOpen = preview.isOpen();
            dialog->close();
        }
    });
    timer.start(0);
    QVERIFY(preview.show(page.layout, {"Report - page 1", "evaluation.pdf", nullptr}));
    timer.stop();

    QVERIFY(ticks >= 3);
    QVERIFY(stillOpen);
    QVERIFY(!preview.isOpen());
    QCOMPARE(title, QString("Report - page 1"));
    QVERIFY(nonModal);
    QVERIFY(nothingModal);
    QCOMPARE(pages, 1);
    QVERIFY(printIndex >= 0);
    QCOMPARE(saveIndex, printIndex + 1);
    QVERIFY(secondRefused);
    const QList<FileRequest> &asked = services.fileRequests();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].folder.endsWith("/evaluation.pdf"), qPrintable(asked[0].folder));
    QVERIFY(QFileInfo(asked[0].folder).isAbsolute());
    QCOMPARE(asked[0].mode, FileRequest::Mode::Save);
    QVERIFY(pdfText(saved).contains("4711"));
}

void TestReportEngine::previewSaveRefusal()
{
    ReportLayout layout;
    new ReportLabel(new ReportBand(&layout, ReportBand::Kind::Detail, 20), "label", "Text");
    QTemporaryDir dir;
    const QString existing = dir.filePath("taken.pdf");
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    TestServices services;
    services.files = {"", existing};   // cancelled, then a file that exists
    const QList<Asker::Question> &messages = services.questions();
    ReportPreview preview(services);

    qsizetype afterCancel = -1;
    QTimer driver;   // goes with the test, however it ends
    driver.setSingleShot(true);
    connect(&driver, &QTimer::timeout, this, [&] {
        QPrintPreviewDialog *dialog = preview.current();
        QAction *save = dialog->findChild<QAction *>("savePdfAction");
        save->trigger();
        afterCancel = messages.size();
        save->trigger();
        dialog->close();
    });
    driver.start(0);
    QVERIFY(preview.show(layout, {"Preview", "taken.pdf", nullptr}));

    QVERIFY(services.files.isEmpty());
    QCOMPARE(afterCancel, 0);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].text.contains("already exists"), qPrintable(messages[0].text));
    QCOMPARE(messages[0].caption, QString("Preview"));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
}

namespace {

ProgramRun bscReport(const QString &database, const QStringList &args)
{
    return runProgram(QStringLiteral(BSC_EXE), QStringList{QStringLiteral("--report")} + args, onDatabase(database));
}

void freeRows()
{
    QTest::addColumn<int>("freeKiB");
    for (int kib : {4, 24, 56})
        QTest::addRow("%d KiB free", kib) << kib;
}

} // namespace

// A full disk never leaves a truncated PDF behind, and says why.
void TestReportEngine::fullDiskLeavesNoPdf_data()
{
    QTest::addColumn<int>("eighths");   // of the PDF's size that is free
    for (int eighths : {0, 1, 4})
        QTest::addRow("%d/8 of the PDF free", eighths) << eighths;
}

void TestReportEngine::fullDiskLeavesNoPdf()
{
    QFETCH(int, eighths);
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    auto q = query("2005");
    SamplePage page(q.get());
    QTemporaryDir dir;
    const qint64 size = QFileInfo(writeOne(page.layout, dir)).size() * 2;
    QVERIFY(disk.leaveFree(size * eighths / 8));
    QString error;
    QVERIFY(!writePdf({&page.layout, &page.layout}, disk.filePath("voll.pdf"), &error));
    QVERIFY2(error.contains("No space left on device") && error.contains("voll.pdf"), qPrintable(error));
    QCOMPARE(disk.files(), QStringList());
}

void TestReportEngine::previewSaveOnAFullDisk()
{
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    auto q = query("2005");
    SamplePage page(q.get());
    QVERIFY(disk.leaveFree(8 * 1024));
    TestServices services;
    services.files << disk.filePath("vorschau.pdf");
    const QList<Asker::Question> &messages = services.questions();
    ReportPreview preview(services);
    QTimer::singleShot(0, this, [&] {
        QPrintPreviewDialog *dialog = preview.current();
        dialog->findChild<QAction *>("savePdfAction")->trigger();
        dialog->close();
    });
    QVERIFY(preview.show(page.layout, {"Preview", "vorschau.pdf", nullptr}));
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].text.contains("No space left on device"), qPrintable(messages[0].text));
    QCOMPARE(disk.files(), QStringList());
}

void TestReportEngine::reportCommandOnAFullDisk_data() { freeRows(); }

void TestReportEngine::reportCommandOnAFullDisk()
{
    QFETCH(int, freeKiB);
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    QVERIFY(disk.leaveFree(freeKiB * 1024));
    const ProgramRun r = bscReport(m_db->path(), {"0", "2005", disk.filePath("bericht.pdf")});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("No space left on device"), qPrintable(r.err));
    QCOMPARE(disk.files(), QStringList());
}

// The report is of one perspective and one year of four digits; anything
// else is refused before a file is written.
void TestReportEngine::reportCommandTakesOnlyYearsAndPerspectives_data()
{
    QTest::addColumn<QString>("perspective");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("statement after the year") << "0" << "2005; drop" << 2 << "not a year of four digits";
    QTest::newRow("empty year") << "0" << "" << 2 << "not a year of four digits";
    QTest::newRow("five digits") << "0" << "99999" << 2 << "not a year of four digits";
    QTest::newRow("wide digits") << "0" << "２００５" << 2 << "not a year of four digits";
    QTest::newRow("condition in the year") << "0" << "2005\" and Ist_Wert_Q1=\"16" << 2 << "not a year of four digits";
    QTest::newRow("escape in the year") << "0" << "20\x1b[2J05" << 2 << "\\x1b[2J";
    QTest::newRow("blank before the perspective") << " 1" << "2005" << 2 << "unknown perspective";
    QTest::newRow("sign before the perspective") << "+1" << "2005" << 2 << "unknown perspective";
    QTest::newRow("two digits") << "01" << "2005" << 2 << "unknown perspective";
    QTest::newRow("perspective 4") << "4" << "2005" << 2 << "unknown perspective";
    QTest::newRow("a year without rows") << "3" << "1990" << 0 << "no row for the year \"1990\"";
    QTest::newRow("a name") << "Financial" << "2005" << 0 << "";
}

void TestReportEngine::reportCommandTakesOnlyYearsAndPerspectives()
{
    QFETCH(QString, perspective);
    QFETCH(QString, year);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString file = dir.filePath("bericht.pdf");
    const ProgramRun r = bscReport(m_db->path(), {perspective, year, file});
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY2(!r.err.contains("\x1b"), qPrintable(r.err));
    QCOMPARE(QFile::exists(file), status == 0);
    if (status == 0)
        QCOMPARE(pdfPages(file), 2);
}

QTEST_MAIN(TestReportEngine)
#include "tst_report_engine.moc"
