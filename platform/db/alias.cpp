#include "platform/db/alias.h"

#include "platform/db/engineerror.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QVector>

namespace {

// The scheme is read without regard to case, and blanks around an
// address are no part of it.
bool isUri(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// What begins like an address ("postgres...", or any "scheme:" of two
// letters or more; one letter is a Windows drive) but may not be a valid
// one: never to be taken for a file name, which would show its password.
bool looksLikeAddress(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("\\A\\s*[A-Za-z][A-Za-z0-9+.-]+:"));
    return text.trimmed().startsWith(QLatin1String("postgres"), Qt::CaseInsensitive) || scheme.match(text).hasMatch();
}

// Where the part after the scheme begins: after "scheme:" and "//".
int afterScheme(const QString &text)
{
    const int colon = int(text.indexOf(QLatin1Char(':')));
    if (colon < 0)
        return 0;
    int at = colon + 1;
    for (int slashes = 0; slashes < 2 && at < text.size() && text[at] == QLatin1Char('/'); ++slashes)
        ++at;
    return at;
}

QString decoded(const QString &text) { return QUrl::fromPercentEncoding(text.toUtf8()); }

QString encoded(const QString &text) { return QString::fromUtf8(QUrl::toPercentEncoding(text)); }

// password, sslpassword and whatever a later libpq may add.
bool isSecretKey(const QString &key) { return key.trimmed().contains(QLatin1String("password"), Qt::CaseInsensitive); }

// libpq's other form, "host=db password=... dbname=x", which is not read
// here: it must not be taken for a file name and shown as one.
bool isConnectionString(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return !isUri(text) && form.match(text).hasMatch();
}

} // namespace

Target Target::parse(const QString &given)
{
    Target t;
    const QString text = isUri(given) || looksLikeAddress(given) ? given.trimmed() : given;
    if (isConnectionString(text))
        throw EngineError(QStringLiteral("Cannot read the database address: a connection string of keywords and values "
                                         "is not read here; give a file (one whose name begins with a word and \"=\" as ./NAME) "
                                         "or a postgresql://user@host/dbname address, and a password in ~/.pgpass."));
    if (!isUri(text) && looksLikeAddress(text))
        throw EngineError(QStringLiteral("Cannot read the database address %1: it begins like an address but is none; "
                                         "write postgresql://user@host/dbname, or a file whose name begins so as ./NAME.")
                              .arg(masked(text)));
    if (!isUri(text)) {
        t.file = QFileInfo(text).absoluteFilePath();
        return t;
    }
    t.postgres = true;
    // Messages show the address only as masked(), never what was read of
    // it: a half-read address may hold a password in any part.
    auto fail = [&](const QString &why) -> Target {
        throw EngineError(QStringLiteral("Cannot read the database address %1: %2").arg(masked(text), why));
    };
    // Read as libpq reads it: the user info ends at the first "@" that
    // comes before any "/", so a password may hold ":" and "?" as they are.
    const int n = int(text.size());
    const int start = afterScheme(text);
    int p = start;
    while (p < n && text[p] != QLatin1Char('@') && text[p] != QLatin1Char('/'))
        ++p;
    if (p < n && text[p] == QLatin1Char('@')) {
        const QString userInfo = text.mid(start, p - start);
        const int colon = int(userInfo.indexOf(QLatin1Char(':')));
        t.user = decoded(colon >= 0 ? userInfo.left(colon) : userInfo);
        if (colon >= 0)
            t.password = decoded(userInfo.mid(colon + 1));
        ++p;
    } else {
        p = start;
    }
    // Any other "@" is a password's "/" or "@" written as it is, or one
    // that libpq would read as part of a host or a path: refused, so that
    // no part of a password is ever taken for a host, port or database.
    if (text.indexOf(QLatin1Char('@'), p) >= 0)
        return fail(QStringLiteral("it holds an \"@\" after the user name; write \"@\", \"/\" and \"?\" in a user name "
                                   "or password as %40, %2F and %3F, or better give the password in ~/.pgpass"));
    QString portText;
    if (p < n && text[p] == QLatin1Char('[')) {   // an IPv6 address
        const int close = int(text.indexOf(QLatin1Char(']'), p));
        if (close < 0)
            return fail(QStringLiteral("an IPv6 address without its closing bracket"));
        t.host = text.mid(p + 1, close - p - 1);
        p = close + 1;
    } else {
        const int from = p;
        while (p < n && text[p] != QLatin1Char(':') && text[p] != QLatin1Char('/') && text[p] != QLatin1Char('?'))
            ++p;
        t.host = decoded(text.mid(from, p - from));
    }
    if (p < n && text[p] == QLatin1Char(':')) {
        const int from = ++p;
        while (p < n && text[p] != QLatin1Char('/') && text[p] != QLatin1Char('?'))
            ++p;
        portText = text.mid(from, p - from);
    }
    if (p < n && text[p] != QLatin1Char('/') && text[p] != QLatin1Char('?'))
        return fail(QStringLiteral("unexpected \"%1\" after the host").arg(text[p]));
    if (p < n && text[p] == QLatin1Char('/')) {
        const int from = ++p;
        while (p < n && text[p] != QLatin1Char('?'))
            ++p;
        t.database = decoded(text.mid(from, p - from));
    }
    const QString query = p < n ? text.mid(p + 1) : QString();
    QStringList options;
    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const int eq = int(pair.indexOf(QLatin1Char('=')));
        if (eq < 0)
            return fail(QStringLiteral("a parameter without \"=\""));
        const QString key = decoded(pair.left(eq));
        const QString value = decoded(pair.mid(eq + 1));
        if (key == QLatin1String("host"))
            t.host = value;
        else if (key == QLatin1String("port"))
            portText = value;
        else if (key == QLatin1String("user"))
            t.user = value;
        else if (key == QLatin1String("password"))
            t.password = value;
        else if (key == QLatin1String("dbname"))
            t.database = value;
        else if (value.contains(QLatin1Char(';')) || key.contains(QLatin1Char(';')))
            return fail(QStringLiteral("a parameter holds a semicolon"));
        else
            options << key + QLatin1Char('=') + value;
    }
    t.options = options.join(QLatin1Char(';'));
    if (!portText.isEmpty()) {
        bool ok = false;
        t.port = portText.toInt(&ok);
        if (!ok || t.port <= 0 || t.port > 65535)
            return fail(QStringLiteral("\"%1\" is not a port number").arg(portText.left(16)));
    }
    if (t.database.isEmpty())
        return fail(QStringLiteral("no database name"));
    return t;
}

bool Target::holdsSecret() const
{
    if (!password.isEmpty())
        return true;
    for (const QString &option : options.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (isSecretKey(option.section(QLatin1Char('='), 0, 0)))
            return true;
    return false;
}

QString Target::display() const
{
    if (!postgres)
        return file;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty() || !password.isEmpty())
        text += encoded(user) + (password.isEmpty() ? QString() : QStringLiteral(":****")) + QLatin1Char('@');
    const bool socket = host.startsWith(QLatin1Char('/'));
    if (!socket)
        text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : encoded(host);
    if (port > 0 && !socket)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + encoded(database);
    QStringList params;
    if (socket)
        params << QStringLiteral("host=") + encoded(host);
    if (socket && port > 0)
        params << QStringLiteral("port=%1").arg(port);
    for (const QString &option : options.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = option.section(QLatin1Char('='), 0, 0);
        const QString value = option.section(QLatin1Char('='), 1);
        params << encoded(key) + QLatin1Char('=') + (isSecretKey(key) ? QStringLiteral("****") : encoded(value));
    }
    if (!params.isEmpty())
        text += QLatin1Char('?') + params.join(QLatin1Char('&'));
    return text;
}

QString Target::masked(const QString &given)
{
    if (isConnectionString(given))
        return QStringLiteral("(a connection string)");
    if (!isUri(given) && !looksLikeAddress(given))
        return given;
    const QString text = given.trimmed();
    const int n = int(text.size());
    QVector<bool> hidden(n, false);
    // Everything from the first ":" up to the last "@": the widest stretch
    // that a password can take, however it was written (and in a mistyped
    // address, from the very first ":").
    const int start = isUri(text) ? afterScheme(text) : 0;
    const int at = int(text.lastIndexOf(QLatin1Char('@')));
    const int colon = int(text.indexOf(QLatin1Char(':'), start));
    if (at > start && colon >= 0 && colon < at)
        std::fill(hidden.begin() + colon + 1, hidden.begin() + at, true);
    // And the value of every parameter whose name speaks of a password,
    // wherever it stands, up to the next "&" (libpq takes "?" and "@" in it).
    for (int from = start; from < n;) {
        int to = from;
        while (to < n && text[to] != QLatin1Char('?') && text[to] != QLatin1Char('&') && text[to] != QLatin1Char('='))
            ++to;
        if (to < n && text[to] == QLatin1Char('=')) {
            int key = to;
            while (key > start && text[key - 1] != QLatin1Char('?') && text[key - 1] != QLatin1Char('&'))
                --key;
            if (isSecretKey(decoded(text.mid(key, to - key)))) {
                int end = int(text.indexOf(QLatin1Char('&'), to));
                if (end < 0)
                    end = n;
                std::fill(hidden.begin() + to + 1, hidden.begin() + end, true);
                from = end;
                continue;
            }
        }
        from = to + 1;
    }
    QString result;
    for (int i = 0; i < n; ++i) {
        if (!hidden[i])
            result += text[i];
        else if (i == 0 || !hidden[i - 1])
            result += QStringLiteral("****");
    }
    return result;
}

QString Alias::configPath(const AliasSettings &settings)
{
    if (settings.configFile.isEmpty())
        return QString();
    // The same for every program of the product, whatever its name.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(settings.configFile);
}

QString Alias::stored(const AliasSettings &settings)
{
    QFile file(configPath(settings));
    if (configPath(settings).isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine(64 * 1024)).trimmed();
}

void Alias::store(const AliasSettings &settings, const QString &target)
{
    const QString path = configPath(settings);
    if (path.isEmpty())
        throw EngineError(QStringLiteral("This program keeps no stored database address."));
    if (target.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw EngineError(QStringLiteral("Cannot remove %1").arg(path));
        return;
    }
    const Target parsed = Target::parse(target);
    if (parsed.holdsSecret())
        throw EngineError(QStringLiteral("The address holds a password; passwords are never stored. "
                                         "Give it in ~/.pgpass or PGPASSWORD instead."));
    // The folder is the owner's alone whatever the umask, and the address
    // is never written through a link to somewhere else.
    const QString folder = QFileInfo(path).absolutePath();
    const bool made = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)
        || (made && !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(folder));
    if (QFileInfo(path).isSymLink() || QFileInfo(folder).isSymLink())
        throw EngineError(QStringLiteral("%1 is a symbolic link; the address is not written through it. Remove the "
                                         "link (bsc-db alias unset) and store the address again.").arg(QFileInfo(path).isSymLink() ? path : folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EngineError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    // For the owner only, whatever the umask: where the data lives is
    // nobody else's business.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw EngineError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    file.write((parsed.postgres ? target.trimmed() : parsed.file).toUtf8() + '\n');
    if (!file.commit())
        throw EngineError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

QString Alias::target(const AliasSettings &s)
{
    if (!s.variable.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable(qPrintable(s.variable));
        if (!fromEnvironment.isEmpty())
            return isUri(fromEnvironment) || isConnectionString(fromEnvironment) || looksLikeAddress(fromEnvironment)
                ? fromEnvironment : QFileInfo(fromEnvironment).absoluteFilePath();
    }
    const QString fromConfig = stored(s);
    if (!fromConfig.isEmpty())
        return fromConfig;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(folder).filePath(s.defaultFile);
}
