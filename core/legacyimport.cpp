#include "core/legacyimport.h"

#include "core/history.h"

#include "core/dbadmin.h"
#include "core/memofile.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "platform/db/database.h"
#include "platform/db/schemasql.h"
#include "platform/db/engineerror.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

namespace LegacyImport {
namespace {

const QString MeasuresTable = QStringLiteral("maßnahmen");
const QString NrColumn = QStringLiteral("Nr");
const QString What = QStringLiteral("import the old tables");

// Day numbers of Paradox dates count from 1 January of the year 1.
constexpr long DateBase = 1721425;

// The names in a folder as bytes: the old files' names may be in a Windows
// code page, which a decoded name could no longer open.
QList<QByteArray> entries(const QString &folder, QString *why)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
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

// ASCII letters without regard to case; other bytes as they are.
QByteArray lowerAscii(QByteArray bytes)
{
    for (char &c : bytes)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return bytes;
}

// The spellings the measures table's "ß" may have arrived in: UTF-8, a
// Windows code page (1252), a DOS one (850, 437), or written out as "ss".
QList<QByteArray> measuresBases()
{
    return {QByteArrayLiteral("ma\xc3\x9fnahmen"), QByteArrayLiteral("ma\xdfnahmen"),
            QByteArrayLiteral("ma\xe1nahmen"), QByteArrayLiteral("massnahmen")};
}

QList<QByteArray> matching(const QList<QByteArray> &names, const QList<QByteArray> &bases, const char *suffix)
{
    QList<QByteArray> found;
    for (const QByteArray &name : names) {
        const QByteArray lower = lowerAscii(name);
        for (const QByteArray &base : bases) {
            if (lower == base + '.' + suffix)
                found << name;
        }
    }
    return found;
}

QString shownName(const QByteArray &name)
{
    const QString utf8 = QString::fromUtf8(name);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(name) : utf8;
}

// Texts from a code page to Unicode, refusing bytes the page does not hold.
class Codec {
public:
    explicit Codec(int codepage)
    {
        m_name = QStringLiteral("CP%1").arg(codepage);
        m_cd = ::iconv_open("UTF-8", m_name.toLatin1().constData());
    }
    ~Codec()
    {
        if (m_cd != iconv_t(-1))
            ::iconv_close(m_cd);
    }
    Codec(const Codec &) = delete;
    Codec &operator=(const Codec &) = delete;

    bool valid() const { return m_cd != iconv_t(-1); }
    QString name() const { return m_name; }

    bool decode(const QByteArray &bytes, QString *text)
    {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out(bytes.size() * 4 + 4, Qt::Uninitialized);
        char *in = const_cast<char *>(bytes.constData());
        size_t inLeft = size_t(bytes.size());
        char *to = out.data();
        size_t outLeft = size_t(out.size());
        if (::iconv(m_cd, &in, &inLeft, &to, &outLeft) == size_t(-1))
            return false;
        out.truncate(out.size() - qsizetype(outLeft));
        *text = QString::fromUtf8(out);
        // Line ends as the program keeps them.
        text->replace(QLatin1String("\r\n"), QLatin1String("\n"));
        return true;
    }

private:
    QString m_name;
    iconv_t m_cd = iconv_t(-1);
};

void collectError(pxdoc_t *, int type, const char *message, void *data)
{
    if (type == PX_Warning)
        return;
    auto *error = static_cast<QString *>(data);
    if (error->isEmpty())
        *error = QString::fromLocal8Bit(message).trimmed();
}

// What pxlib takes on trust from a table's header, checked before it reads
// the file: a damaged or foreign header made it hang or read past its
// buffers. Empty when the header is sound.
QString typeName(int type);

QString headerFault(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    QByteArray head;
    if (::fstat(fd, &info) == 0) {
        head.resize(qsizetype(std::min<off_t>(info.st_size, 0x10000)));
        qsizetype got = 0;
        while (got < head.size()) {
            const ssize_t r = ::read(fd, head.data() + got, size_t(head.size() - got));
            if (r <= 0)
                break;
            got += r;
        }
        head.truncate(got);
    }
    // The chain of data blocks, each named once, each within the file, its
    // records within the block: pxlib follows it without a bound.
    auto chainFault = [&]() -> QString {
        if (head.size() < 0x58)
            return {};
        const auto *h = reinterpret_cast<const uchar *>(head.constData());
        const int recordSize = h[0] | h[1] << 8;
        const qint64 headerSize = h[2] | h[3] << 8;
        const qint64 blockSize = qint64(h[5]) * 1024;
        const int fileBlocks = h[0x0c] | h[0x0d] << 8;
        if (recordSize == 0 || blockSize == 0 || qint64(info.st_size) < headerSize + fileBlocks * blockSize)
            return {};
        QList<bool> seen(fileBlocks + 1, false);
        int block = h[0x0e] | h[0x0f] << 8;
        while (block != 0) {
            if (block > fileBlocks || seen[block])
                return QStringLiteral("the table's blocks are linked in a loop or past its end; the file is damaged");
            seen[block] = true;
            uchar d[6];
            if (::pread(fd, d, sizeof d, off_t(headerSize + (block - 1) * blockSize)) != ssize_t(sizeof d))
                return QStringLiteral("the table's block %1 cannot be read").arg(block);
            const int used = qint16(quint16(d[4] | d[5] << 8));
            const qint64 records = used / recordSize + 1;
            if (records < 0 || records * recordSize > blockSize - 6)
                return QStringLiteral("the table's block %1 holds more than fits; the file is damaged").arg(block);
            block = d[0] | d[1] << 8;
        }
        return {};
    };
    const QString chain = chainFault();
    ::close(fd);
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    const qsizetype size = head.size();
    auto u16 = [&](qsizetype at) { return int(b[at] | b[at + 1] << 8); };
    auto u32 = [&](qsizetype at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    const QString damaged = QStringLiteral("the table's header is damaged: %1");
    if (size < 0x58)
        return QStringLiteral("not a table of the old program");
    const int recordSize = u16(0);
    const int headerSize = u16(2);
    const int fileType = b[4];
    const int blockSize = b[5] * 1024;
    const int fileBlocks = u16(0x0c);
    const int numFields = u16(0x21);
    const int version = b[0x39];
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return QStringLiteral("not a table of the old program");
    // pxlib knows the versions up to 12; past them it skips the data header.
    if (version < 3 || version > 12)
        return QStringLiteral("not a table of the old program (file version %1)").arg(version);
    if (blockSize < 1024 || blockSize > 32 * 1024)
        return damaged.arg(QStringLiteral("block size %1").arg(blockSize));
    if (recordSize == 0 || recordSize > blockSize - 6)
        return damaged.arg(QStringLiteral("record size %1").arg(recordSize));
    if (numFields == 0 || numFields > 255)
        return damaged.arg(QStringLiteral("%1 fields").arg(numFields));
    if (u16(0x0e) > fileBlocks || u16(0x10) > fileBlocks)
        return damaged.arg(QStringLiteral("its blocks are out of order"));
    if (qint64(info.st_size) < qint64(headerSize) + qint64(fileBlocks) * blockSize)
        return QStringLiteral("the file is shorter than its header says; it was cut off");
    quint32 encryption = u32(0x25);
    const bool dataHeader = version >= 5;
    // The marker points into the data header, which only later versions
    // have; pxlib would take whatever its stack held.
    if (encryption == 0xff00ff00u && !dataHeader)
        return damaged.arg(QStringLiteral("file version %1 with a data header's password").arg(version));
    if (encryption == 0xff00ff00u)
        encryption = u32(0x5c);
    if (encryption != 0)
        return QStringLiteral("the table is protected by a password; remove it in the old program first");
    // Field types and sizes, the table's name and the fields' names, all
    // inside the header.
    const qsizetype fields = dataHeader ? 0x78 : 0x58;
    const qsizetype nameAt = fields + qsizetype(numFields) * 2 + 4 + qsizetype(numFields) * 4;
    const qsizetype tableNameLength = version == 12 ? 261 : 79;
    if (headerSize > size || nameAt + tableNameLength > headerSize)
        return damaged.arg(QStringLiteral("header size %1").arg(headerSize));
    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const int type = b[fields + i * 2];
        const int length = b[fields + i * 2 + 1];
        int expected = 0;
        switch (type) {
        case pxfAlpha: case pxfBytes: expected = length > 0 ? length : -1; break;
        case pxfDate: case pxfLong: case pxfTime: case pxfAutoInc: expected = 4; break;
        case pxfShort: expected = 2; break;
        case pxfCurrency: case pxfNumber: case pxfTimestamp: expected = 8; break;
        case pxfLogical: expected = 1; break;
        case pxfMemoBLOb: case pxfBLOb: case pxfFmtMemoBLOb: case pxfOLE: case pxfGraphic:
            expected = length > 10 ? length : -1;
            break;
        case pxfBCD:
            if (length > 32)
                return damaged.arg(QStringLiteral("field %1 has %2 decimals").arg(i + 1).arg(length));
            sum += 17;
            continue;
        default:
            return damaged.arg(QStringLiteral("field %1 has the unknown type %2").arg(i + 1).arg(type));
        }
        if (expected != length)
            return damaged.arg(QStringLiteral("field %1 (%2) is %3 bytes long").arg(i + 1).arg(typeName(type)).arg(length));
        sum += length;
    }
    if (sum != recordSize)
        return damaged.arg(QStringLiteral("the fields take %1 bytes of a record of %2").arg(sum).arg(recordSize));
    if (!chain.isEmpty())
        return chain;
    if (!std::memchr(b + nameAt, 0, size_t(tableNameLength)))
        return damaged.arg(QStringLiteral("the table's name does not end"));
    qsizetype at = nameAt + tableNameLength;
    for (int i = 0; i < numFields; ++i) {
        const void *end = at < headerSize ? std::memchr(b + at, 0, size_t(std::min<qsizetype>(headerSize - at, 256))) : nullptr;
        if (!end)
            return damaged.arg(QStringLiteral("the name of field %1 does not end").arg(i + 1));
        at = static_cast<const uchar *>(end) - b + 1;
    }
    return {};
}

// One open table file.
class ParadoxFile {
public:
    explicit ParadoxFile(const QByteArray &path)
    {
        static std::once_flag booted;
        std::call_once(booted, [] { PX_boot(); });
        m_doc = PX_new3(collectError, nullptr, nullptr, nullptr, &m_error);
        if (!m_doc) {
            m_error = QStringLiteral("out of memory");
            return;
        }
        m_error = headerFault(path);
        if (!m_error.isEmpty())
            return;
        if (PX_open_file(m_doc, path.constData()) < 0) {
            if (m_error.isEmpty())
                m_error = QStringLiteral("not a table of the old program");
            return;
        }
        m_open = true;
    }
    ~ParadoxFile()
    {
        if (m_doc) {
            if (m_open)
                PX_close(m_doc);
            PX_delete(m_doc);
        }
    }
    ParadoxFile(const ParadoxFile &) = delete;
    ParadoxFile &operator=(const ParadoxFile &) = delete;

    bool open() const { return m_open; }
    pxdoc_t *doc() const { return m_doc; }
    QString takeError()
    {
        QString e = m_error.isEmpty() ? QStringLiteral("cannot be read") : m_error;
        m_error.clear();
        return e;
    }

private:
    pxdoc_t *m_doc = nullptr;
    bool m_open = false;
    QString m_error;
};

QString typeName(int type)
{
    switch (type) {
    case pxfAlpha: return QStringLiteral("alpha");
    case pxfDate: return QStringLiteral("date");
    case pxfShort: return QStringLiteral("short");
    case pxfLong: return QStringLiteral("long");
    case pxfCurrency: return QStringLiteral("money");
    case pxfNumber: return QStringLiteral("number");
    case pxfLogical: return QStringLiteral("logical");
    case pxfMemoBLOb: return QStringLiteral("memo");
    case pxfBLOb: return QStringLiteral("binary");
    case pxfFmtMemoBLOb: return QStringLiteral("formatted memo");
    case pxfOLE: return QStringLiteral("OLE");
    case pxfGraphic: return QStringLiteral("graphic");
    case pxfTime: return QStringLiteral("time");
    case pxfTimestamp: return QStringLiteral("timestamp");
    case pxfAutoInc: return QStringLiteral("autoincrement");
    case pxfBCD: return QStringLiteral("BCD");
    case pxfBytes: return QStringLiteral("bytes");
    default: return QStringLiteral("type %1").arg(type);
    }
}

bool readable(int type)
{
    switch (type) {
    case pxfAlpha: case pxfDate: case pxfShort: case pxfLong: case pxfCurrency: case pxfNumber:
    case pxfMemoBLOb: case pxfFmtMemoBLOb: case pxfTime: case pxfTimestamp: case pxfAutoInc: case pxfBCD:
        return true;
    default:
        return false;
    }
}

QString wholeOrDecimal(double d)
{
    if (!std::isfinite(d))
        return QStringLiteral("not a number");
    if (d == std::trunc(d))
        return QString::number(d, 'f', 0);
    return QString::number(d, 'g', 15);
}

// "+0012.50" as the user saw it: "12.5".
QString decimalText(QString text)
{
    text = text.trimmed();
    QString sign;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        if (text.startsWith(QLatin1Char('-')))
            sign = QStringLiteral("-");
        text.remove(0, 1);
    }
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    while (text.size() > 1 && text.startsWith(QLatin1Char('0')) && text[1] != QLatin1Char('.'))
        text.remove(0, 1);
    if (text.isEmpty() || text == QLatin1String("0"))
        return QStringLiteral("0");
    return sign + text;
}

QString dateText(long days)
{
    int y = 0, m = 0, d = 0;
    PX_SdnToGregorian(days + DateBase, &y, &m, &d);
    return QStringLiteral("%1.%2.%3").arg(d, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0')).arg(y, 4, 10, QLatin1Char('0'));
}

QString timeText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3").arg(s / 3600, 2, 10, QLatin1Char('0')).arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// One field of a record as text, the way the old program showed it.
struct Cell {
    bool null = true;
    QString text;
    bool number = false;   // read from a numeric field
};

class Reader {
public:
    Reader(pxdoc_t *doc, Codec &codec, const MemoFile &memo) : m_doc(doc), m_codec(codec), m_memo(memo) {}

    // False with a reason when the field cannot be read.
    bool read(const pxfield_t &field, char *data, Cell *cell, QString *why)
    {
        *cell = Cell();
        const int len = field.px_flen;
        // An empty number or date is all zero bytes. pxlib's own test reads
        // eight bytes of a four-byte field on 64-bit machines and then
        // takes an empty field for the smallest number.
        if (field.px_ftype != pxfAlpha && field.px_ftype != pxfMemoBLOb && field.px_ftype != pxfFmtMemoBLOb
            && std::all_of(data, data + len, [](char c) { return c == 0; }))
            return true;
        switch (field.px_ftype) {
        case pxfAlpha: {
            char *value = nullptr;
            const int r = PX_get_data_alpha(m_doc, data, len, &value);
            if (r < 0)
                return fail(why);
            if (r == 0 || !value)
                return true;
            const QByteArray bytes(value);
            m_doc->free(m_doc, value);
            return text(bytes, cell, why);
        }
        case pxfShort: {
            short int v = 0;
            const int r = PX_get_data_short(m_doc, data, len, &v);
            return r < 0 ? fail(why) : (r == 0 || number(QString::number(v), cell));
        }
        case pxfLong:
        case pxfAutoInc: {
            long v = 0;
            const int r = PX_get_data_long(m_doc, data, len, &v);
            return r < 0 ? fail(why) : (r == 0 || number(QString::number(v), cell));
        }
        case pxfNumber:
        case pxfCurrency: {
            double v = 0;
            const int r = PX_get_data_double(m_doc, data, len, &v);
            return r < 0 ? fail(why) : (r == 0 || number(wholeOrDecimal(v), cell));
        }
        case pxfBCD: {
            // pxlib loses its buffer when the digits after the point differ
            // from the field's.
            if (data[0] != 0 && (uchar(data[0]) & 0x3f) != field.px_fdc)
                return fail(why);
            char *value = nullptr;
            const int r = PX_get_data_bcd(m_doc, reinterpret_cast<unsigned char *>(data), field.px_fdc, &value);
            if (r < 0)
                return fail(why);
            if (r == 0 || !value)
                return true;
            const QString t = decimalText(QString::fromLatin1(value));
            m_doc->free(m_doc, value);
            return number(t, cell);
        }
        case pxfDate:
        case pxfTime: {
            long v = 0;
            const int r = PX_get_data_long(m_doc, data, len, &v);
            if (r < 0)
                return fail(why);
            if (r > 0) {
                cell->null = false;
                cell->text = field.px_ftype == pxfDate ? dateText(v) : timeText(v);
            }
            return true;
        }
        case pxfTimestamp: {
            double v = 0;
            const int r = PX_get_data_double(m_doc, data, len, &v);
            if (r < 0)
                return fail(why);
            // Milliseconds from the year 1 to the end of the year 9999.
            if (r > 0 && !(v >= 0 && v < 3652059.0 * 86400000)) {
                *why = QStringLiteral("the timestamp lies outside the calendar");
                return false;
            }
            if (r > 0) {
                const qint64 ms = qint64(v);
                const long days = long(ms / 86400000);
                const qint64 rest = ms % 86400000;
                cell->null = false;
                cell->text = dateText(days) + (rest ? QLatin1Char(' ') + timeText(rest) : QString());
            }
            return true;
        }
        case pxfMemoBLOb:
        case pxfFmtMemoBLOb: {
            QByteArray bytes;
            if (!m_memo.read(data, len, &bytes, why))
                return false;
            if (bytes.isNull())
                return true;
            // A text ends at its first zero byte, as the old program kept it.
            const qsizetype zero = bytes.indexOf('\0');
            if (zero >= 0)
                bytes.truncate(zero);
            return text(bytes, cell, why);
        }
        default:
            *why = QStringLiteral("fields of type %1 cannot be read").arg(typeName(field.px_ftype));
            return false;
        }
    }

private:
    bool fail(QString *why)
    {
        *why = QStringLiteral("the field cannot be read");
        return false;
    }
    static bool number(const QString &t, Cell *cell)
    {
        cell->null = false;
        cell->number = true;
        cell->text = t;
        return true;
    }
    bool text(const QByteArray &bytes, Cell *cell, QString *why)
    {
        if (!m_codec.decode(bytes, &cell->text)) {
            *why = QStringLiteral("the text holds bytes that code page %1 does not know").arg(m_codec.name());
            return false;
        }
        cell->null = false;
        return true;
    }

    pxdoc_t *m_doc;
    Codec &m_codec;
    const MemoFile &m_memo;
};

// A table file read into rows of cells for the wanted columns.
struct Read {
    QList<QList<Cell>> rows;   // per record, per wanted column
    QList<int> records;        // the record number of each row, from 1
};

// Reads the wanted columns of a table; every fault goes to the list.
Read readTable(const QByteArray &path, const QString &file, const QStringList &wanted, const MemoFile &memo,
               QList<Fault> &faults, QStringList &notes)
{
    Read read;
    ParadoxFile px(path);
    if (!px.open()) {
        faults << Fault{file, 0, {}, {}, px.takeError()};
        return read;
    }
    pxdoc_t *doc = px.doc();
    // pxlib reads what lies past the end of a cut-off file as empty records.
    const pxhead_t *head = doc->px_head;
    struct stat info {};
    if (::stat(path.constData(), &info) == 0
        && qint64(info.st_size) < qint64(head->px_headersize) + qint64(head->px_fileblocks) * head->px_maxtablesize * 1024) {
        faults << Fault{file, 0, {}, {}, QStringLiteral("the file is shorter than its header says; it was cut off")};
        return read;
    }
    if (head->px_numrecords < 0 || head->px_numrecords > head->px_theonumrecords) {
        faults << Fault{file, 0, {}, {},
                        QStringLiteral("the header counts %1 records, more than the file holds; the file is damaged")
                            .arg(head->px_numrecords)};
        return read;
    }
    int codepage = doc->px_head->px_doscodepage;
    if (codepage == 0) {
        codepage = 1252;
        notes << QStringLiteral("%1: the table names no code page; its texts are read as CP1252").arg(file);
    }
    Codec codec(codepage);
    if (!codec.valid()) {
        faults << Fault{file, 0, {}, {}, QStringLiteral("the table's code page %1 is not known").arg(codepage)};
        return read;
    }

    // The columns by name, without regard to case.
    const int count = PX_get_num_fields(doc);
    QList<int> position(wanted.size(), -1);
    QList<int> offset(count, 0);
    int at = 0;
    const int faultsBefore = int(faults.size());
    for (int i = 0; i < count; ++i) {
        const pxfield_t *field = PX_get_field(doc, i);
        offset[i] = at;
        at += field->px_flen;
        QString name;
        if (!codec.decode(QByteArray(field->px_fname), &name))
            name = QString::fromLatin1(field->px_fname);
        const auto match = std::find_if(wanted.begin(), wanted.end(),
                                        [&](const QString &w) { return w.compare(name, Qt::CaseInsensitive) == 0; });
        if (match == wanted.end()) {
            notes << QStringLiteral("%1: the column %2 is not one of the program's; it is left out").arg(file, name);
            continue;
        }
        const int w = int(match - wanted.begin());
        if (position[w] >= 0) {
            faults << Fault{file, 0, *match, {}, QStringLiteral("the column appears twice")};
            continue;
        }
        if (!readable(field->px_ftype)) {
            faults << Fault{file, 0, *match, {}, QStringLiteral("fields of type %1 cannot be read").arg(typeName(field->px_ftype))};
            continue;
        }
        position[w] = i;
    }
    for (int w = 0; w < wanted.size(); ++w) {
        if (position[w] < 0 && std::none_of(faults.begin() + faultsBefore, faults.end(),
                                            [&](const Fault &f) { return f.column == wanted[w]; }))
            faults << Fault{file, 0, wanted[w], {}, QStringLiteral("the column is missing")};
    }
    if (int(faults.size()) != faultsBefore)
        return read;
    if (at > PX_get_recordsize(doc)) {
        faults << Fault{file, 0, {}, {}, QStringLiteral("the columns do not fit the record size; the file is damaged")};
        return read;
    }

    Reader reader(doc, codec, memo);
    QByteArray record(PX_get_recordsize(doc), '\0');
    const int records = PX_get_num_records(doc);
    for (int r = 0; r < records; ++r) {
        if (!PX_get_record(doc, r, record.data())) {
            faults << Fault{file, r + 1, {}, {}, QStringLiteral("the record cannot be read: %1").arg(px.takeError())};
            continue;
        }
        QList<Cell> row;
        bool fine = true;
        for (int w = 0; w < wanted.size(); ++w) {
            const int i = position[w];
            Cell cell;
            QString why;
            if (!reader.read(*PX_get_field(doc, i), record.data() + offset[i], &cell, &why)) {
                faults << Fault{file, r + 1, wanted[w], {}, why};
                fine = false;
            }
            row << cell;
        }
        if (fine) {
            read.rows << row;
            read.records << r + 1;
        }
    }
    return read;
}

const QRegularExpression &fourDigits()
{
    static const QRegularExpression re(QStringLiteral("\\A[0-9]{4}\\z"));
    return re;
}

QList<QVariantList> rows(Database &db, const QString &sql, const QVariantList &values = {})
{
    Database::Result query = db.run(sql, values, What);
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        result << row;
    }
    query.finish();
    return result;
}

QVariant nullInt() { return QVariant(QMetaType::fromType<int>()); }
QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }

} // namespace

QString Fault::text() const
{
    QString where = file;
    if (row > 0)
        where += QStringLiteral(", row %1").arg(row);
    if (!year.isEmpty())
        where += QStringLiteral(" (year %1)").arg(year);
    if (!column.isEmpty())
        where += QStringLiteral(", ") + column;
    return where + QStringLiteral(": ") + message;
}

int Plan::valueCount() const
{
    int n = 0;
    for (const TableSummary &t : tables)
        n += t.values;
    return n;
}

const QStringList &measureColumns()
{
    static const QStringList columns{
        QStringLiteral("Maßnahme"), QStringLiteral("Prozesse"), QStringLiteral("Gültig_ab"),
        QStringLiteral("Gültig_bis"), QStringLiteral("Verantwortlicher"), QStringLiteral("Erfüllungsgrad_in_%"),
        QStringLiteral("Jahr"), QStringLiteral("Ziel")};
    return columns;
}

Plan plan(const QString &folder)
{
    Plan plan;
    plan.folder = folder;
    QString why;
    const QList<QByteArray> names = entries(folder, &why);
    if (!why.isEmpty()) {
        plan.faults << Fault{folder, 0, {}, {}, QStringLiteral("the folder cannot be read: %1").arg(why)};
        return plan;
    }
    const QByteArray base = QFile::encodeName(QDir(folder).absolutePath()) + '/';

    // One file per table; two spellings of one name cannot both be meant.
    auto single = [&](const QList<QByteArray> &found, const QString &wanted) -> QByteArray {
        if (found.size() > 1) {
            QStringList shown;
            for (const QByteArray &f : found)
                shown << shownName(f);
            plan.faults << Fault{wanted, 0, {}, {},
                                 QStringLiteral("the folder holds more than one file for this table: %1")
                                     .arg(shown.join(QStringLiteral(", ")))};
            return {};
        }
        return found.value(0);
    };

    const QStringList valueColumns = KennzahlSchema::valueColumns();
    const QStringList figureColumns = QStringList{KennzahlSchema::YearColumn} + valueColumns;
    for (const QString &table : ScorecardKatalog::allTables()) {
        const QString wanted = table + QStringLiteral(".db");
        TableSummary summary{table, {}, 0, 0};
        Plan::Figures figures{table, {}};
        const QByteArray name = single(matching(names, {table.toLatin1()}, "db"), wanted);
        if (name.isEmpty()) {
            if (plan.faults.isEmpty() || plan.faults.last().file != wanted)
                plan.faults << Fault{wanted, 0, {}, {},
                                     QStringLiteral("the table is missing: no file %1 in %2").arg(wanted, folder)};
            plan.tables << summary;
            continue;
        }
        summary.file = shownName(name);
        const Read read = readTable(base + name, summary.file, figureColumns, MemoFile(), plan.faults, plan.notes);
        QHash<QString, int> seen;   // year -> record
        for (int i = 0; i < read.rows.size(); ++i) {
            const QList<Cell> &row = read.rows[i];
            const int record = read.records[i];
            ++summary.rows;
            const QString year = row[0].text.trimmed();
            if (row[0].null || year.isEmpty()) {
                plan.faults << Fault{summary.file, record, KennzahlSchema::YearColumn, {}, QStringLiteral("the row has no year")};
                continue;
            }
            if (!fourDigits().match(year).hasMatch()) {
                plan.faults << Fault{summary.file, record, KennzahlSchema::YearColumn, {},
                                     QStringLiteral("\"%1\" is not a year of four digits").arg(year.left(20))};
                continue;
            }
            if (year.toInt() < ScorecardKatalog::FirstYear) {
                plan.faults << Fault{summary.file, record, KennzahlSchema::YearColumn, year,
                                     QStringLiteral("the program keeps the years from %1 on").arg(ScorecardKatalog::FirstYear)};
                continue;
            }
            if (seen.contains(year)) {
                plan.faults << Fault{summary.file, record, KennzahlSchema::YearColumn, year,
                                     QStringLiteral("the year is already in row %1").arg(seen.value(year))};
                continue;
            }
            seen.insert(year, record);
            Plan::Year values{year, {}};
            for (int c = 0; c < valueColumns.size(); ++c) {
                const Cell &cell = row[c + 1];
                if (cell.null || cell.text.trimmed().isEmpty()) {
                    values.values << QVariant();
                    continue;
                }
                const KennzahlSchema::Verdict verdict = KennzahlSchema::validate(cell.text);
                if (!verdict.ok()) {
                    plan.faults << Fault{summary.file, record, valueColumns[c], year,
                                         QStringLiteral("%1 is %2").arg(cell.text.trimmed().left(40),
                                                                        KennzahlSchema::reason(verdict.fault, true))};
                    values.values << QVariant();
                    continue;
                }
                values.values << QVariant(verdict.value);
                ++summary.values;
            }
            figures.years << values;
        }
        std::sort(figures.years.begin(), figures.years.end(),
                  [](const Plan::Year &a, const Plan::Year &b) { return a.year < b.year; });
        plan.tables << summary;
        plan.figures << figures;
    }

    // The measures, with their texts in the memo file beside the table.
    TableSummary summary{MeasuresTable, {}, 0, 0};
    QList<QByteArray> bases = measuresBases();
    const QByteArray name = single(matching(names, bases, "db"), MeasuresTable + QStringLiteral(".db"));
    if (name.isEmpty()) {
        if (plan.faults.isEmpty() || plan.faults.last().file != MeasuresTable + QStringLiteral(".db"))
            plan.notes << QStringLiteral("No measures table (%1.db) in %2: no measures are imported").arg(MeasuresTable, folder);
        plan.tables << summary;
        return plan;
    }
    summary.file = shownName(name);
    const QByteArray stem = name.left(name.size() - 3);
    QByteArray memoName;
    for (const QByteArray &n : names) {
        if (n.size() == name.size() && n.startsWith(stem) && lowerAscii(n.mid(stem.size())) == ".mb")
            memoName = n;
    }
    const MemoFile memo(memoName.isEmpty() ? QByteArray() : base + memoName);
    const QString memoShown = memoName.isEmpty() ? QString() : shownName(memoName);
    const int faultsBefore = int(plan.faults.size());
    const Read read = readTable(base + name, summary.file, QStringList{NrColumn} + measureColumns(), memo, plan.faults,
                                plan.notes);
    // A fault in the memo file names it beside the table.
    for (int i = faultsBefore; i < plan.faults.size(); ++i) {
        if (!memoShown.isEmpty() && plan.faults[i].message.startsWith(QLatin1String("the memo file")))
            plan.faults[i].file += QStringLiteral(" (") + memoShown + QLatin1Char(')');
    }
    QHash<qint64, int> numbers;   // Nr -> record
    qint64 largest = 0;
    QList<int> unnumbered;
    for (int i = 0; i < read.rows.size(); ++i) {
        const QList<Cell> &row = read.rows[i];
        const int record = read.records[i];
        ++summary.rows;
        Plan::Measure measure;
        if (!row[0].null && !row[0].text.trimmed().isEmpty()) {
            bool whole = false;
            const qint64 nr = row[0].text.trimmed().toLongLong(&whole);
            if (!whole || nr <= 0 || nr > std::numeric_limits<qint32>::max()) {
                plan.faults << Fault{summary.file, record, NrColumn, {},
                                     QStringLiteral("\"%1\" is not a measure's number").arg(row[0].text.left(20))};
                continue;
            }
            if (numbers.contains(nr)) {
                plan.faults << Fault{summary.file, record, NrColumn, {},
                                     QStringLiteral("the number %1 is already in row %2").arg(nr).arg(numbers.value(nr))};
                continue;
            }
            numbers.insert(nr, record);
            largest = qMax(largest, nr);
            measure.nr = nr;
        } else {
            unnumbered << int(plan.measures.size());
        }
        for (int c = 1; c < row.size(); ++c)
            measure.texts << (row[c].null ? QVariant() : QVariant(row[c].text));
        plan.measures << measure;
        ++summary.values;
    }
    // Measures without a number get the next ones after the largest.
    for (int index : unnumbered)
        plan.measures[index].nr = ++largest;
    plan.tables << summary;
    return plan;
}

QString refusal(Database &db)
{
    try {
        for (const QString &name : ScorecardKatalog::allTables()) {
            const Database::Table &table = db.table(name);
            QStringList set;
            for (const QString &column : KennzahlSchema::valueColumns()) {
                const int index = table.columnIndex(column);
                if (index < 0)
                    return QStringLiteral("Table %1 of %2 has no column %3").arg(table.name, db.path(), column);
                set << table.columns[index].name;
            }
            const auto filled = rows(db, SchemaSql::countFilled(table.name, set));
            if (filled.value(0).value(0).toLongLong() > 0) {
                const qint64 n = filled.value(0).value(0).toLongLong();
                return QStringLiteral("%1 holds data already: table %2 has values in %3 %4. The old tables go "
                                      "only into a new database (bsc-db init), so that no data is overwritten")
                    .arg(db.path(), table.name, QString::number(n), n == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
            }
        }
        const qint64 measures = db.count(db.wholeTable(MeasuresTable));
        if (measures > 0)
            return QStringLiteral("%1 holds data already: %2 %3. The old tables go only into a new database "
                                  "(bsc-db init), so that no data is overwritten")
                .arg(db.path(), QString::number(measures), measures == 1 ? QStringLiteral("measure") : QStringLiteral("measures"));
    } catch (const EngineError &error) {
        return QStringLiteral("%1 is not a database made by bsc-db init: %2").arg(db.path(), error.message());
    }
    return {};
}

void apply(Database &db, const Plan &plan, int currentYear)
{
    if (!plan.ok())
        throw EngineError(QStringLiteral("The old tables have faults; nothing was written."));
    const ChangeHistory::Scope writer(db, ChangeHistory::ImportLegacy);
    db.begin(What);
    try {
        const QString refused = refusal(db);
        if (!refused.isEmpty())
            throw EngineError(refused + QStringLiteral("; nothing was written."));

        int last = DbAdmin::lastYear(currentYear);
        for (const Plan::Figures &figures : plan.figures)
            for (const Plan::Year &year : figures.years)
                last = qMax(last, year.year.toInt());

        for (const QString &name : ScorecardKatalog::allTables()) {
            const Database::Table &table = db.table(name);
            const QString yearColumn = table.columns[table.columnIndex(KennzahlSchema::YearColumn)].name;
            QSet<QString> present;
            for (const QVariantList &row : rows(db, SchemaSql::selectColumns({yearColumn}, table.name)))
                present.insert(row.value(0).toString());
            for (int y = ScorecardKatalog::FirstYear; y <= last; ++y) {
                if (!present.contains(QString::number(y))) {
                    db.run(SchemaSql::insert(table.name, {yearColumn}), {QString::number(y)}, What).finish();
                    db.recordChange(table.name, QString::number(y), KennzahlSchema::YearColumn, QVariant(), QString::number(y));
                }
            }
            const auto figures = std::find_if(plan.figures.begin(), plan.figures.end(),
                                              [&](const Plan::Figures &f) { return f.table == name; });
            if (figures == plan.figures.end())
                continue;
            QStringList assigned;
            for (const QString &column : KennzahlSchema::valueColumns())
                assigned << table.columns[table.columnIndex(column)].name;
            const QString update = SchemaSql::update(table.name, assigned, yearColumn);
            for (const Plan::Year &year : figures->years) {
                QVariantList values;
                for (const QVariant &v : year.values)
                    values << (v.isNull() ? nullInt() : v);
                values << year.year;
                db.run(update, values, What).finish();
                // The database held no values before (see refusal).
                for (int c = 0; c < KennzahlSchema::valueColumns().size(); ++c)
                    db.recordChange(table.name, year.year, KennzahlSchema::valueColumns()[c], QVariant(), year.values.value(c));
            }
        }

        if (!plan.measures.isEmpty()) {
            const Database::Table &table = db.table(MeasuresTable);
            QStringList columns;
            for (const QString &column : QStringList{NrColumn} + measureColumns()) {
                const int index = table.columnIndex(column);
                if (index < 0)
                    throw EngineError(QStringLiteral("Column does not exist: %1 in table %2").arg(column, table.name));
                columns << table.columns[index].name;
            }
            const QString insert = SchemaSql::insert(table.name, columns);
            for (const Plan::Measure &m : plan.measures) {
                QVariantList values{m.nr};
                for (const QVariant &t : m.texts)
                    values << (t.isNull() ? nullText() : t);
                db.run(insert, values, What).finish();
                const QStringList names = QStringList{NrColumn} + measureColumns();
                for (int c = 0; c < names.size(); ++c)
                    db.recordChange(table.name, QString::number(m.nr), names[c], QVariant(), values.value(c));
            }
            // New measures go on after the numbers imported.
            db.continueNumbers(table.name, What);
        }
        db.commit(What);
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace LegacyImport
