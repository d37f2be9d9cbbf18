#include "platform/db/alias.h"

#include "platform/db/engineerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {

AliasSettings &current()
{
    static AliasSettings s{QStringLiteral("database"), QString(), QStringLiteral("database.sqlite"), QString(), QString()};
    return s;
}

bool isUri(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://"));
}

QString decoded(const QString &text) { return QUrl::fromPercentEncoding(text.toUtf8()); }

QString encoded(const QString &text) { return QString::fromUtf8(QUrl::toPercentEncoding(text)); }

} // namespace

Target Target::parse(const QString &text)
{
    Target t;
    if (!isUri(text)) {
        t.file = QFileInfo(text).absoluteFilePath();
        return t;
    }
    t.postgres = true;
    auto fail = [&](const QString &why) -> Target {
        throw EngineError(QStringLiteral("Cannot read the database address %1: %2").arg(t.display(), why));
    };
    QString rest = text.mid(text.indexOf(QLatin1String("://")) + 3);
    QString query;
    if (const int q = rest.indexOf(QLatin1Char('?')); q >= 0) {
        query = rest.mid(q + 1);
        rest = rest.left(q);
    }
    QString authority = rest;
    if (const int slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        authority = rest.left(slash);
        t.database = decoded(rest.mid(slash + 1));
    }
    if (const int at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString user = authority.left(at);
        authority = authority.mid(at + 1);
        const int colon = user.indexOf(QLatin1Char(':'));
        t.user = decoded(colon >= 0 ? user.left(colon) : user);
        if (colon >= 0)
            t.password = decoded(user.mid(colon + 1));
    }
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {   // an IPv6 address
        const int close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(QStringLiteral("an IPv6 address without its closing bracket"));
        t.host = authority.mid(1, close - 1);
        if (authority.mid(close + 1).startsWith(QLatin1Char(':')))
            portText = authority.mid(close + 2);
    } else {
        const int colon = authority.lastIndexOf(QLatin1Char(':'));
        t.host = decoded(colon >= 0 ? authority.left(colon) : authority);
        if (colon >= 0)
            portText = authority.mid(colon + 1);
    }
    QStringList options;
    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf(QLatin1Char('='));
        const QString key = decoded(eq >= 0 ? pair.left(eq) : pair);
        const QString value = decoded(eq >= 0 ? pair.mid(eq + 1) : QString());
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
            return fail(QStringLiteral("the parameter %1 holds a semicolon").arg(key));
        else
            options << key + QLatin1Char('=') + value;
    }
    t.options = options.join(QLatin1Char(';'));
    if (!portText.isEmpty()) {
        bool ok = false;
        t.port = portText.toInt(&ok);
        if (!ok || t.port <= 0 || t.port > 65535)
            return fail(QStringLiteral("\"%1\" is not a port number").arg(portText));
    }
    if (t.database.isEmpty())
        return fail(QStringLiteral("no database name"));
    return t;
}

QString Target::display() const
{
    if (!postgres)
        return file;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += encoded(user) + (password.isEmpty() ? QString() : QStringLiteral(":****")) + QLatin1Char('@');
    const bool socket = host.startsWith(QLatin1Char('/'));
    if (!socket)
        text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port > 0 && !socket)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + encoded(database);
    QStringList params;
    if (socket)
        params << QStringLiteral("host=") + encoded(host);
    if (socket && port > 0)
        params << QStringLiteral("port=%1").arg(port);
    if (!options.isEmpty())
        params << options.split(QLatin1Char(';')).join(QLatin1Char('&'));
    if (!params.isEmpty())
        text += QLatin1Char('?') + params.join(QLatin1Char('&'));
    return text;
}

void Alias::configure(const AliasSettings &settings) { current() = settings; }

const AliasSettings &Alias::settings() { return current(); }

QString Alias::configPath()
{
    if (current().configFile.isEmpty())
        return QString();
    // The same for every program of the product, whatever its name.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(current().configFile);
}

QString Alias::stored()
{
    QFile file(configPath());
    if (configPath().isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine(64 * 1024)).trimmed();
}

void Alias::store(const QString &target)
{
    const QString path = configPath();
    if (path.isEmpty())
        throw EngineError(QStringLiteral("This program keeps no stored database address."));
    if (target.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw EngineError(QStringLiteral("Cannot remove %1").arg(path));
        return;
    }
    const Target parsed = Target::parse(target);
    if (!parsed.password.isEmpty())
        throw EngineError(QStringLiteral("The address holds a password; passwords are never stored. "
                                         "Give it in ~/.pgpass or PGPASSWORD instead."));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(QFileInfo(path).absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EngineError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    file.write((parsed.postgres ? target : parsed.file).toUtf8() + '\n');
    if (!file.commit())
        throw EngineError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

QString Alias::target()
{
    const AliasSettings &s = current();
    if (!s.variable.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable(qPrintable(s.variable));
        if (!fromEnvironment.isEmpty())
            return isUri(fromEnvironment) ? fromEnvironment : QFileInfo(fromEnvironment).absoluteFilePath();
    }
    const QString fromConfig = stored();
    if (!fromConfig.isEmpty())
        return fromConfig;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(folder).filePath(s.defaultFile);
}
