// A database address read the way the alias and bsc-db read it, and shown
// the way "bsc-db path" and every message show it. No input may crash it
// or show any password it holds, in whatever form libpq would take it.
#include "tests/fuzz/fuzzsupport.h"

#include "platform/db/alias.h"
#include "platform/db/engineerror.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <QUrl>

namespace {

QString decoded(const QString &text) { return QUrl::fromPercentEncoding(text.toUtf8()); }

// The passwords an address holds, found independently of the code under
// test: the user info as libpq reads it (up to the first "@" before any
// "/"), the user info a person meant when the password holds "/", "?" or
// "@" (up to the last "@"), and the password and sslpassword parameters.
// Each secret comes with the stretch of the text it came from.
struct Secret {
    QString text;
    int from;
    int length;
};

QList<Secret> secretsOf(const QString &text)
{
    QList<Secret> secrets;
    static const QRegularExpression keywords(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    if (keywords.match(text).hasMatch()) {
        // libpq's keyword=value form: a value after "password =", quoted or not.
        static const QRegularExpression secret(QStringLiteral("password\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'?|\\S+)"));
        for (auto it = secret.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            secrets << Secret{m.captured(1), int(m.capturedStart(1)), int(m.capturedLength(1))};
        }
        return secrets;
    }
    if (!text.startsWith(QLatin1String("postgresql://")) && !text.startsWith(QLatin1String("postgres://")))
        return secrets;
    const int start = int(text.indexOf(QLatin1String("://"))) + 3;
    int end = start;
    while (end < text.size() && text[end] != QLatin1Char('@') && text[end] != QLatin1Char('/'))
        ++end;
    const int colon = text.indexOf(QLatin1Char(':'), start);
    if (end < text.size() && text[end] == QLatin1Char('@') && colon >= 0 && colon < end)
        secrets << Secret{text.mid(colon + 1, end - colon - 1), colon + 1, end - colon - 1};
    const int lastAt = text.lastIndexOf(QLatin1Char('@'));
    if (lastAt > start && colon >= 0 && colon < lastAt)
        secrets << Secret{text.mid(colon + 1, lastAt - colon - 1), colon + 1, lastAt - colon - 1};
    // Parameters: after the first "?" behind the user info, as libpq reads them.
    const int hostStart = end < text.size() && text[end] == QLatin1Char('@') ? end + 1 : start;
    // An IPv6 host in brackets may hold a "?".
    int hostEnd = hostStart;
    if (hostStart < text.size() && text[hostStart] == QLatin1Char('['))
        hostEnd = std::max(hostStart, int(text.indexOf(QLatin1Char(']'), hostStart)));
    const int query = text.indexOf(QLatin1Char('?'), hostEnd);
    int pos = query + 1;
    while (query >= 0 && pos < text.size()) {
        int next = pos;
        while (next < text.size() && text[next] != QLatin1Char('&'))
            ++next;
        const QString pair = text.mid(pos, next - pos);
        const int eq = pair.indexOf(QLatin1Char('='));
        if (eq > 0) {
            const QString key = decoded(pair.left(eq));
            if (key == QLatin1String("password") || key == QLatin1String("sslpassword"))
                secrets << Secret{pair.mid(eq + 1), pos + eq + 1, int(pair.size()) - eq - 1};
        }
        pos = next + 1;
    }
    return secrets;
}

void check(const QString &text, const QByteArray &input)
{
    QStringList shown;
    QString message;
    try {
        const Target target = Target::parse(text);
        shown << target.display();
    } catch (const EngineError &error) {
        // The address in a message is the masked text, checked on its own
        // below; the rest of the message must hold no secret either.
        message = QString(error.message()).replace(Target::masked(text), QStringLiteral("\n"));
    }
    shown << Target::masked(text);

    const QList<Secret> secrets = secretsOf(text);
    // What remains without the secrets: a secret that also stands there
    // (the user's name repeated, a digit of the port) is no finding.
    QVector<bool> secret(text.size(), false);
    for (const Secret &s : secrets)
        std::fill(secret.begin() + s.from, secret.begin() + s.from + s.length, true);
    QStringList pieces{QString()};
    for (int i = 0; i < text.size(); ++i) {
        if (!secret[i])
            pieces.last() += text[i];
        else if (!pieces.last().isEmpty())
            pieces << QString();
    }
    auto standsElsewhere = [&](const Secret &s) {
        for (const QString &piece : pieces)
            if (piece.contains(s.text) || decoded(piece).contains(decoded(s.text)))
                return true;
        return false;
    };
    // A form of a secret that a part of the text outside every secret also
    // shows, as it is or percent-encoded (the user's name is shown encoded).
    auto formStandsElsewhere = [&](const QString &form) {
        for (const QString &piece : pieces) {
            for (const QString &shownPiece : {piece, decoded(piece), QString::fromUtf8(QUrl::toPercentEncoding(piece)),
                                              QString::fromUtf8(QUrl::toPercentEncoding(decoded(piece)))})
                if (shownPiece.contains(form))
                    return true;
        }
        return false;
    };
    for (const Secret &s : secrets) {
        // Shorter secrets stand everywhere by chance (a digit, "sql").
        if (decoded(s.text).size() < 4 || standsElsewhere(s))
            continue;
        for (const QString &form : {s.text, decoded(s.text), QString::fromUtf8(QUrl::toPercentEncoding(decoded(s.text)))}) {
            if (form.size() < 4 || QStringLiteral("postgresql://****").contains(form) || formStandsElsewhere(form))
                continue;
            for (const QString &out : shown)
                if (out.contains(form))
                    Fuzz::finding("address", QStringLiteral("the password \"%1\" is shown: %2").arg(form, out), input);
            // The message's own words ("~/.pgpass") hold short texts by chance.
            if (form.size() >= 8 && message.contains(form))
                Fuzz::finding("address", QStringLiteral("the password \"%1\" is in the message: %2").arg(form, message), input);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 2048)
        return -1;
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(input);
    check(text, input);
    if (!text.startsWith(QLatin1String("postgres")))
        check(QStringLiteral("postgresql://") + text, input);
    return 0;
}
