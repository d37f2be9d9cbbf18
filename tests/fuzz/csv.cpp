// A CSV file of key figures, read and planned the way "bsc-db import" and
// the Data menu do it before asking, against a small demo database.
// Planning reads only: no input may crash it or write anything.
#include "tests/fuzz/fuzzsupport.h"

#include "core/spreadsheet.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/engineerror.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024)
        return -1;
    Connection &connection = Fuzz::openDatabase();
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    try {
        const Spreadsheet::Table table = Spreadsheet::parseCsv(input);
        for (const Spreadsheet::Fault &fault : table.faults)
            fault.text();
        int line = 0;
        for (const Spreadsheet::Record &record : table.records) {
            if (record.line < line)
                Fuzz::finding("csv", QStringLiteral("records out of order"), input);
            line = record.line;
        }
    } catch (const EngineError &) {
    }
    try {
        const Spreadsheet::Plan plan = Spreadsheet::planKennzahlenImport(connection.database(), input);
        for (const Spreadsheet::Fault &fault : plan.faults)
            fault.text();
        for (const Spreadsheet::Change &change : plan.changes) {
            Spreadsheet::display(change.before);
            Spreadsheet::display(change.after);
        }
    } catch (const EngineError &) {
    }
    Fuzz::requireUnchanged("csv", input);
    return 0;
}
