#include "core/safefile.h"

#include "platform/atomicfile.h"
#include "platform/db/engineerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }
} // namespace

bool SafeFile::occupied(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool SafeFile::renameNoReplace(const QString &from, const QString &to, QString *error)
{
    return AtomicFile::renameNoReplace(from, to, error);
}

bool SafeFile::renameReplacing(const QString &from, const QString &to, QString *error)
{
    return AtomicFile::renameReplacing(from, to, error);
}

QString SafeFile::temporaryName(const QString &target, const QString &purpose)
{
    return AtomicFile::temporaryName(target, purpose);
}

SafeFile::FolderLock::FolderLock(const QString &folder)
{
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        throw EngineError(QStringLiteral("Cannot open the folder %1: %2").arg(folder, systemError(errno)));
    if (::flock(m_fd, LOCK_EX) != 0) {
        const int code = errno;
        ::close(m_fd);
        throw EngineError(QStringLiteral("Cannot lock the folder %1: %2").arg(folder, systemError(code)));
    }
}

SafeFile::FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);   // releases the lock
}

void SafeFile::removeLeftovers(const QString &target, const QString &purpose)
{
    const QFileInfo info(target);
    QDir folder = info.absoluteDir();
    const QString pattern = info.fileName() + QLatin1Char('.') + purpose + QStringLiteral("-*.tmp");
    for (const QString &name : folder.entryList({pattern, pattern + QStringLiteral("-journal")},
                                                QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
}

QString SafeFile::occupiedMessage(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("%1 is a folder; give the name of a new file.").arg(path);
    return QStringLiteral("%1 exists already; it was left untouched.").arg(path);
}

