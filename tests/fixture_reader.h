#pragma once
// The program on its database as a user who may only read it.

#include "fixture_disk.h"
#include "fixture_windows.h"

#include "model/alias.h"
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QFile>

// Points the program at its database as a user who may only read it: on
// PostgreSQL a role granted SELECT only; a file is copied to a disk that is
// then made read-only (as root nothing else stops a write). False: skipped.
inline bool becomeReader(TestWindows &w, SmallDisk &disk, QString &reason)
{
    QString target = w.db().path();
    if (TestDatabase::postgres()) {
        const QString role = QStringLiteral("bsc_leser_%1").arg(QCoreApplication::applicationPid());
        w.db().sql(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        w.db().sql(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(role));
        target.replace(QStringLiteral("user=postgres"), QStringLiteral("user=") + role);
        target.replace(QStringLiteral("://postgres@"), QStringLiteral("://%1@").arg(role));
        if (!target.contains(role)) {
            reason = QStringLiteral("no user in the address ") + target;
            return false;
        }
    } else {
        if (!disk.mounted()) {
            reason = QStringLiteral("a read-only disk needs the right to mount one (root)");
            return false;
        }
        w.db().connection().close();
        const QString copy = disk.filePath(QStringLiteral("projekt_bsc.sqlite"));
        if (!QFile::copy(target, copy) || !disk.makeReadOnly()) {
            reason = QStringLiteral("cannot make the read-only disk");
            return false;
        }
        target = copy;
    }
    qputenv(qPrintable(ScorecardAlias::settings().variable), target.toUtf8());
    w.db().connection().open(target);
    return true;
}

inline void dropReader(TestWindows &w)
{
    w.db().connection().close();
    if (!TestDatabase::postgres())
        return;
    const QString role = QStringLiteral("bsc_leser_%1").arg(QCoreApplication::applicationPid());
    w.db().sql(QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %1").arg(role));
    w.db().sql(QStringLiteral("DROP ROLE %1").arg(role));
}

