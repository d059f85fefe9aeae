// Fuzz target: the reader of report data files. Any bytes give a ReportData or a ReportError,
// never a crash, a hang or memory beyond the input's size.
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the kind of report, whose end the reader checks.
    static const char* const names[] = {"KnigaDat.txt", "PolnDat.txt", "KonA8Dat.txt", "X.txt"};
    const QString name = QString::fromLatin1(names[data[0] % 4]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    try {
        zelm::reportf::ReportData d = zelm::reportf::ReportData::parse(bytes, name);
        d.addExpectedKeys(name);
        qsizetype total = 0;
        for (qsizetype r = 0; r < d.recordCount(); ++r)
            for (const QString& key : d.itemKeys())
                total += d.item(r, d.itemIndex(key)).size();
        // Values are taken from the input, never made up: a line end becomes CR LF, at most
        // two characters for each byte.
        if (total > 2 * static_cast<qsizetype>(size))
            __builtin_trap();
    } catch (const zelm::reportf::ReportError&) {
    }
    return 0;
}
