#include "model/alias.h"

#include "core/history.h"

AliasSettings ScorecardAlias::settings()
{
    return {QStringLiteral("projekt_bsc"), QStringLiteral("PROJEKT_BSC_DATABASE"),
            QStringLiteral("tarvo-bsc/projekt_bsc.sqlite"), QStringLiteral("bsc-db init"),
            QStringLiteral("tarvo-bsc/database")};
}

Database::Settings ScorecardAlias::databaseSettings() { return {settings().createHint, ChangeHistory::log()}; }
