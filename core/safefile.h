#pragma once

#include <QString>

// Writing files so that nothing half-written is ever found under the real
// name and nothing that exists is replaced.
namespace SafeFile {

// True when something (also a dangling symbolic link) has this name.
bool occupied(const QString &path);

// Why an occupied name cannot take a new file: "X is a folder; ..." or "X
// exists already; it was left untouched." (in English, for bsc-db and the
// command line).
QString occupiedMessage(const QString &path);

// Gives a finished file its name in one step, never replacing what has
// that name; false (with the reason) when the name is taken meanwhile.
bool renameNoReplace(const QString &from, const QString &to, QString *error);

// Gives a finished file its name in one step, replacing what has that
// name (never a folder); false with the reason when it cannot.
bool renameReplacing(const QString &from, const QString &to, QString *error);

// A temporary name beside the target that says whose it is:
// "<target>.<purpose>-XXXXXXXX.tmp".
QString temporaryName(const QString &target, const QString &purpose);

// Holds an exclusive lock on a folder for its lifetime, so that two runs
// that build files in it take turns. Throws EngineError when it cannot.
class FolderLock {
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int m_fd = -1;
};

// Removes what killed runs left beside the target ("<target>.<purpose>-*.tmp"
// and their journals). Call it while holding the folder's lock.
void removeLeftovers(const QString &target, const QString &purpose);

} // namespace SafeFile
