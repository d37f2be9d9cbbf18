#pragma once

#include <QString>

// How a program names its database. The layer knows no product: the
// program hands these in at start-up, before the first dataset opens.
struct AliasSettings {
    QString name;          // the alias the datasets open, also the connection name
    QString variable;      // environment variable that points the alias elsewhere
    QString defaultFile;   // relative to the user's data folder
    QString createHint;    // the command that creates a missing database
};

namespace Alias {

void configure(const AliasSettings &settings);
const AliasSettings &settings();

// Where the alias points: the environment variable when set, else the
// default file under the user's data folder (the same for every program).
QString target();

} // namespace Alias
