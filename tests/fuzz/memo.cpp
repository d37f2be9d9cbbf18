// A memo file (.MB) beside the measures table, read the way the import
// reads each memo field of a record: the references are those a table
// would hold for the blobs the file says it has, and some taken from the
// input itself. No input may crash the reader; every fault is a message
// that the import can name with its file and row.
#include "tests/fuzz/fuzzsupport.h"

#include "core/legacyimport.h"
#include "core/memofile.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <cstring>

namespace {

void put32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char(v >> (8 * i));
}

// A memo field of the given length: leading text, then the blob's place,
// length and modification number.
QByteArray field(int length, quint32 place, quint32 size, quint16 mod, const QByteArray &leading)
{
    QByteArray f(length, '\0');
    std::memcpy(f.data(), leading.constData(), size_t(qMin<qsizetype>(leading.size(), length - MemoFile::Trailer)));
    char *t = f.data() + length - MemoFile::Trailer;
    put32(t, place);
    put32(t + 4, size);
    t[8] = char(mod);
    t[9] = char(mod >> 8);
    return f;
}

quint32 le32(const uchar *p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar *p) { return quint16(p[0] | p[1] << 8); }

// The fields a table would hold for the blobs the file describes.
QList<QByteArray> references(const QByteArray &input)
{
    QList<QByteArray> fields;
    const auto *b = reinterpret_cast<const uchar *>(input.constData());
    const qsizetype total = input.size();
    const QByteArray leading = input.left(20);
    for (qsizetype block = MemoFile::BlockSize; block + 12 <= total && fields.size() < 200; block += MemoFile::BlockSize) {
        if (b[block] == 2) {
            const quint32 size = le32(b + block + 3);
            const quint16 mod = le16(b + block + 7);
            fields << field(30, quint32(block) | 0xff, size, mod, leading) << field(11, quint32(block) | 0xff, size, mod, leading)
                   << field(30, quint32(block) | 0xff, size + 1, mod, leading);
        } else if (b[block] == 3) {
            for (int slot = 0; slot < 64 && block + 12 + slot * 5 + 5 <= total; ++slot) {
                const uchar *entry = b + block + 12 + slot * 5;
                if (entry[0] == 0)
                    continue;
                const quint32 size = entry[1] ? quint32(entry[1] - 1) * 16 + (entry[4] ? entry[4] : 16) : 0;
                fields << field(20, quint32(block) | quint32(slot), size, le16(entry + 2), leading);
            }
        }
    }
    // Ten-byte references taken from the end of the input, as if a
    // damaged record held them, in fields of several lengths.
    static const int lengths[] = {10, 11, 24, 40};
    for (int i = 0; i < 8 && (i + 1) * MemoFile::Trailer <= total; ++i) {
        const QByteArray tail = input.mid(total - (i + 1) * MemoFile::Trailer, MemoFile::Trailer);
        const int length = lengths[i % 4];
        QByteArray f = leading.left(qMax(0, length - MemoFile::Trailer)).leftJustified(length - MemoFile::Trailer, ' ');
        f += tail;
        fields << f;
    }
    return fields;
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz-memo-XXXXXX"));
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 256 * 1024)
        return -1;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = folder().filePath(QStringLiteral("maßnahmen.MB"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(input) != input.size())
        Fuzz::finding("memo", QStringLiteral("cannot write %1").arg(path), input);
    out.close();

    const MemoFile memo(QFile::encodeName(path));
    const QList<QByteArray> fields = references(input);
    for (int row = 0; row < fields.size(); ++row) {
        const QByteArray &f = fields[row];
        QByteArray text;
        QString why;
        if (memo.read(f.constData(), int(f.size()), &text, &why)) {
            const quint32 stored = f.size() > MemoFile::Trailer ? le32(reinterpret_cast<const uchar *>(f.constData()) + f.size() - 6) : 0;
            if (quint32(text.size()) != stored)
                Fuzz::finding("memo", QStringLiteral("row %1: %2 bytes read, the record says %3").arg(row + 1).arg(text.size()).arg(stored), input);
            continue;
        }
        if (why.isEmpty())
            Fuzz::finding("memo", QStringLiteral("row %1: a fault without a message").arg(row + 1), input);
        const LegacyImport::Fault fault{QStringLiteral("maßnahmen.db (maßnahmen.MB)"), row + 1, QStringLiteral("Maßnahme"), {}, why};
        const QString shown = fault.text();
        if (!shown.contains(QStringLiteral("maßnahmen.MB")) || !shown.contains(QStringLiteral("row %1").arg(row + 1)))
            Fuzz::finding("memo", QStringLiteral("a fault that names no file and row: ") + shown, input);
    }
    return 0;
}
