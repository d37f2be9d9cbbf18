#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>

// Files named by their bytes (old files' names may be in a Windows code
// page, which a decoded name could no longer open), opened for reading
// only: a read-only file, another user's readable file and a file on a
// read-only mount open like any other, and nothing is ever written to them.
namespace ReadOnlyFile {

// The names in a folder, sorted, without "." and "..". Empty with the
// reason when the folder cannot be read.
QList<QByteArray> entries(const QByteArray &folder, QString *why);

// What the name is when it is not a regular file ("a folder", "a named
// pipe (FIFO)", ...); empty for a regular file or one that does not exist.
// Asked before opening: opening a pipe for reading waits for a writer.
QString notRegular(const QByteArray &path);

// An open file; closed with the object.
class File {
public:
    // Opens a regular file for reading; a folder, pipe, device or socket
    // under the name is refused without waiting on it.
    explicit File(const QByteArray &path);
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why it could not be opened or read, as the system says it.
    QString error() const { return m_error; }
    qint64 size() const { return m_size; }

    // Up to n bytes from the offset; fewer at the end of the file.
    QByteArray read(qint64 offset, qint64 n);
    // The file as a C stream for a library that reads through one, open
    // for reading only; the stream is the caller's to fclose.
    std::FILE *stream();

private:
    int m_fd = -1;
    qint64 m_size = 0;
    QString m_error;
};

} // namespace ReadOnlyFile
