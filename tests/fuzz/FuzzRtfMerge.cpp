// Fuzz target: reading a report template and merging a list of cards into it. Any template
// gives a report or an error, never a crash, a hang or a copy of a negative length.
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfTokenizer.h"

#include <cstddef>
#include <cstdint>

namespace {

const zelm::reportf::ReportData& cards() {
    static const zelm::reportf::ReportData data = [] {
        const QByteArray bytes = "|0:wladelec:\xce\xc2\xc4 {x}\r\n"
                                 "|1:n:1|1:NameOrg:\xd0\xee\xe3\xe0||1:n:9|1:Rezultat:a\\b\r\n"
                                 "||0:memo\r\n"
                                 "|1:n:2|1:NameOrg:}{|1:FabKUSP:\r\n"
                                 "\r\n";
        auto d = zelm::reportf::ReportData::parse(bytes, QStringLiteral("KnigaDat.txt"));
        d.addExpectedKeys(QStringLiteral("KnigaDat.txt"));
        return d;
    }();
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const zelm::reportf::RtfTemplate report(
            bytes, [](const QString& key) { return cards().isKnownKey(key); });
        // Rows lie in order, inside the document, and never overlap.
        qsizetype end = 0;
        for (const zelm::reportf::RtfRow& row : report.rows()) {
            if (row.begin < end || row.end < row.begin || row.end > bytes.size())
                __builtin_trap();
            end = row.end;
        }
        zelm::reportf::mergeReport(report, cards());
    } catch (const zelm::reportf::RtfSyntaxError&) {
    } catch (const zelm::reportf::ReportError&) {
    }
    return 0;
}
