// bsc-db: creates and looks after the scorecard database.
#include "model/alias.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"
#include "platform/printable.h"
#include "core/dbadmin.h"
#include "core/history.h"
#include "core/legacyimport.h"
#include "core/safefile.h"
#include "core/spreadsheet.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTextStream>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char *const Usage =
    "Usage: bsc-db COMMAND\n"
    "\n"
    "  init [--demo]     create the database where the alias points (with --demo:\n"
    "                    sample values and measures); refuses an existing file\n"
    "  add-year YYYY     add an empty row for every year after the last one up to\n"
    "                    YYYY (at most 100 later) to every key-figure table\n"
    "  path              print the file or address the alias projekt_bsc points to\n"
    "  query \"STATEMENT\" run one statement of the program's dialect and print the\n"
    "                    rows as tab-separated text with a header line\n"
    "  backup FILE       write a consistent copy of the database into a new FILE,\n"
    "                    also while the program is running\n"
    "  check             check the file and that every key-figure table holds one\n"
    "                    row per year without gaps; exits 1 on any fault\n"
    "  upgrade           bring a database made by an older version up to date\n"
    "  copy FROM TO      copy every row from one database to another (a file or a\n"
    "                    postgresql:// address), numbers kept; the target is new\n"
    "                    or its tables are empty\n"
    "  alias             print the database address stored for the alias\n"
    "  alias set TARGET  store a file or a postgresql://user@host:port/dbname address\n"
    "                    (never a password: give it in ~/.pgpass or PGPASSWORD)\n"
    "  alias unset       remove the stored address\n"
    "  export kennzahlen|massnahmen FILE [--year YYYY] [--force]\n"
    "                    write the key figures (one line per table and year) or\n"
    "                    the measures to FILE, a .csv or .xlsx file; refuses an\n"
    "                    existing FILE unless --force is given\n"
    "  import kennzahlen FILE [--yes]\n"
    "                    check every line of a CSV file of key figures and list\n"
    "                    what would change; writes it all in one transaction\n"
    "                    with --yes or after \"y\" at a terminal, nothing on any\n"
    "                    fault\n"
    "  import-legacy DIR [--yes]\n"
    "                    read the old program's tables from the folder DIR, list\n"
    "                    every fault or what would be imported; writes it all in\n"
    "                    one transaction with --yes or after \"y\" at a terminal,\n"
    "                    into a database that holds no data yet\n"
    "  history [--table T] [--year YYYY] [--nr N] [--since DATE] [--csv]\n"
    "                    print the recorded changes, newest first: time (UTC),\n"
    "                    user, what wrote it, table, row (year or Nr), column,\n"
    "                    old and new value; tab-separated, or CSV with --csv;\n"
    "                    --since takes YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS in UTC\n"
    "  --version         print the version\n"
    "  --help            print this text\n"
    "\n"
    "The alias points to $PROJEKT_BSC_DATABASE, or else to the stored address,\n"
    "or else to the default file in the user's data folder.\n";

// Standard output that reports a failed write (a full disk, a closed pipe)
// instead of passing for success.
class Output {
public:
    Output &operator<<(const QString &text)
    {
        m_text += text;
        if (m_text.size() >= 1 << 15)
            flush();
        return *this;
    }
    Output &operator<<(const char *text)
    {
        m_text += QString::fromUtf8(text);
        return *this;
    }
    Output &operator<<(char c)
    {
        m_text += QLatin1Char(c);
        return *this;
    }
    // Writes what is buffered; false when anything written so far was lost.
    // The buffers keep their room, so that printing a long result does not
    // grow and shrink the heap at every flush.
    bool flush()
    {
        m_bytes.resize(qsizetype(m_encoder.requiredSpace(m_text.size())));
        char *end = m_encoder.appendToBuffer(m_bytes.data(), m_text);
        const size_t size = size_t(end - m_bytes.data());
        m_text.resize(0);
        if (size > 0 && std::fwrite(m_bytes.constData(), 1, size, stdout) != size)
            m_failed = true;
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            m_failed = true;
        return !m_failed;
    }

    bool failed() const { return m_failed; }

private:
    QString m_text;
    QByteArray m_bytes;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    bool m_failed = false;
};

// One row per line: line breaks, tabs and backslashes inside a value are
// escaped, and so is every other control character (an escape sequence
// stored in a text never reaches the terminal).
bool isSpecial(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= 0x20 && c < 0x7f)   // printable ASCII, the usual case
        return c == u'\\';
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || (c >= 0x202a && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069);
}

void appendEscaped(QString &line, const QString &value)
{
    if (std::none_of(value.begin(), value.end(), isSpecial)) {
        line += value;
        return;
    }
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            line += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            line += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            line += QLatin1String("\\t");
        else if (isSpecial(c))
            line += printable(QString(c));
        else
            line += c;
    }
}

// The database the alias points to, or another target, told the
// scorecard's settings (the change history among them).
std::unique_ptr<Database> openTarget(const QString &path, bool readOnly = false)
{
    return Database::connect(path, readOnly, ScorecardAlias::settings().name, ScorecardAlias::databaseSettings());
}

// Prints as it reads, so memory stays flat however many rows.
bool query(const QString &path, const QString &statement, Output &out)
{
    const std::unique_ptr<Database> opened = openTarget(path);
    Database &db = *opened;
    const Database::Source source = db.query(statement);
    out << source.fields.join(QLatin1Char('\t')) << '\n';
    const int count = source.fields.size();
    QString line;
    bool written = true;
    db.scan(source, [&](const QVector<QVariant> &row) {
        line.clear();
        for (int i = 0; i < count; ++i) {
            if (i)
                line += QLatin1Char('\t');
            appendEscaped(line, DataSet::format(row[i]));
        }
        line += QLatin1Char('\n');
        out << line;
        written = !out.failed();
        return written;
    });
    return out.flush() && written;
}

// The words after "export" or "import": the sheet, one file and options.
struct SheetArguments {
    QString sheet;
    QString file;
    QString year;
    bool force = false;
    bool yes = false;
};

std::optional<SheetArguments> sheetArguments(const QStringList &args, bool exporting)
{
    SheetArguments a;
    a.sheet = args.value(1);
    if (a.sheet != QLatin1String("kennzahlen") && !(exporting && a.sheet == QLatin1String("massnahmen")))
        return std::nullopt;
    for (int i = 2; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (exporting && arg == QLatin1String("--force"))
            a.force = true;
        else if (exporting && arg == QLatin1String("--year") && i + 1 < args.size() && a.year.isNull())
            a.year = args[++i];
        else if (!exporting && arg == QLatin1String("--yes"))
            a.yes = true;
        else if (arg.startsWith(QLatin1String("--")) || !a.file.isNull())
            return std::nullopt;
        else
            a.file = arg;
    }
    if (a.file.isEmpty())
        return std::nullopt;
    return a;
}

int exportSheet(const QString &path, const SheetArguments &a, Output &out)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    if (!a.year.isNull() && !fourDigits.match(a.year).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not a year of four digits.").arg(printable(a.year)));
    Spreadsheet::formatOf(a.file);
    if (!a.force && SafeFile::occupied(QFileInfo(a.file).absoluteFilePath()))
        throw EngineError(QFileInfo(a.file).isDir()
                              ? SafeFile::occupiedMessage(a.file)
                              : QStringLiteral("%1 exists already; it was left untouched (--force replaces it).").arg(a.file));
    std::unique_ptr<Database> opened = openTarget(path, true);
    const bool figures = a.sheet == QLatin1String("kennzahlen");
    const Spreadsheet::Sheet sheet =
        figures ? Spreadsheet::kennzahlen(*opened, a.year) : Spreadsheet::massnahmen(*opened, a.year);
    opened.reset();
    // A year the database does not hold is most likely mistyped: an empty
    // sheet would pass for an export.
    if (!a.year.isNull() && sheet.rows.isEmpty())
        throw EngineError(QStringLiteral("The database holds no %1 of the year %2; nothing was written.")
                              .arg(figures ? QStringLiteral("key figures") : QStringLiteral("measures"), a.year));
    Spreadsheet::write({{a.file, {sheet}}}, a.force);
    out << "Wrote " << QString::number(sheet.rows.size())
        << (figures ? " lines of key figures" : " measures") << " to " << a.file << '\n';
    return 0;
}

bool confirmedAtTerminal(Output &out)
{
    out << "Write these changes? [y/N] ";
    out.flush();
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

int importSheet(const QString &path, const SheetArguments &a, Output &out, QTextStream &err)
{
    const QByteArray bytes = Spreadsheet::readImportFile(a.file);
    const std::unique_ptr<Database> opened = openTarget(path);
    Database &db = *opened;
    const Spreadsheet::Plan plan = Spreadsheet::planKennzahlenImport(db, bytes);
    if (!plan.ok()) {
        for (const Spreadsheet::Fault &fault : plan.faults)
            err << a.file << ": " << printable(fault.text()) << '\n';
        err << "bsc-db: " << plan.faults.size() << (plan.faults.size() == 1 ? " fault" : " faults") << " in "
            << a.file << "; nothing was written.\n";
        return 1;
    }
    if (plan.changes.isEmpty()) {
        out << "No change: the database holds every value of " << a.file << " already; nothing was written.\n";
        return 0;
    }
    for (const Spreadsheet::Change &c : plan.changes)
        out << c.table << ' ' << c.year << ' ' << c.column << ": " << Spreadsheet::display(c.before)
            << " → " << Spreadsheet::display(c.after) << '\n';
    out << QString::number(plan.changes.size()) << (plan.changes.size() == 1 ? " change" : " changes") << " in "
        << QString::number(plan.rows.size()) << (plan.rows.size() == 1 ? " row" : " rows") << " of " << db.path() << '\n';
    bool confirmed = a.yes;
    if (!confirmed && ::isatty(STDIN_FILENO)) {
        confirmed = confirmedAtTerminal(out);
    } else if (!confirmed) {
        out << "Nothing was written; run again with --yes to write these changes.\n";
        return 0;
    }
    if (!confirmed) {
        out << "Nothing was written.\n";
        return 0;
    }
    Spreadsheet::apply(db, plan);
    out << "Wrote " << QString::number(plan.changes.size()) << (plan.changes.size() == 1 ? " change" : " changes")
        << " to " << db.path() << '\n';
    return 0;
}

// The old program's tables into a fresh database: every fault first, or a
// summary per table, then one transaction.
int importLegacy(const QString &path, const QString &folder, bool yes, Output &out, QTextStream &err)
{
    const LegacyImport::Plan plan = LegacyImport::plan(folder);
    for (const QString &note : plan.notes)
        out << note << '\n';
    if (!plan.ok()) {
        out.flush();
        for (const LegacyImport::Fault &fault : plan.faults)
            err << fault.text() << '\n';
        err << "bsc-db: " << plan.faults.size() << (plan.faults.size() == 1 ? " fault" : " faults") << " in "
            << folder << "; nothing was written.\n";
        return 1;
    }
    // A database file that does not exist yet is created with the import;
    // an existing one must be fresh.
    const bool created = DbAdmin::isNewFile(path);
    std::unique_ptr<Database> opened;
    if (!created) {
        opened = openTarget(path);
        const QString refused = LegacyImport::refusal(*opened);
        if (!refused.isEmpty())
            throw EngineError(refused + QStringLiteral("; nothing was written."));
    }
    const QString shown = opened ? opened->path() : path;
    for (qsizetype i = 0; i < plan.tables.size(); ++i) {
        const LegacyImport::TableSummary &t = plan.tables[i];
        const bool isMeasures = i == plan.tables.size() - 1;
        out << t.table << ": ";
        if (t.file.isEmpty())
            out << "no file\n";
        else
            out << QString::number(t.rows) << (t.rows == 1 ? " row" : " rows") << " read from " << t.file << ", "
                << QString::number(t.values)
                << (isMeasures ? (t.values == 1 ? " measure" : " measures") : (t.values == 1 ? " value set" : " values set"))
                << '\n';
    }
    const qsizetype measures = plan.measures.size();
    out << "Import " << QString::number(plan.valueCount() - measures) << " values and " << QString::number(measures)
        << (measures == 1 ? " measure" : " measures") << " into " << shown << (created ? " (a new database)" : "") << '\n';
    bool confirmed = yes;
    if (!confirmed && ::isatty(STDIN_FILENO)) {
        confirmed = confirmedAtTerminal(out);
    } else if (!confirmed) {
        out << "Nothing was written; run again with --yes to import.\n";
        return 0;
    }
    if (!confirmed) {
        out << "Nothing was written.\n";
        return 0;
    }
    if (created)
        LegacyImport::applyToNewFile(path, plan, QDate::currentDate().year());
    else
        LegacyImport::apply(*opened, plan, QDate::currentDate().year());
    out << "Imported the old tables into " << shown << '\n';
    return 0;
}

// The recorded changes, newest first, printed as they are read. Returns
// the exit status; nullopt: the arguments are wrong.
std::optional<int> history(const QString &path, const QStringList &args, Output &out)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    static const QRegularExpression number(QStringLiteral("\\A[0-9]{1,18}\\z"));
    QString table, year, nr, since;
    bool csv = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--csv") && !csv)
            csv = true;
        else if (arg == QLatin1String("--table") && hasValue && table.isNull())
            table = args[++i];
        else if (arg == QLatin1String("--year") && hasValue && year.isNull())
            year = args[++i];
        else if (arg == QLatin1String("--nr") && hasValue && nr.isNull())
            nr = args[++i];
        else if (arg == QLatin1String("--since") && hasValue && since.isNull())
            since = args[++i];
        else
            return std::nullopt;
    }
    if (!year.isNull() && !fourDigits.match(year).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not a year of four digits.").arg(printable(year)));
    if (!nr.isNull() && !number.match(nr).hasMatch())
        throw EngineError(QStringLiteral("\"%1\" is not the number of a measure.").arg(printable(nr)));
    // "010" is the measure 10, as everywhere else.
    if (!nr.isNull())
        nr = QString::number(nr.toLongLong());
    if (!year.isNull() && !nr.isNull())
        throw EngineError(QStringLiteral("--year names a key figure's row and --nr a measure's; give one of them."));
    Database::HistoryFilter filter;
    if (!since.isNull()) {
        const QDate date = QDate::fromString(since, Qt::ISODate);
        // The times printed are UTC, and so is a time given without a zone.
        QDateTime time = QDateTime::fromString(since, Qt::ISODate);
        if (time.isValid() && time.timeSpec() == Qt::LocalTime)
            time.setTimeSpec(Qt::UTC);
        if (date.isValid() && since.size() == 10)
            filter.since = date.toString(Qt::ISODate);
        else if (time.isValid())
            filter.since = time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
        else
            throw EngineError(QStringLiteral("\"%1\" is not a date (YYYY-MM-DD) or a time (YYYY-MM-DDTHH:MM:SS).")
                                  .arg(printable(since)));
    }
    std::unique_ptr<Database> opened = openTarget(path, true);
    Database &db = *opened;
    if (!db.hasHistory())
        throw EngineError(QStringLiteral("The database holds no change history; \"bsc-db upgrade\" adds it.\nDatabase: %1")
                              .arg(db.path()),
                          EngineError::Kind::MissingTable);
    const QString measures = db.table(QStringLiteral("maßnahmen")).name;
    if (!table.isNull()) {
        QString bare = table;
        if (bare.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            bare.chop(3);
        // The measures as the export names them, too.
        if (bare.compare(QLatin1String("massnahmen"), Qt::CaseInsensitive) == 0)
            bare = measures;
        filter.table = db.table(bare).name;
        const bool isMeasures = filter.table == measures;
        if (isMeasures && !year.isNull())
            throw EngineError(QStringLiteral("--year names a key figure's row; a measure is named by its number (--nr)."));
        if (!isMeasures && !nr.isNull())
            throw EngineError(QStringLiteral("--nr names a measure; a row of %1 is named by its year (--year).").arg(filter.table));
    }
    if (!nr.isNull()) {
        if (filter.table.isEmpty())
            filter.table = measures;
        filter.row = nr;
    }
    if (!year.isNull()) {
        if (filter.table.isEmpty())
            filter.notTable = measures;
        filter.row = year;
    }
    const QStringList heads{QStringLiteral("time_utc"), QStringLiteral("user"), QStringLiteral("source"),
                            QStringLiteral("table"), QStringLiteral("row"), QStringLiteral("column"),
                            QStringLiteral("old"), QStringLiteral("new")};
    out << heads.join(csv ? QLatin1Char(',') : QLatin1Char('\t')) << '\n';
    QString line;
    bool written = true;
    db.scanHistory(filter, [&](const QVector<QVariant> &row) {
        line.clear();
        for (int i = 0; i < row.size(); ++i) {
            if (i)
                line += csv ? QLatin1Char(',') : QLatin1Char('\t');
            // Guarded as the export guards its cells, and no control
            // character reaches the terminal.
            if (csv)
                line += Spreadsheet::csvText(printable(row[i].toString(), true));
            else
                appendEscaped(line, row[i].toString());
        }
        line += QLatin1Char('\n');
        out << line;
        written = !out.failed();
        return written;
    });
    opened.reset();
    return out.flush() && written ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bsc-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BSC_VERSION));
    const AliasSettings alias = ScorecardAlias::settings();
    Output out;
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    const QString path = Alias::target(alias);
    // Where it points, as it may be shown: never with a password.
    QString shown;
    try {
        shown = Target::parse(path).display();
    } catch (const EngineError &error) {
        err << "bsc-db: " << error.message() << '\n';
        return 1;
    }
    auto written = [&] {
        if (out.flush())
            return 0;
        err << "bsc-db: could not write the output (" << QString::fromLocal8Bit(std::strerror(errno)) << ")\n";
        return 1;
    };
    // A name given empty (backup "") is a name left out, not the current folder.
    static const QHash<QString, QStringList> named{
        {QStringLiteral("backup"), {QStringLiteral("FILE")}},
        {QStringLiteral("copy"), {QStringLiteral("FROM"), QStringLiteral("TO")}},
        {QStringLiteral("alias"), {QStringLiteral("set"), QStringLiteral("TARGET")}},
    };
    const bool needsNames = named.contains(command) && (command != QLatin1String("alias") || args.value(1) == QLatin1String("set"));
    for (int i = 1; i < args.size() && needsNames; ++i) {
        if (args[i].isEmpty()) {
            const QStringList names = named.value(command);
            err << "bsc-db: " << command << " needs " << names.value(qMin(i - 1, int(names.size()) - 1))
                << ", which was given empty.\n";
            return 2;
        }
    }
    try {
        if ((command == QLatin1String("--help") || command == QLatin1String("-h")) && args.size() == 1) {
            out << Usage;
            return written();
        }
        if (command == QLatin1String("--version") && args.size() == 1) {
            out << "bsc-db " << BSC_VERSION << '\n';
            return written();
        }
        if (command == QLatin1String("init") && args.size() <= 2
            && (args.size() == 1 || args[1] == QLatin1String("--demo"))) {
            const bool demo = args.size() == 2;
            DbAdmin::create(path, demo, QDate::currentDate().year());
            out << "Created " << (demo ? "the demo database " : "the database ") << shown << '\n';
            return written();
        }
        if (command == QLatin1String("add-year") && args.size() == 2) {
            const DbAdmin::AddedYears added = DbAdmin::addYear(path, args[1]);
            if (!added.contiguous() || added.years.last() != args[1].toInt()) {
                QStringList years;
                for (int y : added.years)
                    years << QString::number(y);
                out << "Added the missing " << (years.size() == 1 ? "year " : "years ") << years.join(QStringLiteral(", "))
                    << " to the key-figure tables of " << shown << '\n';
            } else {
                if (added.count == 1)
                    out << "Added the year " << args[1];
                else
                    out << "Added " << QString::number(added.count) << " years, " << QString::number(added.first) << " to "
                        << args[1] << ',';
                out << " to every key-figure table of " << shown << '\n';
            }
            return written();
        }
        if (command == QLatin1String("path") && args.size() == 1) {
            out << shown << '\n';
            return written();
        }
        if (command == QLatin1String("alias") && args.size() == 1) {
            const QString stored = Alias::stored(alias);
            if (stored.isEmpty())
                out << "No address is stored; the alias points to " << shown << '\n';
            else
                out << Target::parse(stored).display() << '\n';
            return written();
        }
        if (command == QLatin1String("alias") && args.size() == 3 && args[1] == QLatin1String("set")) {
            Alias::store(alias, args[2]);
            out << "Stored " << Target::parse(args[2]).display() << " in " << Alias::configPath(alias) << '\n';
            if (!qEnvironmentVariableIsEmpty("PROJEKT_BSC_DATABASE"))
                out << "PROJEKT_BSC_DATABASE is set and goes first while it is.\n";
            return written();
        }
        if (command == QLatin1String("alias") && args.size() == 2 && args[1] == QLatin1String("unset")) {
            Alias::store(alias, QString());
            out << "Removed the stored address\n";
            return written();
        }
        if (command == QLatin1String("copy") && args.size() == 3) {
            DbAdmin::copy(args[1], args[2]);
            out << "Copied every row of " << Target::parse(args[1]).display() << " to "
                << Target::parse(args[2]).display() << '\n';
            return written();
        }
        if (command == QLatin1String("query") && args.size() == 2) {
            if (query(path, args[1], out))
                return 0;
            return written();
        }
        if (command == QLatin1String("backup") && args.size() == 2) {
            DbAdmin::backup(path, args[1]);
            out << "Wrote a copy of " << shown << " to " << args[1] << '\n';
            return written();
        }
        if (command == QLatin1String("check") && args.size() == 1) {
            const DbAdmin::CheckReport report = DbAdmin::check(path);
            for (const QString &line : report.notes)
                out << printable(line) << '\n';
            for (const QString &line : report.warnings)
                out << "WARNING: " << printable(line) << '\n';
            for (const QString &line : report.faults)
                out << "FAULT: " << printable(line) << '\n';
            out << (report.ok() ? "No faults found in " : "Faults found in ") << shown << '\n';
            const int status = written();
            return status ? status : (report.ok() ? 0 : 1);
        }
        if (command == QLatin1String("upgrade") && args.size() == 1) {
            const QStringList changes = DbAdmin::upgrade(path);
            for (const QString &line : changes)
                out << line << '\n';
            if (changes.isEmpty())
                out << shown << " is up to date\n";
            return written();
        }
        if (command == QLatin1String("import-legacy") && (args.size() == 2 || (args.size() == 3 && args[2] == QLatin1String("--yes")))) {
            const int status = importLegacy(path, args[1], args.size() == 3, out, err);
            const int output = written();
            return status ? status : output;
        }
        if (command == QLatin1String("history")) {
            if (const std::optional<int> status = history(path, args, out)) {
                const int output = written();
                return *status ? *status : output;
            }
        }
        if (command == QLatin1String("export") || command == QLatin1String("import")) {
            const bool exporting = command == QLatin1String("export");
            if (const auto sheet = sheetArguments(args, exporting)) {
                const int status = exporting ? exportSheet(path, *sheet, out) : importSheet(path, *sheet, out, err);
                const int output = written();
                return status ? status : output;
            }
        }
    } catch (const EngineError &error) {
        out.flush();
        err << "bsc-db: " << printable(error.message(), true) << '\n';
        return 1;
    }
    err << Usage;
    return 2;
}
