// bsc-db: creates and looks after the scorecard database.
#include "model/alias.h"
#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"
#include "tools/dbadmin.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

const char *const Usage =
    "Usage: bsc-db COMMAND\n"
    "\n"
    "  init [--demo]     create the database where the alias points (with --demo:\n"
    "                    sample values and measures); refuses an existing file\n"
    "  add-year YYYY     add an empty row for a year after the last one to every\n"
    "                    key-figure table\n"
    "  path              print the file the alias projekt_bsc points to\n"
    "  query \"STATEMENT\" run one statement of the program's dialect and print the\n"
    "                    rows as tab-separated text with a header line\n"
    "  backup FILE       write a consistent copy of the database into a new FILE,\n"
    "                    also while the program is running\n"
    "  check             check the file and that every key-figure table holds one\n"
    "                    row per year without gaps; exits 1 on any fault\n"
    "  upgrade           bring a database made by an older version up to date\n"
    "  --version         print the version\n"
    "  --help            print this text\n"
    "\n"
    "The alias points to $PROJEKT_BSC_DATABASE, or else to the default file in\n"
    "the user's data folder.\n";

// Standard output that reports a failed write (a full disk, a closed pipe)
// instead of passing for success.
class Output {
public:
    Output() : m_file(), m_stream(&m_file) { m_file.open(stdout, QIODevice::WriteOnly); }
    QTextStream &stream() { return m_stream; }
    // Flushes; false when anything written so far was lost.
    bool flush()
    {
        m_stream.flush();
        return m_stream.status() == QTextStream::Ok && m_file.error() == QFileDevice::NoError;
    }

private:
    QFile m_file;
    QTextStream m_stream;
};

QString escaped(QString value)
{
    // One row per line: line breaks and tabs inside a value are escaped.
    return value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"));
}

// Prints as it reads, page by page, so memory stays flat however many rows.
bool query(const QString &statement, Output &out)
{
    Query q(QStringLiteral("query"));
    q.setPageSize(1000);
    q.setSql(statement);
    q.open();
    const QStringList fields = q.fieldNames();
    QTextStream &s = out.stream();
    s << fields.join(QLatin1Char('\t')) << '\n';
    int lines = 0;
    for (q.first(); !q.eof(); q.next()) {
        for (int i = 0; i < fields.size(); ++i) {
            if (i)
                s << '\t';
            s << escaped(q.currentText(i));
        }
        s << '\n';
        if (++lines % 1000 == 0 && !out.flush())
            return false;
    }
    return out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bsc-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BSC_VERSION));
    ScorecardAlias::install();
    Output out;
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    const QString path = Alias::target();
    auto written = [&] {
        if (out.flush())
            return 0;
        err << "bsc-db: could not write the output (" << out.stream().device()->errorString() << ")\n";
        return 1;
    };
    try {
        if ((command == QLatin1String("--help") || command == QLatin1String("-h")) && args.size() == 1) {
            out.stream() << Usage;
            return written();
        }
        if (command == QLatin1String("--version") && args.size() == 1) {
            out.stream() << "bsc-db " << BSC_VERSION << '\n';
            return written();
        }
        if (command == QLatin1String("init") && args.size() <= 2
            && (args.size() == 1 || args[1] == QLatin1String("--demo"))) {
            const bool demo = args.size() == 2;
            DbAdmin::create(path, demo, QDate::currentDate().year());
            out.stream() << "Created " << (demo ? "the demo database " : "the database ") << path << '\n';
            return written();
        }
        if (command == QLatin1String("add-year") && args.size() == 2) {
            DbAdmin::addYear(path, args[1]);
            out.stream() << "Added the year " << args[1] << " to every key-figure table of " << path << '\n';
            return written();
        }
        if (command == QLatin1String("path") && args.size() == 1) {
            out.stream() << path << '\n';
            return written();
        }
        if (command == QLatin1String("query") && args.size() == 2) {
            if (query(args[1], out))
                return 0;
            return written();
        }
        if (command == QLatin1String("backup") && args.size() == 2) {
            DbAdmin::backup(path, args[1]);
            out.stream() << "Wrote a copy of " << path << " to " << args[1] << '\n';
            return written();
        }
        if (command == QLatin1String("check") && args.size() == 1) {
            const DbAdmin::CheckReport report = DbAdmin::check(path);
            for (const QString &line : report.notes)
                out.stream() << line << '\n';
            for (const QString &line : report.faults)
                out.stream() << "FAULT: " << line << '\n';
            out.stream() << (report.ok() ? "No faults found in " : "Faults found in ") << path << '\n';
            const int status = written();
            return status ? status : (report.ok() ? 0 : 1);
        }
        if (command == QLatin1String("upgrade") && args.size() == 1) {
            const QStringList changes = DbAdmin::upgrade(path);
            for (const QString &line : changes)
                out.stream() << line << '\n';
            if (changes.isEmpty())
                out.stream() << path << " is up to date\n";
            return written();
        }
    } catch (const EngineError &error) {
        out.flush();
        err << "bsc-db: " << error.message() << '\n';
        return 1;
    }
    err << Usage;
    return 2;
}
