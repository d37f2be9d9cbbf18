#pragma once

#include <QString>
#include <QVector>

#include "model/yearsummary.h"

class Connection;

class QPainter;
class Startwahl;

// The year's report in one PDF: a cover with the twelve goals, then the two
// evaluation pages of each perspective as the preview shows them, every
// page numbered "n / N" in its footer.
namespace YearReport {

constexpr int PageCount = 1 + 4 * 2;

// Writes the report of a year into a new file, in the language and for
// the industry of the choice. Refuses a file that exists and a year the
// key-figure tables do not hold; a failure leaves no file. False with the
// reason (in the choice's language where it is the program's own).
bool write(Connection &connection, const Startwahl &wahl, const QString &year, const QString &file, QString *error);

// The name "Save as" proposes.
QString proposedFileName(const QString &year, bool english);

// The cover page on a device of A4 (pixels of the device, origin at the
// paper's top-left corner).
void paintCover(QPainter &painter, const QVector<YearSummary::Goal> &goals, const QString &year, int branche,
                bool english);

// The footer of page n (from 1) of N.
void paintPageNumber(QPainter &painter, int page, int count);

} // namespace YearReport
