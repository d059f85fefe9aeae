#include "model/RegisterUnderTest.h"

#include "register/FolderRegister.h"
#include "remote/ServerCards.h"
#include "server/ServerRegister.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstring>
#include <stdexcept>

namespace zelm::model {

namespace {
const QString kMain = QStringLiteral("Baza/Anketi.dat");
const QString kArchive = QStringLiteral("Baza/ArhAnket.dat");

QByteArray bytesOf(const std::vector<Card>& cards) {
    QByteArray out;
    for (const Card& c : cards) {
        const TAnketa r = toRecord(c);
        out.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return out;
}

std::vector<Card> cardsOf(const QByteArray& bytes) {
    std::vector<Card> out;
    for (qsizetype at = 0; at + qsizetype(sizeof(TAnketa)) <= bytes.size(); at += sizeof(TAnketa)) {
        TAnketa r;
        std::memcpy(&r, bytes.constData() + at, sizeof r);
        out.push_back(fromRecord(r));
    }
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TAnketa toRecord(const Card& c) {
    TAnketa r = TAnketa::zeroed();
    r.Klu4Form1 = c.number;
    r.GurN = c.runningNumber;
    r.NameOrg.set(c.nameOrg);
    r.INNOrg.set(c.inn);
    r.Prime4.set(c.note);
    r.Otmetka.set(c.marked ? QStringLiteral("уд") : QString());
    r.AdminFIO.set(c.admin);
    return r;
}

Card fromRecord(const TAnketa& r) {
    return {r.Klu4Form1,      r.GurN,          r.NameOrg.text(),
            r.INNOrg.text(),  r.Prime4.text(), r.Otmetka.text() == QStringLiteral("уд"),
            r.AdminFIO.text()};
}

RegisterUnderTest::RegisterUnderTest(Home home, testing::PgTestServer* pg,
                                     const std::vector<Card>& initial,
                                     const std::vector<Card>& archived)
    : m_home(home), m_dir(std::in_place), m_root(m_dir->path()) {
    QDir(m_root).mkpath(QStringLiteral("Baza"));
    QDir(m_root).mkpath(QStringLiteral("Temp"));
    m_inst = std::make_unique<Installation>(m_root);
    m_user.UserFIO = QStringLiteral("Сидорова А.А.");
    if (home == Home::Folder) {
        writeMain(initial, kMain);
        if (!archived.empty())
            writeMain(archived, kArchive);
    } else {
        static int databases = 0;
        const QString conninfo = pg->createDatabase(QStringLiteral("model_%1").arg(++databases));
        auto connect = [&](const QString& name) {
            auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
            r->setIdentity(name, QStringLiteral("ws"));
            r->open();
            return r;
        };
        m_server = connect(m_user.UserFIO);
        m_other = connect(QStringLiteral("Петров П.П."));
        for (const Card& c : initial)
            m_other->append(toRecord(c));
        if (!archived.empty())
            throw std::logic_error("a server register starts without an Archive");
    }
    restart();
}

RegisterUnderTest::RegisterUnderTest(const QString& root) : m_home(Home::Folder), m_root(root) {
    m_inst = std::make_unique<Installation>(m_root);
    m_user.UserFIO = QStringLiteral("Сидорова А.А.");
    restart();
}

RegisterUnderTest::~RegisterUnderTest() {
    m_session.reset();
}

std::unique_ptr<zelm::Register> RegisterUnderTest::openRegister() {
    if (m_home == Home::Folder)
        return std::make_unique<FolderRegister>(*m_inst);
    return std::make_unique<ServerCards>(*m_server);
}

void RegisterUnderTest::restart() {
    m_session.reset();
    m_session = std::make_unique<CardSession>(*m_inst, m_user, openRegister());
    m_session->openFiles();
}

std::vector<Card> RegisterUnderTest::stored(RegisterFile file) const {
    if (m_home == Home::Folder)
        return cardsOf(readAll(path(file == RegisterFile::Main ? kMain : kArchive)));
    std::vector<qint64> ids;
    for (const CardRow& row : m_other->listCards(
             file == RegisterFile::Main ? CardFileKind::Main : CardFileKind::Archive))
        ids.push_back(row.id);
    std::vector<Card> out;
    for (const ServerCard& card : m_other->readCards(ids))
        out.push_back(fromRecord(card.record));
    return out;
}

std::vector<Card> RegisterUnderTest::working() const {
    return cardsOf(readAll(path(QStringLiteral("Temp/RabAnket.dat"))));
}

void RegisterUnderTest::writeMain(const std::vector<Card>& cards, const QString& relative) const {
    QSaveFile f(path(relative));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytesOf(cards)) < 0 || !f.commit())
        throw std::runtime_error("the test could not write the card file");
}

void RegisterUnderTest::changeElsewhere(size_t index, const Card& card) {
    const TAnketa record = toRecord(card);
    if (m_home == Home::Folder) {
        QFile f(path(kMain));
        if (!f.open(QIODevice::ReadWrite) || !f.seek(qint64(index) * qint64(sizeof record)) ||
            f.write(reinterpret_cast<const char*>(&record), sizeof record) != sizeof record)
            throw std::runtime_error("the test could not change the card file");
        return;
    }
    const CardRow row = m_other->listCards(CardFileKind::Main).at(index);
    const ServerCard now = *m_other->readCard(row.id);
    if (m_other->save(row.id, record, now.version).status != SaveResult::Status::Saved)
        throw std::runtime_error("the other workstation could not save");
}

void RegisterUnderTest::cutMainElsewhere(size_t keep) {
    QFile f(path(kMain));
    if (!f.resize(qint64(keep) * qint64(sizeof(TAnketa))))
        throw std::runtime_error("the test could not cut the card file");
}

void RegisterUnderTest::rotateMainElsewhere(size_t by) {
    // The records' own bytes, so that a card moved is the card as it was stored.
    const QByteArray bytes = readAll(path(kMain));
    const qsizetype cut = qsizetype(by * sizeof(TAnketa)) % std::max<qsizetype>(1, bytes.size());
    QSaveFile f(path(kMain)); // renames the new file over the old one
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes.mid(cut) + bytes.left(cut)) < 0 ||
        !f.commit())
        throw std::runtime_error("the test could not replace the card file");
}

} // namespace zelm::model
