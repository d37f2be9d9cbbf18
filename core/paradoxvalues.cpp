#include "core/paradoxvalues.h"

#include <algorithm>
#include <cstring>

namespace ParadoxValues {
namespace {

quint32 le32(const char *p)
{
    const auto *b = reinterpret_cast<const uchar *>(p);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

constexpr int BcdDigits = 32;
constexpr int MemoHead = 44;

} // namespace

bool bcdText(const uchar *data, int fieldDecimals, QString *text, QString *why)
{
    const bool negative = !(data[0] & 0x80);
    const int decimals = data[0] & 0x3f;
    if (decimals > BcdDigits) {
        *why = QStringLiteral("the number claims %1 digits after the point; BCD holds at most %2").arg(decimals).arg(BcdDigits);
        return false;
    }
    if (decimals != fieldDecimals) {
        *why = QStringLiteral("the number has %1 digits after the point, its column %2").arg(decimals).arg(fieldDecimals);
        return false;
    }
    const uchar flip = negative ? 0x0f : 0x00;
    char digits[BcdDigits];
    for (int i = 0; i < BcdDigits; ++i) {
        const uchar byte = data[1 + i / 2];
        const uchar nibble = uchar((i % 2 == 0 ? byte >> 4 : byte & 0x0f) ^ flip);
        if (nibble > 9) {
            *why = QStringLiteral("the number holds the nibble %1 at digit %2, which is no decimal digit; the field is damaged")
                       .arg(nibble, 0, 16).arg(i + 1);
            return false;
        }
        digits[i] = char('0' + nibble);
    }
    int first = 0;
    const int point = BcdDigits - decimals;
    while (first < point - 1 && digits[first] == '0')
        ++first;
    int last = BcdDigits;
    while (last > point && digits[last - 1] == '0')
        --last;
    QString t = point > 0 ? QString::fromLatin1(digits + first, point - first) : QStringLiteral("0");
    if (last > point)
        t += QLatin1Char('.') + QString::fromLatin1(digits + point, last - point);
    if (negative && t != QLatin1String("0"))
        t.prepend(QLatin1Char('-'));
    *text = t;
    return true;
}

Memo formattedMemo(const QByteArray &blob)
{
    Memo memo;
    if (!blob.startsWith(QByteArrayLiteral("\x07\x00\x00\x00"))) {
        memo.text = blob;
        return memo;
    }
    memo.formatted = true;
    const qint64 available = blob.size() - MemoHead;
    const qint64 length = blob.size() >= 8 ? qint64(le32(blob.constData() + 4)) : -1;
    if (length < 0 || available < 0 || length > available) {
        memo.why = QStringLiteral("the formatted memo's structure cannot be read: its text of %1 bytes does not fit "
                                  "into the %2 bytes stored")
                       .arg(length < 0 ? 0 : length)
                       .arg(blob.size());
        return memo;
    }
    QByteArray text = blob.mid(MemoHead, qsizetype(length));
    // The old engine may count the text's closing zero.
    while (text.endsWith('\0'))
        text.chop(1);
    if (text.contains('\0')) {
        memo.why = QStringLiteral("the formatted memo's structure cannot be read: its text holds a zero byte at %1")
                       .arg(text.indexOf('\0') + 1);
        return memo;
    }
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    memo.text = text;
    return memo;
}

QString languageDriverCharset(const QByteArray &driver)
{
    const QByteArray name = driver.trimmed().toLower();
    if (name.isEmpty())
        return {};
    // The old engine's Paradox and ANSI drivers by name.
    static const struct {
        const char *name;
        const char *charset;
    } known[] = {
        {"ascii", "CP437"},       {"intl", "CP437"},        {"intl850", "CP850"},     {"nordan", "CP865"},
        {"nordan40", "CP865"},    {"swedfin", "CP437"},     {"spanish", "CP437"},     {"turk", "CP857"},
        {"cyrr", "CP866"},        {"hun852dc", "CP852"},    {"iceland", "CP861"},     {"japan", "CP932"},
        {"korea", "CP949"},       {"taiwan", "CP950"},      {"china", "CP936"},       {"thai", "CP874"},
        {"ansiintl", "CP1252"},   {"ansii850", "CP1252"},   {"ansiswfn", "CP1252"},   {"ansinor4", "CP1252"},
        {"ansispan", "CP1252"},   {"ancyrr", "CP1251"},     {"angreek1", "CP1253"},   {"anpolish", "CP1250"},
        {"anczech", "CP1250"},    {"anhundc", "CP1250"},    {"anturk", "CP1254"},
    };
    for (const auto &k : known) {
        if (name == k.name)
            return QString::fromLatin1(k.charset);
    }
    // The Borland drivers name their character set: "DB437US0", "DB850DE0"
    // (a DOS code page), "DBWINUS0", "BLLT1DE0" (Windows, Latin-1),
    // "BLROM800" (HP Roman-8).
    if (name.size() >= 5 && (name.startsWith("db") || name.startsWith("bl"))) {
        const QByteArray set = name.mid(2, 3);
        if (std::all_of(set.begin(), set.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return QStringLiteral("CP") + QString::fromLatin1(set);
        if (set == "win" || set == "lt1")
            return QStringLiteral("CP1252");
        if (name.mid(2, 4) == "rom8")
            return QStringLiteral("HP-ROMAN8");
    }
    return {};
}

QString charsetShown(const QString &charset)
{
    if (charset == QLatin1String("HP-ROMAN8"))
        return QStringLiteral("HP Roman-8");
    return charset;
}

} // namespace ParadoxValues
