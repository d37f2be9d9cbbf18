// The values of the old tables that the import decodes itself: BCD
// numbers, formatted memos and language driver names. No input may crash
// them; what they accept must be well formed.
#include "tests/fuzz/fuzzsupport.h"

#include "core/paradoxvalues.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return -1;
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));

    if (size >= 17) {
        QString text;
        QString why;
        const int decimals = data[0] & 0x3f;
        if (ParadoxValues::bcdText(data, decimals, &text, &why)) {
            static const QRegularExpression number(QStringLiteral("\\A-?(0|[1-9][0-9]{0,31})(\\.[0-9]{0,31}[1-9])?\\z"));
            if (!number.match(text).hasMatch() || text == QLatin1String("-0"))
                Fuzz::finding("values", QStringLiteral("BCD read as \"%1\"").arg(text), input);
        } else if (why.isEmpty()) {
            Fuzz::finding("values", QStringLiteral("BCD refused without a reason"), input);
        }
    }

    const ParadoxValues::Memo memo = ParadoxValues::formattedMemo(input);
    if (memo.why.isEmpty() && memo.formatted
        && (memo.text.contains('\0') || memo.text.contains('\r') || memo.text.size() > input.size()))
        Fuzz::finding("values", QStringLiteral("formatted memo read with a zero, a carriage return or more bytes than given"),
                      input);
    if (!memo.formatted && memo.text != input)
        Fuzz::finding("values", QStringLiteral("plain memo changed"), input);

    const QString charset = ParadoxValues::languageDriverCharset(input.left(9));
    static const QRegularExpression name(QStringLiteral("\\A(CP[0-9]{3,4}|HP-ROMAN8)?\\z"));
    if (!name.match(charset).hasMatch())
        Fuzz::finding("values", QStringLiteral("driver read as \"%1\"").arg(charset), input);
    return 0;
}
