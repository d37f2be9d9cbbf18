#include "core/memofile.h"

#include "platform/readonlyfile.h"

namespace {

quint32 le32(const uchar *p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar *p) { return quint16(p[0] | p[1] << 8); }

// Old memo files are small; this bounds what a damaged or foreign file
// can make the import hold in memory.
constexpr qint64 MaxMemoBytes = qint64(1) << 30;

} // namespace

MemoFile::MemoFile(const QByteArray &path) : m_path(path)
{
    if (path.isEmpty())
        return;
    ReadOnlyFile::File file(path);
    if (!file.isOpen()) {
        m_problem = QStringLiteral("cannot be read: %1").arg(file.error());
        return;
    }
    if (file.size() > MaxMemoBytes) {
        m_problem = QStringLiteral("is larger than a memo file of the old program can be");
        return;
    }
    m_bytes = file.read(0, file.size());
    if (m_bytes.size() != file.size()) {
        m_problem = QStringLiteral("cannot be read: %1").arg(file.error());
        m_bytes.clear();
        return;
    }
    if (m_bytes.size() >= 16 && m_bytes.at(0) == 0)
        return;
    // Whole blocks whose first is no plain header: what the old engine
    // writes for a table with a password.
    if (m_bytes.size() >= BlockSize && m_bytes.size() % BlockSize == 0)
        m_problem = QStringLiteral("is encrypted (protected by a password) or damaged: its header cannot be read; "
                                   "remove the password in the old program first");
    else
        m_problem = QStringLiteral("is not a memo file (its header is missing)");
    m_bytes.clear();
}

bool MemoFile::read(const char *field, int length, QByteArray *text, QString *why) const
{
    *text = QByteArray();
    if (length < Trailer) {
        *why = QStringLiteral("the memo field is too short (%1 bytes)").arg(length);
        return false;
    }
    const auto *trailer = reinterpret_cast<const uchar *>(field) + length - Trailer;
    const quint32 place = le32(trailer);
    const quint32 size = le32(trailer + 4);
    const quint16 mod = le16(trailer + 8);
    const int leading = length - Trailer;
    if (size == 0)
        return true;
    // A short text lives in the record alone.
    if (size <= quint32(leading)) {
        *text = QByteArray(field, int(size));
        return true;
    }
    if (!present()) {
        *why = QStringLiteral("the text is kept in a memo file (.MB), which is missing");
        return false;
    }
    if (!m_problem.isEmpty()) {
        *why = QStringLiteral("the memo file %1").arg(m_problem);
        return false;
    }
    const qint64 block = qint64(place & ~quint32(0xff));
    const int slot = int(place & 0xff);
    const auto *bytes = reinterpret_cast<const uchar *>(m_bytes.constData());
    const qint64 total = m_bytes.size();
    auto damaged = [&](const QString &what) {
        *why = QStringLiteral("the memo file is damaged at byte %1: %2").arg(QString::number(block), what);
        return false;
    };
    if (block == 0 || block % BlockSize != 0 || block + 12 > total)
        return damaged(QStringLiteral("the record points outside the file"));
    const uchar type = bytes[block];
    qint64 start = 0;
    if (slot == 0xff) {
        if (type != 2)
            return damaged(QStringLiteral("no blob of its own here (block type %1)").arg(type));
        const quint32 stored = le32(bytes + block + 3);
        const quint32 blocks = le16(bytes + block + 1);
        if (stored != size)
            return damaged(QStringLiteral("the blob holds %1 bytes, the record says %2").arg(stored).arg(size));
        if (le16(bytes + block + 7) != mod)
            return damaged(QStringLiteral("the blob belongs to another version of the record"));
        if (qint64(size) + 9 > qint64(blocks) * BlockSize)
            return damaged(QStringLiteral("the blob is longer than its blocks"));
        start = block + 9;
    } else {
        if (type != 3)
            return damaged(QStringLiteral("no small blobs here (block type %1)").arg(type));
        if (slot >= 64)
            return damaged(QStringLiteral("slot %1 does not exist").arg(slot));
        const qint64 entry = block + 12 + qint64(slot) * 5;
        const int offset16 = bytes[entry];
        const int size16 = bytes[entry + 1];
        if (offset16 == 0 || size16 == 0)
            return damaged(QStringLiteral("slot %1 is empty").arg(slot));
        if (le16(bytes + entry + 2) != mod)
            return damaged(QStringLiteral("the blob belongs to another version of the record"));
        if (size > quint32(size16) * 16 || size <= quint32(size16 - 1) * 16)
            return damaged(QStringLiteral("the blob's size does not match the record"));
        start = block + qint64(offset16) * 16;
        if (start + size > block + BlockSize)
            return damaged(QStringLiteral("the blob runs past its block"));
    }
    if (start + qint64(size) > total)
        return damaged(QStringLiteral("the file ends inside the blob"));
    *text = m_bytes.mid(start, size);
    return true;
}
