#include "core/legacyimport.h"

#include "core/history.h"

#include "core/dbadmin.h"
#include "core/memofile.h"
#include "core/paradoxvalues.h"
#include "model/katalog.h"
#include "model/kennzahlschema.h"
#include "platform/db/database.h"
#include "platform/db/schemasql.h"
#include "platform/db/engineerror.h"
#include "platform/readonlyfile.h"

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

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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
    explicit Codec(const QString &charset) : m_name(ParadoxValues::charsetShown(charset))
    {
        m_cd = ::iconv_open("UTF-8", charset.toLatin1().constData());
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
// buffers. The fault is empty when the header is sound.
QString typeName(int type);

struct HeaderCheck {
    QString fault;
    QByteArray driver;   // the language driver's name, where the header holds one
};

HeaderCheck inspectHeader(ReadOnlyFile::File &file)
{
    HeaderCheck check;
    const QByteArray head = file.read(0, 0x10000);
    const qint64 fileSize = file.size();
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    const qsizetype size = head.size();
    auto u16 = [&](qsizetype at) { return int(b[at] | b[at + 1] << 8); };
    auto u32 = [&](qsizetype at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    auto fail = [&](const QString &fault) {
        check.fault = fault;
        return check;
    };
    const QString damaged = QStringLiteral("the table's header is damaged: %1");
    const QString cutOff = QStringLiteral("the file is shorter than its header says; it was cut off");
    if (size < 0x58)
        return fail(QStringLiteral("not a table of the old program"));
    const int recordSize = u16(0);
    const int headerSize = u16(2);
    const int fileType = b[4];
    const int blockSize = b[5] * 1024;
    const int fileBlocks = u16(0x0c);
    const int numFields = u16(0x21);
    const int version = b[0x39];
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return fail(QStringLiteral("not a table of the old program"));
    // pxlib knows the versions up to 12; past them it skips the data header.
    if (version < 3 || version > 12)
        return fail(QStringLiteral("not a table of the old program (file version %1)").arg(version));
    if (blockSize < 1024 || blockSize > 32 * 1024)
        return fail(damaged.arg(QStringLiteral("block size %1").arg(blockSize)));
    if (recordSize == 0 || recordSize > blockSize - 6)
        return fail(damaged.arg(QStringLiteral("record size %1").arg(recordSize)));
    if (numFields == 0 || numFields > 255)
        return fail(damaged.arg(QStringLiteral("%1 fields").arg(numFields)));
    if (u16(0x0e) > fileBlocks || u16(0x10) > fileBlocks)
        return fail(damaged.arg(QStringLiteral("its blocks are out of order")));
    if (fileSize < headerSize)
        return fail(cutOff);
    quint32 encryption = u32(0x25);
    const bool dataHeader = version >= 5;
    // The marker points into the data header, which only later versions
    // have; pxlib would take whatever its stack held.
    if (encryption == 0xff00ff00u && !dataHeader)
        return fail(damaged.arg(QStringLiteral("file version %1 with a data header's password").arg(version)));
    if (encryption == 0xff00ff00u)
        encryption = u32(0x5c);
    if (encryption != 0)
        return fail(QStringLiteral("the table is protected by a password; remove it in the old program first"));
    // Field types and sizes, the table's name and the fields' names, all
    // inside the header.
    const qsizetype fields = dataHeader ? 0x78 : 0x58;
    const qsizetype nameAt = fields + qsizetype(numFields) * 2 + 4 + qsizetype(numFields) * 4;
    const qsizetype tableNameLength = version == 12 ? 261 : 79;
    if (headerSize > size || nameAt + tableNameLength > headerSize)
        return fail(damaged.arg(QStringLiteral("header size %1").arg(headerSize)));
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
        // The blob's place takes ten bytes; the leader before it, from 0
        // bytes on, holds the start of the text.
        case pxfMemoBLOb: case pxfBLOb: case pxfFmtMemoBLOb: case pxfOLE: case pxfGraphic:
            expected = length >= MemoFile::Trailer ? length : -1;
            break;
        case pxfBCD:
            if (length > 32)
                return fail(damaged.arg(QStringLiteral("field %1 has %2 decimals").arg(i + 1).arg(length)));
            sum += 17;
            continue;
        default:
            return fail(damaged.arg(QStringLiteral("field %1 has the unknown type %2").arg(i + 1).arg(type)));
        }
        if (expected != length)
            return fail(damaged.arg(QStringLiteral("field %1 (%2) is %3 bytes long").arg(i + 1).arg(typeName(type)).arg(length)));
        sum += length;
    }
    if (sum != recordSize)
        return fail(damaged.arg(QStringLiteral("the fields take %1 bytes of a record of %2").arg(sum).arg(recordSize)));

    // The chain of data blocks, each named once, each block's records
    // inside the block and inside the file: pxlib follows it without a
    // bound and reads past the end of a file as empty records. The last
    // block may end where its records end.
    QList<bool> seen(fileBlocks + 1, false);
    int block = u16(0x0e);
    while (block != 0) {
        if (block > fileBlocks || seen[block])
            return fail(QStringLiteral("the table's blocks are linked in a loop or past its end; the file is damaged"));
        seen[block] = true;
        const qint64 start = qint64(headerSize) + qint64(block - 1) * blockSize;
        const QByteArray d = file.read(start, 6);
        if (d.size() != 6)
            return fail(cutOff);
        const auto *h = reinterpret_cast<const uchar *>(d.constData());
        const int used = qint16(quint16(h[4] | h[5] << 8));
        const qint64 records = used / recordSize + 1;
        if (records < 0 || records * recordSize > blockSize - 6)
            return fail(QStringLiteral("the table's block %1 holds more than fits; the file is damaged").arg(block));
        if (start + 6 + records * recordSize > fileSize)
            return fail(cutOff);
        block = h[0] | h[1] << 8;
    }

    if (!std::memchr(b + nameAt, 0, size_t(tableNameLength)))
        return fail(damaged.arg(QStringLiteral("the table's name does not end")));
    qsizetype at = nameAt + tableNameLength;
    for (int i = 0; i < numFields; ++i) {
        const void *end = at < headerSize ? std::memchr(b + at, 0, size_t(std::min<qsizetype>(headerSize - at, 256))) : nullptr;
        if (!end)
            return fail(damaged.arg(QStringLiteral("the name of field %1 does not end").arg(i + 1)));
        at = static_cast<const uchar *>(end) - b + 1;
    }
    // After the names the fields' numbers, then the language driver's name
    // (up to eight letters and a zero).
    at += qsizetype(numFields) * 2;
    if (at < headerSize) {
        const QByteArray rest = head.mid(at, std::min<qsizetype>(headerSize - at, 9));
        const QByteArray name = rest.left(rest.indexOf('\0'));
        if (rest.contains('\0') && std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 127; }))
            check.driver = name;
    }
    return check;
}

// One open table file, opened for reading only.
class ParadoxFile {
public:
    explicit ParadoxFile(const QByteArray &path) : m_file(path)
    {
        static std::once_flag booted;
        std::call_once(booted, [] { PX_boot(); });
        if (!m_file.isOpen()) {
            m_error = QStringLiteral("cannot be read: %1").arg(m_file.error());
            return;
        }
        const HeaderCheck header = inspectHeader(m_file);
        if (!header.fault.isEmpty()) {
            m_error = header.fault;
            return;
        }
        m_driver = header.driver;
        m_doc = PX_new3(collectError, nullptr, nullptr, nullptr, &m_error);
        m_stream = m_doc ? m_file.stream() : nullptr;
        if (!m_stream) {
            m_error = m_doc ? QStringLiteral("cannot be read: %1").arg(m_file.error()) : QStringLiteral("out of memory");
            return;
        }
        if (PX_open_fp(m_doc, m_stream) < 0) {
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
        // pxlib leaves a stream it was handed to the caller.
        if (m_stream)
            std::fclose(m_stream);
    }
    ParadoxFile(const ParadoxFile &) = delete;
    ParadoxFile &operator=(const ParadoxFile &) = delete;

    bool open() const { return m_open; }
    pxdoc_t *doc() const { return m_doc; }
    QByteArray driver() const { return m_driver; }
    QString takeError()
    {
        QString e = m_error.isEmpty() ? QStringLiteral("cannot be read") : m_error;
        m_error.clear();
        return e;
    }

private:
    ReadOnlyFile::File m_file;
    pxdoc_t *m_doc = nullptr;
    std::FILE *m_stream = nullptr;
    bool m_open = false;
    QByteArray m_driver;
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

    // Whether a formatted memo was read since the last call.
    bool tookFormatted()
    {
        const bool took = m_formatted;
        m_formatted = false;
        return took;
    }

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
            // Decoded here: pxlib goes through a fixed buffer and shows
            // nibbles past 9 as other characters.
            if (data[0] == 0)
                return true;
            QString t;
            if (!ParadoxValues::bcdText(reinterpret_cast<const uchar *>(data), field.px_fdc, &t, why))
                return false;
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
            if (field.px_ftype == pxfFmtMemoBLOb) {
                ParadoxValues::Memo memo = ParadoxValues::formattedMemo(bytes);
                if (!memo.why.isEmpty()) {
                    *why = memo.why;
                    return false;
                }
                m_formatted = m_formatted || memo.formatted;
                bytes = memo.text;
            }
            // A plain text ends at its first zero byte, as the old program kept it.
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
            *why = QStringLiteral("the text holds bytes that %1 does not know").arg(m_codec.name());
            return false;
        }
        cell->null = false;
        return true;
    }

    pxdoc_t *m_doc;
    Codec &m_codec;
    const MemoFile &m_memo;
    bool m_formatted = false;
};

// A table file read into rows of cells for the wanted columns.
struct Read {
    QList<QList<Cell>> rows;   // per record, per wanted column
    QList<int> records;        // the record number of each row, from 1
};

// The character set of a table's texts: the code page its header names,
// else the one its language driver stands for, else CP1252 with a note.
QString charsetOf(const ParadoxFile &px, const QString &file, QStringList &notes)
{
    const int codepage = px.doc()->px_head->px_doscodepage;
    if (codepage != 0)
        return QStringLiteral("CP%1").arg(codepage);
    const QByteArray driver = px.driver();
    const QString charset = ParadoxValues::languageDriverCharset(driver);
    if (!charset.isEmpty()) {
        notes << QStringLiteral("%1: the table names no code page; its language driver %2 stands for %3")
                     .arg(file, QString::fromLatin1(driver), ParadoxValues::charsetShown(charset));
        return charset;
    }
    notes << (driver.isEmpty()
                  ? QStringLiteral("%1: the table names no code page; its texts are read as CP1252").arg(file)
                  : QStringLiteral("%1: the table names no code page, and its language driver %2 is not known; its "
                                   "texts are read as CP1252")
                        .arg(file, QString::fromLatin1(driver)));
    return QStringLiteral("CP1252");
}

// Reads the wanted columns of a table; every fault goes to the list, with
// the row's year where the row has one.
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
    const pxhead_t *head = doc->px_head;
    if (head->px_numrecords < 0 || head->px_numrecords > head->px_theonumrecords) {
        faults << Fault{file, 0, {}, {},
                        QStringLiteral("the header counts %1 records, more than the file holds; the file is damaged")
                            .arg(head->px_numrecords)};
        return read;
    }
    const QString charset = charsetOf(px, file, notes);
    Codec codec(charset);
    if (!codec.valid()) {
        faults << Fault{file, 0, {}, {}, QStringLiteral("the table's texts are in %1, which this system cannot convert").arg(codec.name())};
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
            notes << QStringLiteral("%1: the column %2 (%3) is not one of the program's; it is left out")
                         .arg(file, name, typeName(field->px_ftype));
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

    const int yearAt = int(std::find_if(wanted.begin(), wanted.end(), [](const QString &w) {
                               return w.compare(KennzahlSchema::YearColumn, Qt::CaseInsensitive) == 0;
                           }) - wanted.begin());
    QStringList formatted;   // columns whose formatting was left behind
    Reader reader(doc, codec, memo);
    QByteArray record(PX_get_recordsize(doc), '\0');
    const int records = PX_get_num_records(doc);
    for (int r = 0; r < records; ++r) {
        if (!PX_get_record(doc, r, record.data())) {
            faults << Fault{file, r + 1, {}, {}, QStringLiteral("the record cannot be read: %1").arg(px.takeError())};
            continue;
        }
        QList<Cell> row;
        const qsizetype rowFaults = faults.size();
        for (int w = 0; w < wanted.size(); ++w) {
            const int i = position[w];
            Cell cell;
            QString why;
            if (!reader.read(*PX_get_field(doc, i), record.data() + offset[i], &cell, &why))
                faults << Fault{file, r + 1, wanted[w], {}, why};
            if (reader.tookFormatted() && !formatted.contains(wanted[w]))
                formatted << wanted[w];
            row << cell;
        }
        if (faults.size() == rowFaults) {
            read.rows << row;
            read.records << r + 1;
            continue;
        }
        // The year read from the same record tells a person which row it is.
        if (yearAt < wanted.size() && !row[yearAt].null) {
            for (qsizetype f = rowFaults; f < faults.size(); ++f)
                faults[f].year = row[yearAt].text.trimmed().left(20);
        }
    }
    for (const QString &column : formatted)
        notes << QStringLiteral("%1: the formatted texts of column %2 are imported as plain text; their fonts and "
                                "styles are left behind")
                     .arg(file, column);
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
    const QList<QByteArray> names = ReadOnlyFile::entries(QFile::encodeName(folder), &why);
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
            Plan::Year values{year, {}, summary.file};
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
        measure.origin = summary.file;
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

namespace {

// The plan's rows into a target that was found fresh, inside the caller's
// transaction.
void write(Database &db, const Plan &plan, int currentYear)
{
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
        const QString insertYear = SchemaSql::insert(table.name, {yearColumn});
        for (int y = ScorecardKatalog::FirstYear; y <= last; ++y) {
            if (!present.contains(QString::number(y))) {
                db.run(insertYear, {QString::number(y)}, What).finish();
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
        if (!figures->years.isEmpty())
            db.setHistoryNote(figures->years.first().origin);
        for (const Plan::Year &year : figures->years) {
            QVariantList values;
            for (const QVariant &v : year.values)
                values << (v.isNull() ? nullInt() : v);
            values << year.year;
            db.run(update, values, What).finish();
            db.recordChange(table.name, year.year, QString(), QVariant(), year.origin);
        }
    }

    if (plan.measures.isEmpty())
        return;
    const Database::Table &table = db.table(MeasuresTable);
    QStringList columns;
    for (const QString &column : QStringList{NrColumn} + measureColumns()) {
        const int index = table.columnIndex(column);
        if (index < 0)
            throw EngineError(QStringLiteral("Column does not exist: %1 in table %2").arg(column, table.name));
        columns << table.columns[index].name;
    }
    const QString insert = SchemaSql::insert(table.name, columns);
    db.setHistoryNote(plan.measures.first().origin);
    for (const Plan::Measure &m : plan.measures) {
        QVariantList values{m.nr};
        for (const QVariant &t : m.texts)
            values << (t.isNull() ? nullText() : t);
        db.run(insert, values, What).finish();
        db.recordChange(table.name, QString::number(m.nr), QString(), QVariant(), m.origin);
    }
    // New measures go on after the numbers imported.
    db.continueNumbers(table.name, What);
}

void refuseFaults(const Plan &plan)
{
    if (!plan.ok())
        throw EngineError(QStringLiteral("The old tables have faults; nothing was written."));
}

} // namespace

void apply(Database &db, const Plan &plan, int currentYear)
{
    refuseFaults(plan);
    const ChangeHistory::Scope writer(db, ChangeHistory::ImportLegacy);
    db.begin(What);
    try {
        const QString refused = refusal(db);
        if (!refused.isEmpty())
            throw EngineError(refused + QStringLiteral("; nothing was written."));
        write(db, plan, currentYear);
        db.commit(What);
    } catch (...) {
        db.rollback();
        throw;
    }
}

void applyToNewFile(const QString &file, const Plan &plan, int currentYear)
{
    refuseFaults(plan);
    DbAdmin::createFilled(file, currentYear, [&](Database &db) {
        const ChangeHistory::Scope writer(db, ChangeHistory::ImportLegacy);
        write(db, plan, currentYear);
    });
}

} // namespace LegacyImport
