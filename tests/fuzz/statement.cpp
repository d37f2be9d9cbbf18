// A statement of the program's dialect, parsed and run the way the pages
// (a Query dataset) and "bsc-db query" run it, against a small demo
// database. No input may crash it or write anything.
#include "tests/fuzz/fuzzsupport.h"

#include "platform/db/database.h"
#include "platform/db/dataset.h"
#include "platform/db/engineerror.h"
#include "platform/db/statement.h"

#include <QSqlQuery>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return -1;
    Connection &connection = Fuzz::openDatabase();
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(input);
    try {
        Statement::parse(text);
    } catch (const EngineError &) {
    }
    try {
        Query query(connection, QStringLiteral("Query1"));
        query.setSql(text);
        query.open();
        query.first();
        for (int i = 0; i < 3 && !query.eof(); ++i) {
            for (const QString &field : query.fieldNames())
                query.asText(field);
            query.next();
        }
        const int rows = query.recordCount();
        if (rows > 0)
            query.textAt(rows - 1, 0);
        query.last();
        query.prior();
        if (!query.fieldNames().isEmpty())
            query.locate(query.fieldNames().first(), text.left(8));
        query.refresh();
        query.close();
    } catch (const EngineError &) {
    }
    try {
        Database &db = connection.database();
        const Database::Source source = db.query(text);
        int seen = 0;
        db.scan(source, [&](const QVector<QVariant> &row) {
            for (int i = 0; i < source.fields.size(); ++i)
                DataSet::format(row.value(i));
            return ++seen < 20;
        });
        db.count(source);
    } catch (const EngineError &) {
    }
    Fuzz::requireUnchanged("statement", input);
    return 0;
}
