#pragma once
// A small file system that is nearly full, for tests of what a program does
// when a write fails for want of room: a tmpfs mounted in a temporary folder
// (as root), filled up to a few kilobytes. Without the right to mount, the
// test that asks for it is skipped.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/statvfs.h>
#include <unistd.h>

class SmallDisk {
public:
    // Room in KiB of the whole file system.
    explicit SmallDisk(int sizeKiB = 512)
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        m_mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                QStringLiteral("-o"), QStringLiteral("size=%1k").arg(sizeKiB),
                                                                QStringLiteral("tmpfs"), m_dir.path()})
            == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills the disk until about this much room is left.
    bool leaveFree(qint64 bytes)
    {
        QFile filler(m_dir.filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const qint64 fill = free() - bytes;
        if (fill > 0 && filler.write(QByteArray(fill, 'x')) != fill)
            return false;
        return filler.flush();
    }
    qint64 free() const
    {
        struct statvfs st;
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &st) != 0)
            return 0;
        return qint64(st.f_bavail) * qint64(st.f_frsize);
    }
    // Makes the whole file system read-only, as a medium that is.
    bool makeReadOnly()
    {
        return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()}) == 0;
    }
    // What is on the disk beside the filler.
    QStringList files() const
    {
        QStringList names = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

#define REQUIRE_SMALL_DISK(disk)                                                                                       \
    do {                                                                                                               \
        if (!(disk).mounted())                                                                                         \
            QSKIP("a small file system needs the right to mount one (root)");                                          \
    } while (false)
