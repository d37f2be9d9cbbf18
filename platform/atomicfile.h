#pragma once

#include <QByteArray>
#include <QString>

// Files that appear complete or not at all: written under a temporary name
// beside the target, every write, the sync and the close checked, then
// renamed. A failure (a full disk, a quota, a folder that refuses) removes
// what was begun and names the cause as the system gives it.
namespace AtomicFile {

// "<target>.<purpose>-XXXXXXXX.tmp".
QString temporaryName(const QString &target, const QString &purpose);

// Writes bytes into a new file (refusing one that exists) and syncs it to
// disk; on failure removes it. False with the reason.
bool writeNew(const QString &path, const QByteArray &bytes, QString *error);

// Syncs a file that another library wrote and checks it can be closed.
bool sync(const QString &path, QString *error);

// Gives a finished file its name in one step, never replacing what has that
// name (false with the reason when it is taken meanwhile), or replacing it.
bool renameNoReplace(const QString &from, const QString &to, QString *error);
bool renameReplacing(const QString &from, const QString &to, QString *error);

// The whole way: a temporary file, written and synced, then its name.
bool write(const QString &target, const QByteArray &bytes, bool replace, const QString &purpose, QString *error);

} // namespace AtomicFile
