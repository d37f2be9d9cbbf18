#pragma once

#include "platform/db/alias.h"
#include "platform/db/database.h"

// Where the scorecard keeps its data: the alias "projekt_bsc", pointed
// elsewhere by $PROJEKT_BSC_DATABASE, by default a file in the user's data
// folder that "bsc-db init" creates.
namespace ScorecardAlias {

AliasSettings settings();
// What every database the scorecard opens is told: the command that
// creates a missing one, the change history.
Database::Settings databaseSettings();

} // namespace ScorecardAlias
