#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

class Connection;

// What the fuzz targets share: a Qt application object, and a small demo
// database opened as the alias the way the program opens it (for writing),
// with a second connection that tells whether anything was written.
namespace Fuzz {

// Creates the database on first use and opens it; later calls only
// check that it is still open. The connection lasts as long as the process.
Connection &openDatabase();
// Stops the process (a finding) when the database changed since it was
// opened: an input must never write.
void requireUnchanged(const char *target, const QByteArray &input);
// Stops the process with a message naming the finding.
[[noreturn]] void finding(const char *target, const QString &what, const QByteArray &input);

} // namespace Fuzz
