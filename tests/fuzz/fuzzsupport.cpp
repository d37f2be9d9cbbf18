#include "tests/fuzz/fuzzsupport.h"

#include "core/dbadmin.h"
#include "model/alias.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <cstdlib>

namespace {

struct Fixture {
    QCoreApplication *app = nullptr;
    QTemporaryDir *dir = nullptr;
    Connection *connection = nullptr;
    QString path;
    qlonglong dataVersion = -1;
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

QSqlDatabase watcher() { return QSqlDatabase::database(QStringLiteral("fuzz-watcher"), false); }

qlonglong scalar(const QSqlDatabase &db, const char *sql)
{
    QSqlQuery q(db);
    if (!q.exec(QString::fromLatin1(sql)) || !q.next()) {
        std::fprintf(stderr, "fuzz: %s failed\n", sql);
        std::abort();
    }
    return q.value(0).toLongLong();
}

} // namespace

Connection &Fuzz::openDatabase()
{
    Fixture &f = fixture();
    if (!f.app) {
        static int argc = 1;
        static char name[] = "fuzz";
        static char *argv[] = {name, nullptr};
        f.app = new QCoreApplication(argc, argv);
        f.connection = new Connection(ScorecardAlias::settings(), ScorecardAlias::databaseSettings());
        f.dir = new QTemporaryDir;
        f.path = f.dir->filePath(QStringLiteral("fuzz.sqlite"));
        DbAdmin::create(f.path, true, 2013);
        QSqlDatabase w = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-watcher"));
        w.setDatabaseName(f.path);
        w.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!w.open()) {
            std::fprintf(stderr, "fuzz: cannot open %s\n", qPrintable(f.path));
            std::abort();
        }
        f.dataVersion = scalar(w, "PRAGMA data_version");
        // The database goes with the process, unless a finding stopped it.
        std::atexit([] {
            delete fixture().connection;
            fixture().connection = nullptr;
            QSqlDatabase::database(QStringLiteral("fuzz-watcher"), false).close();
            QSqlDatabase::removeDatabase(QStringLiteral("fuzz-watcher"));
            delete fixture().dir;
            fixture().dir = nullptr;
        });
    }
    if (!f.connection->isOpen())
        f.connection->open(f.path);
    return *f.connection;
}

void Fuzz::requireUnchanged(const char *target, const QByteArray &input)
{
    // total_changes counts the rows this program's connection wrote;
    // data_version moves when any other connection committed to the file.
    Connection *connection = fixture().connection;
    if (connection && connection->isOpen()) {
        const qlonglong written = scalar(connection->database().connection(), "SELECT total_changes()");
        if (written != 0)
            finding(target, QStringLiteral("%1 rows were written").arg(written), input);
    }
    if (scalar(watcher(), "PRAGMA data_version") != fixture().dataVersion)
        finding(target, QStringLiteral("the database file was changed"), input);
}

void Fuzz::finding(const char *target, const QString &what, const QByteArray &input)
{
    std::fprintf(stderr, "fuzz_%s: %s\ninput: %s\n", target, what.toUtf8().toPercentEncoding(" :/?=&@\"*[]").constData(),
                 input.toPercentEncoding().constData());
    std::abort();
}
