// Fuzz target: the reader of the restore journal. Whatever the bytes, the plan it accepts names
// only the data folder's files: a data file directly in Baza, scratch files directly in Baza or
// Temp, each name once; and what it accepts reads back the same after it is written again.
#include "backup/RestoreJournalText.h"
#include "store/DataFileNames.h"
#include "store/ScratchFiles.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

namespace {

bool inFolder(const QString& name, bool scratch) {
    const bool baza = name.startsWith(QLatin1String("Baza/"));
    if (!baza && !(scratch && name.startsWith(QLatin1String("Temp/"))))
        return false;
    const QString file = name.mid(5);
    if (file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')) ||
        file == QLatin1String("..") || file == QLatin1String("."))
        return false;
    return scratch ? file.startsWith(zelm::kScratchPrefix) : zelm::dataFolderFileName(file) == file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    const std::optional<zelm::RestoreJournalPlan> plan = zelm::parseRestoreJournal(bytes, why);
    if (!plan) {
        if (why.isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    QSet<QString> seen;
    for (const zelm::JournalEntry& e : plan->entries) {
        if (!inFolder(e.target, false) || !inFolder(e.temporary, true) ||
            (!e.aside.isEmpty() && !inFolder(e.aside, true)))
            __builtin_trap();
        for (const QString& name : {e.target, e.temporary, e.aside}) {
            if (name.isEmpty())
                continue;
            if (seen.contains(name))
                __builtin_trap();
            seen.insert(name);
        }
    }
    QString again;
    const auto reread = zelm::parseRestoreJournal(zelm::restoreJournalText(*plan), again);
    if (!reread || reread->direction != plan->direction ||
        reread->entries.size() != plan->entries.size())
        __builtin_trap();
    for (qsizetype i = 0; i < plan->entries.size(); ++i) {
        const zelm::JournalEntry& a = plan->entries.at(i);
        const zelm::JournalEntry& b = reread->entries.at(i);
        if (a.target != b.target || a.temporary != b.temporary || a.aside != b.aside ||
            !(a.newCopy == b.newCopy))
            __builtin_trap();
    }
    return 0;
}
