#include "core/spreadsheet.h"

#include "core/history.h"

#include "model/ampel.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "platform/db/database.h"
#include "platform/db/schemasql.h"
#include "platform/db/engineerror.h"
#include "core/dbadmin.h"
#include "core/safefile.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringDecoder>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <unistd.h>

namespace Spreadsheet {
namespace {

const QString YearColumn = QStringLiteral("Jahr");
const QString TableColumn = QStringLiteral("Table");
const QString MeasuresTable = QStringLiteral("maßnahmen");

// One key figure with the goal it measures; goal 11 has two.
struct Figure {
    int ziel;
    int branche;
};

QList<Figure> figures()
{
    QList<Figure> list;
    for (int ziel = 1; ziel <= ScorecardKatalog::ZielCount; ++ziel) {
        if (ziel == ScorecardKatalog::BrancheZiel)
            list << Figure{ziel, ScorecardKatalog::BrancheAgriculture};
        list << Figure{ziel, ScorecardKatalog::BrancheMining};
    }
    return list;
}

// A stored value as a cell: null, a whole number or a text.
QVariant cell(const QVariant &value)
{
    if (value.isNull())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong();
    default:
        return value.toString();
    }
}

bool isNumber(const QVariant &value) { return value.typeId() == QMetaType::LongLong; }

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (isNumber(a) && isNumber(b))
        return a.toLongLong() == b.toLongLong();
    return a.toString() == b.toString();
}

// Reads inside one transaction that sees one state of the database (on a
// server too, where a plain transaction sees each statement's own), so that
// a sheet shows one state even while others write.
class ReadTransaction {
public:
    explicit ReadTransaction(Database &db) : m_db(db)
    {
        m_db.run(m_db.upkeep().beginSnapshot, {}, QStringLiteral("read the database")).finish();
    }
    ~ReadTransaction()
    {
        try {
            m_db.run(SchemaSql::endRead(), {}, QStringLiteral("read the database")).finish();
        } catch (const EngineError &) {
            // Only reads happened: there is nothing to keep or lose.
        }
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    Database &m_db;
};

// The stored spellings of columns a table must have.
QStringList storedColumns(const Database::Table &table, const QStringList &names)
{
    QStringList stored;
    for (const QString &name : names) {
        const int index = table.columnIndex(name);
        if (index < 0)
            throw EngineError(QStringLiteral("Column does not exist: %1 in table %2").arg(name, table.name));
        stored << table.columns[index].name;
    }
    return stored;
}

Database::Source sourceOf(const Database::Table &table, const QStringList &fields, const QString &year)
{
    Database::Source source;
    source.table = table.name;
    source.fields = fields;
    for (const QString &field : fields)
        source.integer << table.columns[table.columnIndex(field)].isInteger;
    if (!year.isEmpty()) {
        source.conditionColumns << table.columns[table.columnIndex(YearColumn)].name;
        source.conditionValues << year;
    }
    return source;
}


void writeCsv(const QString &temp, const QString &path, const Sheet &sheet)
{
    QString error;
    if (!AtomicFile::writeNew(temp, csv(sheet), &error))
        throw EngineError(error.replace(temp, path));
}

QString columnName(int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

// What a failed cell write means, in words a user can act on.
QString cellError(lxw_error error, const Sheet &sheet, int row, int column)
{
    const QString where = QStringLiteral("sheet %1, cell %2%3").arg(sheet.name, columnName(column)).arg(row + 1);
    switch (error) {
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("The text for %1 (%2) is longer than a spreadsheet cell holds (32,767 characters); "
                              "export it as CSV instead.")
            .arg(where, sheet.header.value(column));
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return QStringLiteral("The data do not fit into a spreadsheet (%1); export it as CSV instead.").arg(where);
    default:
        return QStringLiteral("Cannot write %1: %2").arg(where, QString::fromUtf8(lxw_strerror(error)));
    }
}

void writeXlsx(const QString &path, const QString &shownPath, const QList<Sheet> &sheets)
{
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook *book = workbook_new(name.constData());
    if (!book)
        throw EngineError(QStringLiteral("Cannot write %1: out of memory").arg(path));
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *lines = workbook_add_format(book);
    format_set_text_wrap(lines);
    format_set_align(lines, LXW_ALIGN_VERTICAL_TOP);

    QString failure;
    auto check = [&](lxw_error error, const Sheet &sheet, int row, int column) {
        if (error != LXW_NO_ERROR && failure.isEmpty())
            failure = cellError(error, sheet, row, column);
        return failure.isEmpty();
    };
    for (const Sheet &sheet : sheets) {
        lxw_worksheet *page = workbook_add_worksheet(book, sheet.name.toUtf8().constData());
        if (!page) {
            failure = QStringLiteral("Cannot add the sheet %1").arg(sheet.name);
            break;
        }
        QVector<int> widths(sheet.header.size(), 8);
        for (int c = 0; c < sheet.header.size(); ++c) {
            widths[c] = qMax(widths[c], int(sheet.header[c].size()) + 2);
            if (!check(worksheet_write_string(page, 0, lxw_col_t(c), sheet.header[c].toUtf8().constData(), bold),
                       sheet, 0, c))
                break;
        }
        for (int r = 0; r < sheet.rows.size() && failure.isEmpty(); ++r) {
            const QVariantList &row = sheet.rows[r];
            const lxw_row_t at = lxw_row_t(r + 1);
            for (int c = 0; c < row.size() && failure.isEmpty(); ++c) {
                const QVariant &value = row[c];
                if (value.isNull())
                    continue;   // an empty cell, not an empty text
                if (isNumber(value)) {
                    check(worksheet_write_number(page, at, lxw_col_t(c), double(value.toLongLong()), nullptr),
                          sheet, r + 1, c);
                    continue;
                }
                const QString text = value.toString();
                if (text.isEmpty())
                    continue;
                const bool multiLine = text.contains(QLatin1Char('\n'));
                // Long texts stay readable; a wide column would hide the rest.
                for (const QStringView part : QStringView(text).split(QLatin1Char('\n')))
                    widths[c] = qMax(widths[c], qMin(int(part.size()) + 2, 60));
                check(worksheet_write_string(page, at, lxw_col_t(c), text.toUtf8().constData(),
                                             multiLine ? lines : nullptr),
                      sheet, r + 1, c);
            }
        }
        if (!failure.isEmpty())
            break;
        worksheet_freeze_panes(page, 1, 0);
        for (int c = 0; c < widths.size(); ++c)
            worksheet_set_column(page, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    }
    // Closing writes the file and frees the workbook in every case. The
    // library names only its own step; the system's reason (a full disk)
    // is what the user can act on.
    errno = 0;
    const lxw_error closed = workbook_close(book);
    const int code = errno;
    if (failure.isEmpty() && closed != LXW_NO_ERROR) {
        failure = QStringLiteral("Cannot write %1: %2; nothing was written.")
                      .arg(shownPath, code ? QString::fromLocal8Bit(std::strerror(code))
                                           : QString::fromUtf8(lxw_strerror(closed)));
    }
    if (failure.isEmpty() && !AtomicFile::sync(path, &failure))
        failure.replace(path, shownPath);
    if (!failure.isEmpty())
        throw EngineError(failure);
}

// Decodes a file as UTF-8; text from an older spreadsheet program that is
// not UTF-8 is read as Latin-1, which only touches the informative columns.
QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

// The separator used more often outside quotes on the first line.
QChar separatorOf(const QString &text)
{
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

bool isBlank(const QStringList &fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const QString &f) { return f.trimmed().isEmpty(); });
}

const QRegularExpression &fourDigits()
{
    static const QRegularExpression re(QStringLiteral("\\A[0-9]{4}\\z"));
    return re;
}

// A text from the file as a message quotes it: never more than a glance.
QString shown(const QString &text)
{
    constexpr int Max = 40;
    return text.size() <= Max ? text : text.left(Max) + QStringLiteral("…");
}

QString number(qlonglong n) { return QLocale(QLocale::English).toString(n); }

} // namespace

QString csvField(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (isNumber(value))
        return QString::number(value.toLongLong());
    return csvText(value.toString());
}

QString csvText(QString text)
{
    // A spreadsheet program runs a cell that begins like a formula; a leading
    // apostrophe makes it read as the text it is. A plain number ("-5") runs
    // nothing and stays a number.
    static const QRegularExpression plainNumber(QStringLiteral("\\A[+-]?[0-9]+([.,][0-9]+)?\\z"));
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()) && !plainNumber.match(text).hasMatch())
        text.prepend(QLatin1Char('\''));
    bool quoted = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    for (const QChar c : text) {
        if (quoted)
            break;
        quoted = c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    }
    if (!quoted)
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QStringList kennzahlenHeader()
{
    return {QStringLiteral("Perspective"), QStringLiteral("Goal"), QStringLiteral("Key figure"), TableColumn,
            YearColumn};
}

Sheet kennzahlen(Database &db, const QString &year)
{
    Sheet sheet;
    sheet.name = QStringLiteral("kennzahlen");
    sheet.header = kennzahlenHeader() + KennzahlSchema::valueColumns();
    ReadTransaction snapshot(db);
    for (const Figure &figure : figures()) {
        const QString name = ScorecardKatalog::table(figure.ziel, figure.branche);
        const Database::Table &table = db.table(name);
        const Database::Source source =
            sourceOf(table, storedColumns(table, QStringList{YearColumn} + KennzahlSchema::valueColumns()), year);
        const QVariantList prefix{
            ScorecardKatalog::perspektiveText(ScorecardKatalog::perspektiveOf(figure.ziel), false),
            ScorecardKatalog::zielText(figure.ziel, figure.branche),
            ScorecardKatalog::kennzahlName(figure.ziel, figure.branche), name};
        QList<QVariantList> rows;
        db.scan(source, [&](const QVector<QVariant> &values) {
            QVariantList row = prefix;
            row << values[0].toString();
            for (int i = 1; i < source.fields.size(); ++i)
                row << cell(values[i]);
            rows << row;
            return true;
        });
        std::stable_sort(rows.begin(), rows.end(), [](const QVariantList &a, const QVariantList &b) {
            return a[4].toString() < b[4].toString();
        });
        sheet.rows << rows;
    }
    return sheet;
}

Sheet massnahmen(Database &db, const QString &year)
{
    Sheet sheet;
    sheet.name = QStringLiteral("massnahmen");
    ReadTransaction snapshot(db);
    const Database::Table &table = db.table(MeasuresTable);
    QStringList fields;
    for (const Database::Column &column : table.columns)
        fields << column.name;
    if (!year.isEmpty())
        storedColumns(table, {YearColumn});
    const Database::Source source = sourceOf(table, fields, year);
    sheet.header = fields;
    db.scan(source, [&](const QVector<QVariant> &values) {
        QVariantList row;
        for (int i = 0; i < fields.size(); ++i)
            row << cell(values[i]);
        sheet.rows << row;
        return true;
    });
    return sheet;
}

Format formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("xlsx"))
        return Format::Xlsx;
    throw EngineError(QStringLiteral("%1: the file name must end in .csv or .xlsx.").arg(path));
}

QByteArray csv(const Sheet &sheet)
{
    QString text;
    auto line = [&](const QVariantList &cells) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i)
                text += QLatin1Char(',');
            text += csvField(cells[i]);
        }
        text += QLatin1String("\r\n");
    };
    QVariantList header;
    for (const QString &name : sheet.header)
        header << name;
    line(header);
    for (const QVariantList &row : sheet.rows)
        line(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void write(const QList<File> &files, bool replace)
{
    struct Target {
        QString path;
        QString temp;
    };
    QList<Target> targets;
    for (const File &file : files) {
        const Format format = formatOf(file.path);
        if (format == Format::Csv && file.sheets.size() != 1)
            throw EngineError(QStringLiteral("%1: a CSV file holds exactly one sheet.").arg(file.path));
        const QFileInfo info(file.path);
        if (!info.absoluteDir().exists())
            throw EngineError(QStringLiteral("The folder of %1 does not exist.").arg(file.path));
        if (info.isDir())
            throw EngineError(QStringLiteral("%1 is a folder.").arg(file.path));
        if (!replace && SafeFile::occupied(info.absoluteFilePath()))
            throw EngineError(SafeFile::occupiedMessage(file.path));
        targets << Target{info.absoluteFilePath(), SafeFile::temporaryName(info.absoluteFilePath(), QStringLiteral("export"))};
    }
    auto removeTemps = [&](int from) {
        for (int i = from; i < targets.size(); ++i)
            QFile::remove(targets[i].temp);
    };
    try {
        for (int i = 0; i < files.size(); ++i) {
            if (formatOf(files[i].path) == Format::Csv)
                writeCsv(targets[i].temp, files[i].path, files[i].sheets.first());
            else
                writeXlsx(targets[i].temp, files[i].path, files[i].sheets);
        }
    } catch (...) {
        removeTemps(0);
        throw;
    }
    // Every file is complete: now they get their names.
    for (int i = 0; i < targets.size(); ++i) {
        QString error;
        const bool named = replace ? SafeFile::renameReplacing(targets[i].temp, targets[i].path, &error)
                                   : SafeFile::renameNoReplace(targets[i].temp, targets[i].path, &error);
        if (!named) {
            removeTemps(i);
            if (i > 0)
                error += QStringLiteral("\nWritten before: %1").arg(targets[0].path);
            throw EngineError(error);
        }
    }
}

QString Fault::text() const
{
    return column.isEmpty() ? QStringLiteral("line %1: %2").arg(line).arg(message)
                            : QStringLiteral("line %1, %2: %3").arg(line).arg(column, message);
}

Table parseCsv(const QByteArray &bytes)
{
    Table table;
    const QString text = decode(bytes);
    const QChar separator = separatorOf(text);
    int line = 1;
    Record record{1, {}};
    QString field;
    bool inQuotes = false;
    bool quotedField = false;   // the field began with a quote
    bool afterQuote = false;    // its closing quote was read
    bool strayText = false;
    int quoteLine = 0;
    auto endField = [&] {
        record.fields << field;
        field.clear();
        quotedField = afterQuote = false;
    };
    auto endRecord = [&] {
        endField();
        if (strayText)
            table.faults << Fault{record.line, {}, QStringLiteral("text after the closing quote of a field")};
        // A line with nothing on it is no record.
        if (!(record.fields.size() == 1 && record.fields.first().isEmpty()))
            table.records << record;
        record = Record{line, {}};
        strayText = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                    afterQuote = true;
                }
                continue;
            }
            if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && !(i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))))
                ++line;
            field += c;
            continue;
        }
        if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            ++line;
            endRecord();
        } else if (c == QLatin1Char('"') && field.isEmpty() && !quotedField) {
            inQuotes = quotedField = true;
            quoteLine = line;
        } else {
            if (afterQuote)
                strayText = true;
            field += c;
        }
    }
    if (inQuotes)
        table.faults << Fault{quoteLine, {}, QStringLiteral("a quoted field is not closed")};
    if (!field.isEmpty() || !record.fields.isEmpty() || quotedField)
        endRecord();
    return table;
}

Plan planKennzahlenImport(Database &db, const QByteArray &bytes)
{
    Plan plan;
    const Table csv = parseCsv(bytes);
    plan.faults = csv.faults;
    if (csv.records.isEmpty()) {
        plan.faults << Fault{1, {}, QStringLiteral("the file is empty; its first line must name the columns")};
        return plan;
    }

    // The header: every name once, matched without regard to case.
    const QStringList values = KennzahlSchema::valueColumns();
    const QStringList known = kennzahlenHeader() + values;
    const QStringList &header = csv.records.first().fields;
    const int headerLine = csv.records.first().line;
    QHash<QString, int> position;   // known name -> field
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        const auto match = std::find_if(known.begin(), known.end(), [&](const QString &k) {
            return k.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (match == known.end()) {
            plan.faults << Fault{headerLine, shown(name), name.isEmpty() ? QStringLiteral("a column has no name")
                                                                  : QStringLiteral("unknown column")};
        } else if (position.contains(*match)) {
            plan.faults << Fault{headerLine, *match, QStringLiteral("the column appears twice")};
        } else {
            position.insert(*match, i);
        }
    }
    for (const QString &name : QStringList{TableColumn, YearColumn} + values) {
        if (!position.contains(name))
            plan.faults << Fault{headerLine, name, QStringLiteral("the column is missing")};
    }

    // Key-figure tables by folded name, with what the database holds of them.
    QHash<QString, QString> catalog;
    for (const QString &name : ScorecardKatalog::allTables())
        catalog.insert(name.toCaseFolded(), name);
    struct Stored {
        QString problem;            // why no row can be read
        QString column;             // where the problem is
        Database::Source source;    // the value columns, by year
    };
    QHash<QString, Stored> stored;
    auto storedTable = [&](const QString &name) -> Stored {
        auto it = stored.find(name);
        if (it != stored.end())
            return *it;
        Stored s;
        try {
            const Database::Table &t = db.table(name);
            if (t.columnIndex(YearColumn) < 0) {
                s.problem = QStringLiteral("the table in the database has no column Jahr");
                s.column = YearColumn;
            } else {
                QStringList fields;
                for (const QString &v : values) {
                    const int index = t.columnIndex(v);
                    if (index < 0 && s.problem.isEmpty()) {
                        s.problem = QStringLiteral("the table %1 in the database has no such column").arg(t.name);
                        s.column = v;
                    }
                    if (index >= 0)
                        fields << t.columns[index].name;
                }
                s.source = sourceOf(t, fields, QStringLiteral("0000"));
            }
        } catch (const EngineError &) {
            s.problem = QStringLiteral("the table \"%1\" does not exist in the database").arg(name);
            s.column = TableColumn;
        }
        stored.insert(name, s);
        return s;
    };

    ReadTransaction snapshot(db);
    QHash<QString, int> seen;   // "table/year" -> first line
    for (int r = 1; r < csv.records.size(); ++r) {
        const Record &record = csv.records[r];
        if (isBlank(record.fields))
            continue;
        if (record.fields.size() != header.size()) {
            plan.faults << Fault{record.line, {},
                                 QStringLiteral("the line has %1 fields, the header %2")
                                     .arg(record.fields.size()).arg(header.size())};
            continue;
        }
        const int faultsBefore = plan.faults.size();
        auto fieldOf = [&](const QString &name) {
            return position.contains(name) ? record.fields[position.value(name)].trimmed() : QString();
        };

        QString tableName;
        if (position.contains(TableColumn)) {
            const QString given = fieldOf(TableColumn);
            tableName = catalog.value(given.toCaseFolded());
            if (given.isEmpty())
                plan.faults << Fault{record.line, TableColumn, QStringLiteral("no table is given")};
            else if (tableName.isEmpty())
                plan.faults << Fault{record.line, TableColumn, QStringLiteral("unknown table \"%1\"").arg(shown(given))};
        }
        QString year;
        if (position.contains(YearColumn)) {
            year = fieldOf(YearColumn);
            if (!fourDigits().match(year).hasMatch()) {
                plan.faults << Fault{record.line, YearColumn, QStringLiteral("\"%1\" is not a year of four digits").arg(shown(year))};
                year.clear();
            }
        }

        QVariantList after;
        for (const QString &column : values) {
            if (!position.contains(column)) {
                after << QVariant();
                continue;
            }
            const QString text = fieldOf(column);
            if (text.isEmpty()) {
                after << QVariant();
                continue;
            }
            const KennzahlSchema::Verdict verdict = KennzahlSchema::validate(text);
            if (verdict.fault == KennzahlSchema::Verdict::NotWhole) {
                plan.faults << Fault{record.line, column, QStringLiteral("\"%1\" is not a whole number").arg(shown(text))};
            } else if (verdict.fault == KennzahlSchema::Verdict::OutOfRange) {
                plan.faults << Fault{record.line, column,
                                     QStringLiteral("%1 is above %2 in magnitude").arg(shown(text), number(KennzahlSchema::MaxMagnitude))};
            }
            after << QVariant(qlonglong(verdict.value));
        }

        if (tableName.isEmpty() || year.isEmpty())
            continue;
        const QString key = tableName + QLatin1Char('/') + year;
        if (seen.contains(key)) {
            plan.faults << Fault{record.line, {},
                                 QStringLiteral("table %1, year %2 is already in line %3")
                                     .arg(tableName, year).arg(seen.value(key))};
            continue;
        }
        seen.insert(key, record.line);
        const Stored s = storedTable(tableName);
        if (!s.problem.isEmpty()) {
            plan.faults << Fault{record.line, s.column, s.problem};
            continue;
        }
        Database::Source source = s.source;
        source.conditionValues = {year};
        const QVector<Database::Row> rows = db.fetch(source, Database::Fetch::First, {}, 1);
        if (rows.isEmpty()) {
            plan.faults << Fault{record.line, YearColumn,
                                 QStringLiteral("table %1 has no row for the year %2").arg(tableName, year)};
            continue;
        }
        if (plan.faults.size() != faultsBefore)
            continue;

        Plan::Row row{tableName, year, rows.first().key, {}, {}, {}};
        for (int i = 0; i < source.fields.size(); ++i) {
            const QVariant before = cell(rows.first().values[i]);
            if (sameValue(before, after[i]))
                continue;
            row.columns << source.fields[i];
            row.before << rows.first().values[i];
            row.after << after[i];
            plan.changes << Change{tableName, year, source.fields[i], before, after[i]};
        }
        if (!row.columns.isEmpty())
            plan.rows << row;
    }
    if (!plan.ok()) {
        plan.changes.clear();
        plan.rows.clear();
    }
    std::stable_sort(plan.faults.begin(), plan.faults.end(),
                     [](const Fault &a, const Fault &b) { return a.line < b.line; });
    return plan;
}

QByteArray readImportFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(QStringLiteral("File not found: %1").arg(path));
    if (info.isDir())
        throw EngineError(QStringLiteral("%1 is a folder, not a file.").arg(path));
    if (info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0)
        throw EngineError(QStringLiteral("%1: an import reads CSV files (.csv); save the sheet as CSV first.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    // Read one byte more than allowed, so that a device without a size is
    // measured too.
    const QByteArray bytes = file.read(MaxImportBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw EngineError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    if (bytes.size() > MaxImportBytes)
        throw EngineError(QStringLiteral("%1 is larger than an import of key figures takes (%2 MiB).")
                              .arg(path, QString::number(MaxImportBytes / (1024 * 1024))));
    return bytes;
}

void apply(Database &db, const Plan &plan)
{
    if (!plan.ok())
        throw EngineError(QStringLiteral("The file has faults; nothing was written."));
    if (plan.rows.isEmpty())
        return;
    const QString what = QStringLiteral("import the key figures");
    const ChangeHistory::Scope writer(db, ChangeHistory::Import);
    db.begin(what);
    try {
        for (const Plan::Row &row : plan.rows) {
            Database::Source source;
            source.table = row.table;
            source.fields = row.columns;
            source.integer = QVector<bool>(row.columns.size(), true);
            QVector<int> fields(row.columns.size());
            std::iota(fields.begin(), fields.end(), 0);
            if (!db.update(source, row.key, fields, row.after, row.before))
                throw EngineError(QStringLiteral("Table %1, year %2 was changed by another program after the file "
                                                 "was checked; nothing was written. Import the file again.")
                                      .arg(row.table, row.year));
        }
        db.commit(what);
    } catch (...) {
        db.rollback();
        throw;
    }
}

QString display(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("(empty)") : value.toString();
}

} // namespace Spreadsheet
