// An old table file, read and checked the way the import plans before it
// asks: the input is written as a key-figure table and as the measures
// table of a folder, which LegacyImport::plan reads. Planning reads no
// database; no input may crash it (pxlib included), and every fault names
// its file.
#include "tests/fuzz/fuzzsupport.h"

#include "core/legacyimport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz-table-XXXXXX"));
    return dir;
}

void put(const QString &name, const QByteArray &input)
{
    const QString path = folder().filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(input) != input.size())
        Fuzz::finding("table", QStringLiteral("cannot write %1").arg(path), input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 256 * 1024)
        return -1;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    put(QStringLiteral("kz_liqui.db"), input);
    put(QStringLiteral("maßnahmen.db"), input);
    const LegacyImport::Plan plan = LegacyImport::plan(folder().path());
    for (const LegacyImport::Fault &fault : plan.faults) {
        if (fault.file.isEmpty() || fault.message.isEmpty())
            Fuzz::finding("table", QStringLiteral("a fault without its file or message: ") + fault.text(), input);
    }
    plan.valueCount();
    return 0;
}
