#pragma once

#include "platform/db/alias.h"

// Where the scorecard keeps its data: the alias "projekt_bsc", pointed
// elsewhere by $PROJEKT_BSC_DATABASE, by default a file in the user's data
// folder that "bsc-db init" creates.
namespace ScorecardAlias {

AliasSettings settings();
// Hands the settings to the database layer; every program calls it first.
void install();

} // namespace ScorecardAlias
