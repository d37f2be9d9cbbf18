#pragma once

#include <QList>
#include <QString>
#include <functional>

class QPainter;
class ReportLayout;

// Paints one layout as one page. The painter's coordinates must be the
// device's pixels with the origin at the paper's top-left corner (a QImage of
// the whole page, a QPrinter in full-page mode, a QPdfWriter without
// margins); millimetres and points are converted with the device's own
// resolution. Throws EngineError when a bound dataset cannot give a value.
void paintLayout(const ReportLayout &layout, QPainter &painter);

// Writes one A4 page per layout into a new PDF file. Refuses a file that
// exists; the file appears complete or not at all. On failure returns false
// and says why in *error.
bool writePdf(const QList<const ReportLayout *> &pages, const QString &file, QString *error);

// The same for pages painted by the caller: paintPage(page, painter) draws
// page 0 .. pageCount-1 on A4 in the device's pixels (as paintLayout); an
// EngineError it throws ends the writing and leaves no file.
bool writePdf(int pageCount, const std::function<void(int page, QPainter &painter)> &paintPage, const QString &file,
              QString *error);
