#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool fail(QString *error, const QString &path, int code)
{
    if (error)
        *error = QStringLiteral("Cannot write %1: %2; nothing was written.").arg(path, systemError(code));
    return false;
}

// The folder's entry of a renamed file reaches the disk too.
void syncFolder(const QString &file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString AtomicFile::temporaryName(const QString &target, const QString &purpose)
{
    return target + QLatin1Char('.') + purpose + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(8)
        + QStringLiteral(".tmp");
}

bool AtomicFile::writeNew(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(error, path, errno);
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    int code = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(qMin<qint64>(left, 1 << 20)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            code = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= n;
    }
    // A file system that allocates late reports a full disk here.
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code != 0) {
        ::unlink(name.constData());
        return fail(error, path, code);
    }
    return true;
}

bool AtomicFile::sync(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return fail(error, path, errno);
    int code = ::fsync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return code == 0 || fail(error, path, code);
}

bool AtomicFile::renameNoReplace(const QString &from, const QString &to, QString *error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
        syncFolder(to);
        return true;
    }
    int code = errno;
    if (code == EINVAL || code == ENOSYS) {
        // File systems without the flag: a hard link is just as atomic and
        // fails when the name exists.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            syncFolder(to);
            return true;
        }
        code = errno;
    }
    if (error) {
        *error = code == EEXIST ? QStringLiteral("%1 exists already; it was left untouched.").arg(to)
                                : QStringLiteral("Cannot name the file %1: %2").arg(to, systemError(code));
    }
    return false;
}

bool AtomicFile::renameReplacing(const QString &from, const QString &to, QString *error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        syncFolder(to);
        return true;
    }
    if (error)
        *error = QStringLiteral("Cannot name the file %1: %2").arg(to, systemError(errno));
    return false;
}

bool AtomicFile::write(const QString &target, const QByteArray &bytes, bool replace, const QString &purpose,
                       QString *error)
{
    const QString temp = temporaryName(target, purpose);
    QString why;
    if (!writeNew(temp, bytes, &why)) {
        // The reason, with the name the user knows.
        if (error)
            *error = why.replace(temp, target);
        return false;
    }
    const bool named = replace ? renameReplacing(temp, target, error) : renameNoReplace(temp, target, error);
    if (!named)
        QFile::remove(temp);
    return named;
}
