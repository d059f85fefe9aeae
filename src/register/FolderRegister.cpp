#include "register/FolderRegister.h"

#include "cardlists/RecordFileReader.h"
#include "register/ArchiveJournal.h"
#include "register/SaveJournal.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RecordScan.h"
#include "store/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace zelm {
namespace {

void openOrCreate(CardFile& file, const QString& path) {
    // A name taken by a link counts as present: opening it then refuses the link.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        file.open(path, sizeof(TAnketa));
    else
        file.create(path, sizeof(TAnketa));
}

} // namespace

FolderRegister::FolderRegister(const Installation& inst, const CurrentUser* user)
    : m_inst(inst), m_user(user), m_history(inst.historyFile()) {}

FolderRegister::~FolderRegister() = default;

QString FolderRegister::name() const {
    return m_inst.mainCardFile();
}

CardFile& FolderRegister::fileOf(RegisterFile file) {
    return file == RegisterFile::Main ? m_main : m_archive;
}

const CardFile& FolderRegister::fileOf(RegisterFile file) const {
    return file == RegisterFile::Main ? m_main : m_archive;
}

void FolderRegister::open() {
    // A save or a deletion into the Archive cut short is finished or undone before anything
    // reads the register.
    finishInterruptedSave(m_inst);
    finishInterruptedArchiving(m_inst);
    openOrCreate(m_archive, m_inst.archiveCardFile());
    openOrCreate(m_main, m_inst.mainCardFile());
    remember(RegisterFile::Archive);
    remember(RegisterFile::Main);
    m_numbers.build(m_main.path(), sizeof(TAnketa));
    m_history.open(historyDaysSetting(m_inst));
}

void FolderRegister::close() {
    runEveryStep({[this] {
                      closeAllDataFiles({&m_main, &m_archive});
                  },
                  [this] { m_history.close(); }});
}

void FolderRegister::remember(RegisterFile file) {
    (file == RegisterFile::Main ? m_mainSeen : m_archiveSeen) = fileOf(file).stamp();
}

void FolderRegister::follow(RegisterFile which) const {
    CardFile& file = which == RegisterFile::Main ? m_main : m_archive;
    if (!file.isOpen())
        throw FileError(QStringLiteral("Файл не открыт"), which == RegisterFile::Main
                                                              ? m_inst.mainCardFile()
                                                              : m_inst.archiveCardFile());
    CardFile::Stamp& seen = which == RegisterFile::Main ? m_mainSeen : m_archiveSeen;
    // Nothing is ever written into a file that no longer has its name: the new one is taken,
    // or refused as the start would refuse it (a link, a pipe, nothing at all).
    CardFile::Stamp now = file.stamp();
    if (file.replacedOnDisk(now)) {
        file.open(file.path(), sizeof(TAnketa));
        now = file.stamp();
    }
    if (now == seen)
        return;
    seen = now;
    if (which == RegisterFile::Main)
        m_numbers.build(m_main.path(), sizeof(TAnketa));
}

void FolderRegister::reload() {
    follow(RegisterFile::Main);
    follow(RegisterFile::Archive);
}

const RecordSource& FolderRegister::cards(RegisterFile file) const {
    return fileOf(file);
}

qint64 FolderRegister::count(RegisterFile file) const {
    const CardFile& f = fileOf(file);
    if (!f.isOpen())
        return 0;
    try {
        follow(file);
    } catch (const FileError&) {
        // The name no longer leads to a card file: the count stays what was last seen, and the
        // next command that reads or writes says what is wrong.
    }
    return f.count();
}

std::unique_ptr<RowSource> FolderRegister::rows(RegisterFile file) {
    auto reader = std::make_unique<RecordFileReader>(static_cast<int>(sizeof(TAnketa)));
    reader->open(fileOf(file).path());
    return reader;
}

std::shared_ptr<const RecordSource> FolderRegister::snapshot(RegisterFile file) const {
    // A descriptor of its own: the pass reads the file it started on, whatever this program
    // or another does to the name meanwhile.
    auto own = std::make_shared<CardFile>();
    own->open(fileOf(file).path(), sizeof(TAnketa));
    return own;
}

StoredCard FolderRegister::storedAt(qint64 place, const TAnketa& card) const {
    StoredCard out;
    out.place = place;
    out.card = card;
    return out;
}

std::optional<StoredCard> FolderRegister::read(RegisterFile file, qint64 index) {
    follow(file);
    const CardFile& f = fileOf(file);
    if (index < 0 || index >= f.count())
        return std::nullopt;
    TAnketa card;
    f.readRange(index, 1, &card);
    return storedAt(index, card);
}

std::optional<StoredCard> FolderRegister::reread(const StoredCard& asRead) {
    const qint64 at = locate(asRead);
    if (at < 0)
        return std::nullopt;
    return read(RegisterFile::Main, at);
}

qint64 FolderRegister::placeOf(const StoredCard& card) const {
    const std::int32_t number = card.card.Klu4Form1;
    if (card.place >= 0 && card.place < count(RegisterFile::Main)) {
        TAnketa there;
        m_main.readRange(card.place, 1, &there);
        if (there.Klu4Form1 == number)
            return card.place;
    }
    return m_numbers.isReady() ? m_numbers.firstPositionOf(number) : -1;
}

qint64 FolderRegister::locate(const StoredCard& asRead) {
    follow(RegisterFile::Main);
    const std::int32_t number = asRead.card.Klu4Form1;
    if (asRead.place >= 0 && asRead.place < m_main.count()) {
        TAnketa there;
        m_main.readRange(asRead.place, 1, &there);
        if (there.Klu4Form1 == number)
            return asRead.place;
    }
    return indexOfNumber(number);
}

bool FolderRegister::waitForIndex() const {
    bool waited = false;
    const bool built = m_numbers.waitUntilReady([&](int percent) {
        waited = true;
        if (m_indexWait)
            m_indexWait(percent);
    });
    if (waited && m_indexWait)
        m_indexWait(0);
    return built;
}

qint64 FolderRegister::indexOfNumber(std::int32_t number) const {
    if (waitForIndex())
        return m_numbers.firstPositionOf(number);
    // The index could not read the register: it is read here, and a failure reported.
    return scanForward<TAnketa>(
        m_main, 0, [number](qint64, const TAnketa& card) { return card.Klu4Form1 != number; });
}

qint64 FolderRegister::appendMatches(RegisterFile file,
                                     const std::function<bool(const TAnketa&)>& matches,
                                     const CardFilter*, CardFile& target) {
    follow(file);
    return appendMatching<TAnketa>(fileOf(file), matches, target);
}

QString FolderRegister::cardGoneText() const {
    return QStringLiteral("Карточки больше нет в Главной картотеке: файл %1 изменила другая "
                          "программа.")
        .arg(QDir::toNativeSeparators(m_main.path()));
}

} // namespace zelm
