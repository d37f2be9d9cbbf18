#pragma once

#include <QDateTime>
#include <functional>

// The local clock, read at the moment of use. Tests set it to a date of
// their own; an empty function gives the real clock back.
namespace Clock {

QDateTime now();
void install(std::function<QDateTime()> source);

} // namespace Clock
