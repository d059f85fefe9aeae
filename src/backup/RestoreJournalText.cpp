#include "backup/RestoreJournalText.h"

#include "store/DataFileNames.h"
#include "store/ScratchFiles.h"

#include <QSet>

namespace zelm {
namespace {

// Version 1 named files by absolute path; such a journal is refused, not guessed at.
const QByteArray kMagic = QByteArrayLiteral("zelm restore journal 2");
const QByteArray kEnd = QByteArrayLiteral("end");

bool plainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QLatin1Char('/') ||
            c == QLatin1Char('\\') || c == QChar::ReplacementCharacter)
            return false;
    return true;
}

// A data file directly in Baza ("Baza/Anketi.dat"), or with `scratch` a scratch file directly
// in Baza or Temp.
bool nameIn(const QString& path, bool scratch) {
    QString name;
    if (path.startsWith(QLatin1String("Baza/")))
        name = path.mid(5);
    else if (scratch && path.startsWith(QLatin1String("Temp/")))
        name = path.mid(5);
    else
        return false;
    if (!plainName(name))
        return false;
    return scratch ? name.startsWith(kScratchPrefix) : dataFolderFileName(name) == name;
}

bool readStamp(const QByteArray& field, FileStamp& stamp) {
    const QList<QByteArray> parts = field.split(' ');
    if (parts.size() != 3)
        return false;
    bool sizeOk = false;
    bool timeOk = false;
    bool inodeOk = false;
    stamp.size = parts.at(0).toLongLong(&sizeOk);
    stamp.modifiedNs = parts.at(1).toLongLong(&timeOk);
    stamp.inode = parts.at(2).toULongLong(&inodeOk);
    return sizeOk && timeOk && inodeOk && stamp.size >= 0;
}

} // namespace

QByteArray restoreJournalText(const RestoreJournalPlan& plan) {
    QByteArray text =
        kMagic + '\n' + (plan.direction == RestoreDirection::Forward ? "forward" : "back") + '\n';
    for (const JournalEntry& e : plan.entries)
        text += e.target.toUtf8() + '\t' + e.temporary.toUtf8() + '\t' + e.aside.toUtf8() + '\t' +
                QByteArray::number(e.newCopy.size) + ' ' +
                QByteArray::number(e.newCopy.modifiedNs) + ' ' +
                QByteArray::number(e.newCopy.inode) + '\n';
    return text + kEnd + '\n';
}

std::optional<RestoreJournalPlan> parseRestoreJournal(const QByteArray& text, QString& why) {
    const QList<QByteArray> lines = text.split('\n');
    // A whole journal ends with "end" and a line break: anything cut short is refused.
    if (lines.size() < 4 || lines.at(0) != kMagic || lines.at(lines.size() - 2) != kEnd ||
        !lines.last().isEmpty()) {
        why = lines.at(0) == kMagic || lines.at(0).startsWith("zelm restore journal")
                  ? QStringLiteral("журнал повреждён или записан не этой версией программы")
                  : QStringLiteral("это не журнал восстановления");
        return std::nullopt;
    }
    RestoreJournalPlan plan;
    if (lines.at(1) == "forward") {
        plan.direction = RestoreDirection::Forward;
    } else if (lines.at(1) == "back") {
        plan.direction = RestoreDirection::Back;
    } else {
        why = QStringLiteral("журнал повреждён");
        return std::nullopt;
    }
    QSet<QString> seen;
    for (qsizetype i = 2; i < lines.size() - 2; ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        const auto refuse = [&](const QString& reason) {
            why = QStringLiteral("строка %1: %2").arg(i + 1).arg(reason);
            return std::nullopt;
        };
        JournalEntry e;
        if (f.size() != 4 || !readStamp(f.at(3), e.newCopy))
            return refuse(QStringLiteral("журнал повреждён"));
        for (const QByteArray& name : f.mid(0, 3))
            if (QString::fromUtf8(name).toUtf8() != name)
                return refuse(QStringLiteral("имя файла не в кодировке UTF-8"));
        e.target = QString::fromUtf8(f.at(0));
        e.temporary = QString::fromUtf8(f.at(1));
        e.aside = QString::fromUtf8(f.at(2));
        if (!nameIn(e.target, false))
            return refuse(QStringLiteral("«%1» — не файл данных в папке Baza").arg(e.target));
        const QString copies[] = {e.temporary, e.aside};
        for (const QString& copy : copies)
            if ((!copy.isEmpty() || &copy == &copies[0]) && !nameIn(copy, true))
                return refuse(QStringLiteral("«%1» — не рабочий файл программы в папке Temp "
                                             "или Baza")
                                  .arg(copy));
        for (const QString& name : {e.target, e.temporary, e.aside}) {
            if (name.isEmpty())
                continue;
            if (seen.contains(name))
                return refuse(QStringLiteral("файл «%1» назван дважды").arg(name));
            seen.insert(name);
        }
        plan.entries.append(e);
    }
    return plan;
}

} // namespace zelm
