#include "platform/printable.h"

#include <algorithm>

namespace {

bool acts(char16_t c)
{
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || (c >= 0x202a && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString printable(const QString &text, bool keepLineBreaks)
{
    auto kept = [&](char16_t c) { return !acts(c) || c == u'\t' || (keepLineBreaks && c == u'\n'); };
    // The usual text has nothing to show otherwise: no copy.
    if (std::all_of(text.begin(), text.end(), [&](QChar ch) { return kept(ch.unicode()); }))
        return text;
    QString shown;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (kept(c)) {
            shown += ch;
            continue;
        }
        if (shown.isNull())
            shown.reserve(text.size() + 8);
        shown += c < 0x100 ? QStringLiteral("\\x%1").arg(unsigned(c), 2, 16, QLatin1Char('0'))
                           : QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
    }
    return shown;
}
