#include "fixture_paradox.h"

#include "model/katalog.h"
#include "model/kennzahlschema.h"

#include <QDir>
#include <QFile>

extern "C" {
#include <paradox.h>
}

#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace OldTables {

QByteArray encode(const QString &text, int codepage)
{
    return encodeIn(text, QStringLiteral("CP%1").arg(codepage).toLatin1().constData());
}

QByteArray encodeIn(const QString &text, const char *charset)
{
    iconv_t cd = iconv_open(charset, "UTF-8");
    if (cd == iconv_t(-1))
        throw std::runtime_error("no such code page");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 4, '\0');
    char *from = in.data();
    size_t inLeft = size_t(in.size());
    char *to = out.data();
    size_t outLeft = size_t(out.size());
    const size_t r = iconv(cd, &from, &inLeft, &to, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1))
        throw std::runtime_error("text not in the code page");
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

void write(const QByteArray &path, const QList<Column> &columns, const QList<QVariantList> &rows, int codepage,
           const QByteArray &memoPath, const char *charset)
{
    pxdoc_t *px = PX_new();
    // pxlib takes the field list and frees it with the document.
    auto *fields = static_cast<pxfield_t *>(px->malloc(px, sizeof(pxfield_t) * size_t(columns.size()), "fixture"));
    for (int i = 0; i < columns.size(); ++i) {
        const QByteArray name = charset ? encodeIn(columns[i].name, charset) : encode(columns[i].name, codepage);
        fields[i].px_fname = static_cast<char *>(px->malloc(px, size_t(name.size()) + 1, "fixture"));
        std::memcpy(fields[i].px_fname, name.constData(), size_t(name.size()) + 1);
        fields[i].px_ftype = char(columns[i].type);
        fields[i].px_flen = columns[i].length;
        fields[i].px_fdc = columns[i].decimals;
    }
    QFile::remove(QFile::decodeName(path));
    if (PX_create_file(px, fields, int(columns.size()), path.constData(), pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("PX_create_file failed");
    PX_set_value(px, "codepage", float(codepage));
    pxblob_t *blob = nullptr;
    if (!memoPath.isEmpty()) {
        // PX_set_blob_file aborts in this pxlib; the writer takes the memo
        // file handed to it directly.
        QFile::remove(QFile::decodeName(memoPath));
        blob = PX_new_blob(px);
        if (PX_create_blob_file(blob, memoPath.constData()) < 0)
            throw std::runtime_error("PX_create_blob_file failed");
        px->px_blob = blob;
    }
    QByteArray record(PX_get_recordsize(px), '\0');
    for (const QVariantList &row : rows) {
        record.fill('\0');
        char *at = record.data();
        for (int i = 0; i < columns.size(); ++i) {
            const Column &c = columns[i];
            const QVariant v = row.value(i);
            if (v.typeId() == QMetaType::QByteArray) {
                QByteArray bytes = v.toByteArray();
                if (c.type == pxfMemoBLOb || c.type == pxfFmtMemoBLOb || c.type == pxfGraphic || c.type == pxfOLE
                    || c.type == pxfBLOb) {
                    if (PX_put_data_blob(px, at, c.length, bytes.data(), int(bytes.size())) < 0)
                        throw std::runtime_error("PX_put_data_blob failed");
                } else {
                    std::memcpy(at, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), c.type == pxfBCD ? 17 : c.length)));
                }
            } else if (!v.isNull()) {
                switch (c.type) {
                case pxfShort: PX_put_data_short(px, at, c.length, short(v.toInt())); break;
                case pxfLong:
                case pxfAutoInc: PX_put_data_long(px, at, c.length, v.toInt()); break;
                case pxfNumber:
                case pxfCurrency:
                case pxfTimestamp: PX_put_data_double(px, at, c.length, v.toDouble()); break;
                case pxfDate: PX_put_data_long(px, at, c.length, int(PX_GregorianToSdn(v.toDate().year(), v.toDate().month(), v.toDate().day()) - 1721425)); break;
                case pxfTime: PX_put_data_long(px, at, c.length, v.toInt()); break;
                case pxfBCD: {
                    QByteArray text = v.toString().toLatin1();
                    PX_put_data_bcd(px, at, c.decimals, text.data());
                    break;
                }
                case pxfMemoBLOb:
                case pxfFmtMemoBLOb: {
                    QByteArray text = encode(v.toString(), codepage);
                    if (PX_put_data_blob(px, at, c.length, text.data(), int(text.size())) < 0)
                        throw std::runtime_error("PX_put_data_blob failed");
                    break;
                }
                default: {
                    QByteArray text = encode(v.toString(), codepage);
                    PX_put_data_alpha(px, at, c.length, text.data());
                }
                }
            }
            at += c.length;
        }
        if (PX_put_record(px, record.data()) < 0)
            throw std::runtime_error("PX_put_record failed");
    }
    if (blob) {
        PX_close_blob(blob);
        PX_delete_blob(blob);
        px->px_blob = nullptr;
    }
    PX_close(px);
    PX_delete(px);
}

QByteArray formattedMemo(const QByteArray &text, qint64 claimedLength)
{
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char(v >> (8 * i));
        return b;
    };
    QByteArray blob = QByteArray::fromHex("07000000") + le32(quint32(claimedLength < 0 ? text.size() : claimedLength));
    // Layout: margins, tabs and flags, zero bytes among them.
    blob += QByteArray::fromHex("0100000000000000a0050000d002000000000000000000000000010000000000ffffffff");
    blob += text;
    // One run from the start in style 3, then the style with its font.
    blob += QByteArray(25, '\0');
    blob += QByteArray::fromHex("000000000380") + le32(1);
    QByteArray style(54, '\0');
    style.replace(0, 5, "Arial");
    style[40] = 10;
    blob += style + QByteArray(26, '\x01');
    return blob;
}

QByteArray bcd(const QString &number, int decimals)
{
    const bool negative = number.startsWith(QLatin1Char('-'));
    const QString digits = negative ? number.mid(1) : number;
    QString whole = digits.section(QLatin1Char('.'), 0, 0);
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    const QString part = digits.section(QLatin1Char('.'), 1);
    const QString nibbles = whole.rightJustified(32 - decimals, QLatin1Char('0')) + part.leftJustified(decimals, QLatin1Char('0'));
    QByteArray b(17, '\0');
    b[0] = char((negative ? 0x00 : 0x80) | decimals);
    for (int i = 0; i < 32; ++i) {
        int n = nibbles[i] == QLatin1Char('?') ? 0x0c : nibbles[i].digitValue();
        if (negative)
            n ^= 0x0f;
        b[1 + i / 2] = char(uchar(b[1 + i / 2]) | (i % 2 == 0 ? n << 4 : n));
    }
    return b;
}

void setLanguageDriver(const QString &file, const QByteArray &driver)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot open the table");
    QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf("ANSIINTL");
    if (at < 0 || driver.size() > 8)
        throw std::runtime_error("no driver name in the header");
    bytes.replace(at, 8, driver.leftJustified(8, '\0'));
    // The data header's code page.
    bytes[0x6a] = 0;
    bytes[0x6b] = 0;
    f.seek(0);
    f.write(bytes);
}

QStringList valueColumns() { return KennzahlSchema::valueColumns(); }

QVariant figure(int table, int year, int column)
{
    if ((table + year + column) % 9 == 0)
        return QVariant();
    return (table * 131 + year * 17 + column * 29) % 3000 - 900 + (table == 3 ? 2000000 : 0);
}

QStringList writeFigures(const QString &folder, int firstYear, int lastYear)
{
    const QStringList tables = ScorecardKatalog::allTables();
    QStringList files;
    for (int t = 0; t < tables.size(); ++t) {
        const bool upper = t % 2 == 1;
        auto spelled = [&](const QString &name) { return upper ? name.toUpper() : name; };
        // Years as alpha, short and number fields; values as long, short,
        // number, BCD, money and alpha fields.
        const int yearType = t % 3 == 0 ? pxfAlpha : t % 3 == 1 ? pxfShort : pxfNumber;
        static const int valueTypes[] = {pxfLong, pxfShort, pxfNumber, pxfBCD, pxfCurrency, pxfAlpha};
        const int valueType = t == 3 ? pxfLong : valueTypes[t % 6];
        QList<Column> columns{{spelled(QStringLiteral("Jahr")), yearType, yearType == pxfAlpha ? 4 : yearType == pxfShort ? 2 : 8}};
        for (const QString &c : valueColumns()) {
            const int length = valueType == pxfShort ? 2 : valueType == pxfLong ? 4 : valueType == pxfBCD ? 17
                             : valueType == pxfAlpha ? 12 : 8;
            columns << Column{spelled(c), valueType, length, valueType == pxfBCD ? 2 : 0};
        }
        QList<QVariantList> rows;
        for (int year = lastYear; year >= firstYear; --year) {   // not in order
            QVariantList row;
            row << (yearType == pxfAlpha ? QVariant(QString::number(year)) : yearType == pxfShort ? QVariant(year) : QVariant(double(year)));
            for (int c = 0; c < valueColumns().size(); ++c) {
                const QVariant v = figure(t, year, c);
                if (v.isNull())
                    row << QVariant();
                else if (valueType == pxfNumber || valueType == pxfCurrency)
                    row << double(v.toInt());
                else if (valueType == pxfBCD)
                    row << QString::number(v.toInt()) + QStringLiteral(".00");
                else if (valueType == pxfAlpha)
                    row << QString::number(v.toInt());
                else
                    row << v;
            }
            rows << row;
        }
        const QString file = t == 2 ? tables[t].toUpper() + QStringLiteral(".DB")
                           : t == 5 ? tables[t] + QStringLiteral(".DB")
                                    : tables[t] + QStringLiteral(".db");
        write(QFile::encodeName(QDir(folder).filePath(file)), columns, rows, 1252);
        files << file;
    }
    return files;
}

QList<Measure> sampleMeasures(int count)
{
    static const char *const goals[] = {"Erhöhung der finanziellen Unabhängigkeit vom Gläubiger",
                                        "Qualitätsbewusstsein der Mitarbeiter erhöhen", "Steigerung der Rentabilität"};
    QList<Measure> list;
    for (int i = 0; i < count; ++i) {
        Measure m;
        m.nr = i == 2 ? QVariant() : QVariant(10 + i * 3);
        m.text = i % 7 == 0 ? QStringLiteral("Kurz")
               : i % 7 == 1 ? QStringLiteral("Größere Maßnahme Nr. %1\r\nzweite Zeile: Übergabe an die Geschäftsführung").arg(i)
               : i % 7 == 2 ? QString(QStringLiteral("Lange Beschreibung äöüß ")).repeated(300) + QString::number(i)
                            : QStringLiteral("Maßnahme %1: Abläufe prüfen\r\nund verbessern").arg(i);
        m.processes = i % 2 ? QStringLiteral("Einkauf\r\nLager und Logistik Süd") : QStringLiteral("Vertrieb");
        m.from = QDate(2003 + i % 8, 1 + i % 12, 1 + i % 28);
        m.until = QDateTime(QDate(2003 + i % 8, 12, 31), i % 3 ? QTime(0, 0) : QTime(12, 30));
        m.responsible = i % 2 ? QStringLiteral("Fr. Müller-Weiß") : QStringLiteral("Hr. Öztürk");
        m.completion = i % 4 == 3 ? 62.5 : double((i * 10) % 110);
        m.year = QString::number(2003 + i % 8);
        m.goal = QString::fromUtf8(goals[i % 3]);
        list << m;
    }
    return list;
}

void writeMeasures(const QString &folder, const QByteArray &baseName, const QList<Measure> &measures, int codepage)
{
    const QList<Column> columns{
        {QStringLiteral("Nr"), pxfAutoInc, 4},
        {QStringLiteral("Maßnahme"), pxfMemoBLOb, 30},
        {QStringLiteral("Prozesse"), pxfFmtMemoBLOb, 20},
        {QStringLiteral("Gültig_ab"), pxfDate, 4},
        {QStringLiteral("Gültig_bis"), pxfTimestamp, 8},
        {QStringLiteral("VERANTWORTLICHER"), pxfAlpha, 30},
        {QStringLiteral("Erfüllungsgrad_in_%"), pxfNumber, 8},
        {QStringLiteral("jahr"), pxfAlpha, 4},
        {QStringLiteral("Ziel"), pxfAlpha, 60},
        {QStringLiteral("Bemerkung"), pxfAlpha, 10},
    };
    QList<QVariantList> rows;
    for (const Measure &m : measures) {
        rows << QVariantList{m.nr, m.text, m.processes, m.from,
                             double(qint64(PX_GregorianToSdn(m.until.date().year(), m.until.date().month(), m.until.date().day()) - 1721425) * 86400000
                                    + m.until.time().msecsSinceStartOfDay()),
                             m.responsible, m.completion, m.year, m.goal, QStringLiteral("alt")};
    }
    const QByteArray base = QFile::encodeName(QDir(folder).absolutePath()) + '/' + baseName;
    write(base + ".DB", columns, rows, codepage, base + ".MB");
}

} // namespace OldTables
