#include "platform/db/alias.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
AliasSettings &current()
{
    static AliasSettings s{QStringLiteral("database"), QString(), QStringLiteral("database.sqlite"), QString()};
    return s;
}
} // namespace

void Alias::configure(const AliasSettings &settings) { current() = settings; }

const AliasSettings &Alias::settings() { return current(); }

QString Alias::target()
{
    const AliasSettings &s = current();
    if (!s.variable.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable(qPrintable(s.variable));
        if (!fromEnvironment.isEmpty())
            return QFileInfo(fromEnvironment).absoluteFilePath();
    }
    // Independent of the program's name, so that every program agrees.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(folder).filePath(s.defaultFile);
}
