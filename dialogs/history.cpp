#include "dialogs/history.h"

#include "core/safefile.h"
#include "model/katalog.h"
#include "model/startwahl.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportpaint.h"
#include "platform/services.h"
#include "platform/ui/controls.h"
#include "platform/ui/guard.h"
#include "platform/ui/selector.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QStandardPaths>
#include <QValueAxis>

namespace {

using namespace Controls;

const QColor LightColours[4] = {QColor(0xE0, 0xDF, 0xE3), QColor(0xFF, 0x00, 0x00), QColor(0xF7, 0xBC, 0x5B),
                                QColor(0x00, 0xFF, 0x00)};
const QColor ActualColour(0x00, 0xB0, 0x30);
const QColor TargetColour(0xFF, 0x00, 0x00);

QString valueText(const std::optional<qint32> &value) { return value ? QString::number(*value) : QString(); }

// The values of one series as lines between neighbouring years that have
// one, so that a year without a value stays a gap; dots mark every value.
void addSeries(QChart *chart, const QVector<History::Year> &years, bool actual, const QString &name)
{
    const QColor colour = actual ? ActualColour : TargetColour;
    auto *dots = new QScatterSeries;
    dots->setName(name);
    dots->setColor(colour);
    dots->setBorderColor(colour);
    dots->setMarkerSize(7);
    QLineSeries *line = nullptr;
    QList<QLineSeries *> lines;
    int previous = -1;
    for (const History::Year &y : years) {
        const std::optional<qint32> &v = actual ? y.ist : y.soll;
        const int year = y.year.toInt();
        if (!v) {
            line = nullptr;
            continue;
        }
        if (!line || year != previous + 1) {
            line = new QLineSeries;
            line->setPen(QPen(colour, 2));
            lines << line;
        }
        line->append(year, *v);
        dots->append(year, *v);
        previous = year;
    }
    for (QLineSeries *l : lines)
        chart->addSeries(l);
    chart->addSeries(dots);
    for (QLineSeries *l : lines) {
        for (QLegendMarker *marker : chart->legend()->markers(l))
            marker->setVisible(false);
    }
}

} // namespace

QString CopyTable::copyText() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty()) {
        for (int r = 0; r < rowCount(); ++r)
            rows << r;
    }
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    QStringList heads;
    for (int c = 0; c < columnCount(); ++c)
        heads << horizontalHeaderItem(c)->text();
    lines << heads.join(QLatin1Char('\t'));
    for (int r : rows) {
        QStringList cells;
        for (int c = 0; c < columnCount(); ++c)
            cells << (item(r, c) ? item(r, c)->text() : QString());
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CopyTable::copy() const { QApplication::clipboard()->setText(copyText()); }

void CopyTable::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

LightStrip::LightStrip(QChart *chart, QWidget *parent) : QWidget(parent), m_chart(chart) {}

void LightStrip::paintCells(QPainter &painter, const QRectF &area, double xScale) const
{
    if (m_years.isEmpty())
        return;
    const double first = m_years.first().year.toInt();
    const double step = m_years.size() > 1 ? (m_chart->mapToPosition(QPointF(first + 1, 0)).x()
                                              - m_chart->mapToPosition(QPointF(first, 0)).x())
                                           : m_chart->plotArea().width();
    const double width = qMax(1.0, step * xScale * 0.8);
    painter.save();
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0));
    for (const History::Year &y : m_years) {
        const double x = m_chart->mapToPosition(QPointF(y.year.toInt(), 0)).x() * xScale + area.left();
        painter.setBrush(LightColours[int(y.light)]);
        painter.drawRect(QRectF(x - width / 2, area.top() + 2, width, area.height() - 4));
    }
    painter.restore();
}

void LightStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintCells(painter, rect(), 1.0);
}

KeyFigureHistory::KeyFigureHistory(const Services &services, const Startwahl &wahl, QWidget *owner)
    : QWidget(owner, Qt::Window), m_services(services), m_wahl(wahl)
{
    setObjectName(QStringLiteral("KeyFigureHistory"));
    setFont(defaultFont());
    perspectiveBox = selector(this, QStringLiteral("perspectiveBox"), QString(), {16, 16}, 185, {}, true);
    figureBox = selector(this, QStringLiteral("figureBox"), QString(), {216, 16}, 280, {}, true);
    periodBox = selector(this, QStringLiteral("periodBox"), QString(), {512, 16}, 145, {}, true);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    historyChart = new QChartView(m_chart, this);
    historyChart->setObjectName(QStringLiteral("historyChart"));
    historyChart->setRenderHint(QPainter::Antialiasing);
    historyChart->setGeometry(16, 52, 600, 340);
    lightStrip = new LightStrip(m_chart, this);
    lightStrip->setObjectName(QStringLiteral("lightStrip"));
    lightStrip->setGeometry(16, 392, 600, 20);

    valueTable = new CopyTable(0, 4, this);
    valueTable->setObjectName(QStringLiteral("valueTable"));
    valueTable->setGeometry(632, 52, 300, 360);
    valueTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    valueTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    valueTable->verticalHeader()->hide();
    valueTable->verticalHeader()->setDefaultSectionSize(20);
    valueTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    savePdfButton = button(this, QStringLiteral("savePdfButton"), QString(), {16, 424, 140, 25}, true);
    savePngButton = button(this, QStringLiteral("savePngButton"), QString(), {168, 424, 140, 25}, true);
    resize(948, 465);

    connectGuarded(m_services, perspectiveBox, &Selector::changed, this, &KeyFigureHistory::perspectiveChange);
    connectGuarded(m_services, figureBox, &Selector::changed, this, &KeyFigureHistory::figureChange);
    connectGuarded(m_services, periodBox, &Selector::changed, this, &KeyFigureHistory::periodChange);
    connectGuarded(m_services, savePdfButton, &QPushButton::clicked, this, &KeyFigureHistory::savePdfClick);
    connectGuarded(m_services, savePngButton, &QPushButton::clicked, this, &KeyFigureHistory::savePngClick);
    applyLanguage();
}

void KeyFigureHistory::applyLanguage()
{
    m_english = m_wahl.englisch();
    setWindowTitle(History::windowTitle(m_english));
    const int p = perspectiveBox->itemIndex();
    const int z = periodBox->itemIndex();
    perspectiveBox->clearItems();
    perspectiveBox->addItems(ScorecardKatalog::perspektiveTexts(m_english));
    perspectiveBox->setItemIndex(p);
    periodBox->clearItems();
    periodBox->addItems(ScorecardKatalog::zeitraumTexts(m_english));
    periodBox->setItemIndex(z);
    valueTable->setHorizontalHeaderLabels(History::tableHeads(m_english));
    savePdfButton->setText(History::savePdfText(m_english));
    savePngButton->setText(History::savePngText(m_english));
}

void KeyFigureHistory::fillFigures()
{
    const int p = perspectiveBox->itemIndex();
    figureBox->clearItems();
    if (p < 0 || p >= ScorecardKatalog::PerspektiveCount)
        return;
    // As the entry dialog lists them: English names for the financial and
    // customer key figures only.
    const bool english = m_english && p <= 1;
    const int branche = m_wahl.branche();
    QStringList names;
    for (int position = 0; position < ScorecardKatalog::ZielePerPerspektive; ++position) {
        const int ziel = ScorecardKatalog::zielNumber(p, position);
        names << (english ? ScorecardKatalog::kennzahlNameEnglish(ziel, branche)
                          : ScorecardKatalog::kennzahlName(ziel, branche));
    }
    figureBox->addItems(names);
}

void KeyFigureHistory::open(int perspektive, int position, int zeitraum)
{
    applyLanguage();
    perspectiveBox->setItemIndex(perspektive);
    fillFigures();
    figureBox->setItemIndex(position);
    periodBox->setItemIndex(zeitraum);
    show();
    raise();
    activateWindow();
    display();
}

void KeyFigureHistory::perspectiveChange()
{
    fillFigures();
    figureBox->setItemIndex(0);
    display();
}

void KeyFigureHistory::figureChange() { display(); }

void KeyFigureHistory::periodChange() { display(); }

int KeyFigureHistory::ziel() const
{
    const int p = perspectiveBox->itemIndex();
    const int position = figureBox->itemIndex();
    if (p < 0 || p >= ScorecardKatalog::PerspektiveCount || position < 0
        || position >= ScorecardKatalog::ZielePerPerspektive)
        return -1;
    return ScorecardKatalog::zielNumber(p, position);
}

QString KeyFigureHistory::chartTitle() const
{
    return figureBox->text() + QStringLiteral(" · ") + periodBox->text();
}

void KeyFigureHistory::display()
{
    const int z = ziel();
    const int zeitraum = periodBox->itemIndex();
    if (z < 0 || zeitraum < 0 || zeitraum >= ScorecardKatalog::ZeitraumCount)
        return;
    m_years = History::read(m_services.database(), z, m_wahl.branche(), zeitraum);

    m_chart->removeAllSeries();
    // A removed axis is no longer the chart's: it goes with this display.
    for (QAbstractAxis *axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }
    m_chart->setTitle(chartTitle());
    addSeries(m_chart, m_years, true, History::seriesName(true, m_english));
    addSeries(m_chart, m_years, false, History::seriesName(false, m_english));
    auto *x = new QValueAxis;
    auto *y = new QValueAxis;
    x->setLabelFormat(QStringLiteral("%d"));
    if (!m_years.isEmpty()) {
        // Whole years as labels, at most about ten of them.
        const int first = m_years.first().year.toInt();
        const int last = m_years.last().year.toInt();
        x->setRange(first - 0.5, last + 0.5);
        x->setTickType(QValueAxis::TicksDynamic);
        x->setTickAnchor(first);
        x->setTickInterval(qMax(1, (last - first + 10) / 10));
    }
    y->setLabelFormat(QStringLiteral("%d"));
    qint32 low = 0;
    qint32 high = 1;
    for (const History::Year &v : m_years) {
        for (const auto &value : {v.ist, v.soll}) {
            if (value) {
                low = qMin(low, *value);
                high = qMax(high, *value);
            }
        }
    }
    y->setRange(low, high + (high - low) / 10 + 1);
    y->applyNiceNumbers();
    m_chart->addAxis(x, Qt::AlignBottom);
    m_chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *series : m_chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }

    valueTable->setRowCount(int(m_years.size()));
    for (int r = 0; r < m_years.size(); ++r) {
        const History::Year &v = m_years[r];
        const bool judged = v.ist && v.soll;
        const QString cells[4] = {v.year, valueText(v.ist), valueText(v.soll),
                                  judged ? History::lightWord(v.light, m_english) : QString()};
        for (int c = 0; c < 4; ++c) {
            auto *cell = new QTableWidgetItem(cells[c]);
            if (c == 3 && judged)
                cell->setBackground(LightColours[int(v.light)]);
            valueTable->setItem(r, c, cell);
        }
    }
    lightStrip->setYears(m_years);
}

QImage KeyFigureHistory::picture() const
{
    QImage image(historyChart->width(), historyChart->height() + lightStrip->height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    historyChart->render(&painter, QRectF(0, 0, historyChart->width(), historyChart->height()));
    lightStrip->paintCells(painter, QRectF(0, historyChart->height(), lightStrip->width(), lightStrip->height()), 1.0);
    return image;
}

bool KeyFigureHistory::writePng(const QString &file, QString *error) const
{
    if (SafeFile::occupied(file)) {
        if (error)
            *error = QStringLiteral("%1 exists already; it was left untouched.").arg(QDir::toNativeSeparators(file));
        return false;
    }
    const QString part = SafeFile::temporaryName(file, QStringLiteral("png"));
    if (!picture().save(part, "PNG")) {
        QFile::remove(part);
        if (error)
            *error = QStringLiteral("Cannot write %1.").arg(QDir::toNativeSeparators(file));
        return false;
    }
    if (!SafeFile::renameNoReplace(part, file, error)) {
        QFile::remove(part);
        return false;
    }
    return true;
}

bool KeyFigureHistory::writePdf(const QString &file, QString *error) const
{
    const QImage chart = picture();
    return ::writePdf(
        1,
        [&](int, QPainter &painter) {
            const MmScale mm(*painter.device());
            QFont title(QStringLiteral("Arial"));
            title.setPointSize(13);
            title.setBold(true);
            painter.setFont(QFont(title, painter.device()));
            painter.drawText(QRectF(mm.point({10, 10}), mm.size({190, 8})), Qt::AlignLeft | Qt::AlignTop,
                             windowTitle() + QStringLiteral(": ") + chartTitle());
            const double height = 190.0 * chart.height() / chart.width();
            painter.drawImage(QRectF(mm.point({10, 20}), mm.size({190, height})), chart);
            // The values beneath, in blocks of columns side by side.
            QFont body(QStringLiteral("Arial"));
            body.setPointSize(8);
            painter.setFont(QFont(body, painter.device()));
            const QStringList lines = valueTable->copyText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            const double top = 24 + height;
            const double lineHeight = 3.8;
            const int perBlock = qMax(1, int((287 - top) / lineHeight) - 1);
            const double cellWidth[4] = {12, 14, 14, 14};
            for (int i = 1; i < lines.size(); ++i) {
                const int block = (i - 1) / perBlock;
                const int row = (i - 1) % perBlock;
                for (int line : {0, i}) {
                    if (line == 0 && row != 0)
                        continue;
                    const double y = top + (line == 0 ? 0 : (row + 1) * lineHeight);
                    double x = 10 + block * 63.0;
                    const QStringList cells = lines[line].split(QLatin1Char('\t'));
                    for (int c = 0; c < cells.size() && c < 4; ++c) {
                        painter.drawText(QRectF(mm.point({x, y}), mm.size({cellWidth[c], lineHeight})),
                                         Qt::AlignLeft | Qt::AlignTop, cells[c]);
                        x += cellWidth[c];
                    }
                }
            }
        },
        file, error);
}

void KeyFigureHistory::showFailure(const QString &error) const
{
    m_services.question({error, m_english ? QStringLiteral("Information") : QStringLiteral("Meldungsfenster"), Asker::Buttons::Ok,
                Asker::Icon::Warning});
}

namespace {

QString askFile(const Services &services, QWidget *parent, bool english, const QString &name, const QString &suffix)
{
    FileRequest q;
    q.parent = parent;
    q.caption = History::saveCaption(english);
    q.folder = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name + QLatin1Char('.') + suffix);
    q.filter = suffix == QLatin1String("pdf") ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("PNG (*.png)");
    q.mode = FileRequest::Mode::Save;
    return services.file(q);
}

QString plainName(QString name)
{
    static const QRegularExpression unsafe(QStringLiteral("[^\\w.-]+"));
    return name.replace(unsafe, QStringLiteral("-"));
}

} // namespace

void KeyFigureHistory::savePdfClick()
{
    const QString file = askFile(m_services, this, m_english, plainName(chartTitle()), QStringLiteral("pdf"));
    QString error;
    if (!file.isEmpty() && !writePdf(file, &error))
        showFailure(error);
}

void KeyFigureHistory::savePngClick()
{
    const QString file = askFile(m_services, this, m_english, plainName(chartTitle()), QStringLiteral("png"));
    QString error;
    if (!file.isEmpty() && !writePng(file, &error))
        showFailure(error);
}
