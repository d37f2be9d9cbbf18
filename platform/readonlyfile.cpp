#include "platform/readonlyfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ReadOnlyFile {
namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString kind(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    return QStringLiteral("not a regular file");
}

} // namespace

QList<QByteArray> entries(const QByteArray &folder, QString *why)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        *why = systemError(errno);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QString notRegular(const QByteArray &path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return {};
    return kind(info.st_mode);
}

File::File(const QByteArray &path)
{
    const QString other = notRegular(path);
    if (!other.isEmpty()) {
        m_error = QStringLiteral("it is %1, not a file").arg(other);
        return;
    }
    // Not waiting on a pipe put there since the look above.
    m_fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = systemError(errno);
        return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_error = QStringLiteral("it is %1, not a file").arg(kind(info.st_mode));
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    m_size = qint64(info.st_size);
}

File::~File()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray File::read(qint64 offset, qint64 n)
{
    QByteArray bytes;
    if (m_fd < 0 || offset < 0 || n <= 0 || offset >= m_size)
        return bytes;
    bytes.resize(qsizetype(std::min(n, m_size - offset)));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t r = ::pread(m_fd, bytes.data() + got, size_t(bytes.size() - got), off_t(offset + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            m_error = systemError(errno);
        if (r <= 0)
            break;
        got += r;
    }
    bytes.truncate(got);
    return bytes;
}

std::FILE *File::stream()
{
    if (m_fd < 0)
        return nullptr;
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        m_error = systemError(errno);
        return nullptr;
    }
    std::FILE *stream = ::fdopen(copy, "rb");
    if (!stream) {
        m_error = systemError(errno);
        ::close(copy);
        return nullptr;
    }
    // The copy shares the file position with the original; start at the top.
    std::rewind(stream);
    return stream;
}

} // namespace ReadOnlyFile
