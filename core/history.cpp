#include "core/history.h"

#include "model/katalog.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/engineerror.h"

#include <QDateTime>

namespace ChangeHistory {

QString rowColumn(const QString &table)
{
    if (table.compare(QStringLiteral("maßnahmen"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Nr");
    static const QStringList figures = ScorecardKatalog::allTables();
    for (const QString &name : figures) {
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Jahr");
    }
    return {};
}

QString lastChange(Connection &connection, const QString &table, const QString &row, const QString &text, bool english)
{
    if (row.isEmpty())
        return {};
    try {
        Database &db = connection.database();
        QString bare = table;
        if (bare.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            bare.chop(3);
        const auto last = db.lastChange(db.table(bare).name, row);
        if (!last)
            return {};
        const QDateTime time = QDateTime::fromString(last->second, Qt::ISODateWithMs).toLocalTime();
        const QString shown = time.isValid()
            ? time.toString(english ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("dd.MM.yyyy HH:mm"))
            : last->second;
        return text.arg(last->first, shown);
    } catch (const EngineError &) {
        return {};
    }
}

Database::HistoryLog log() { return {Table, &rowColumn}; }

Scope::Scope(Database &db, const QString &source) : m_db(db), m_previous(db.historySource())
{
    db.setHistorySource(source);
}

Scope::~Scope() { m_db.setHistorySource(m_previous); }

} // namespace ChangeHistory
