#pragma once
// A session without any window or widget application, on a register in either home: the data
// folder's card files, or a private PostgreSQL server. What the session promises a user is the
// same in both; the few places where the homes differ are named in the tests.
#include "common/CardFactory.h"
#include "common/PgTestServer.h"
#include "register/FolderRegister.h"
#include "remote/ServerCards.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace zelm::testing {

class SessionFolder {
public:
    SessionFolder() {
        QDir(root()).mkpath(QStringLiteral("Baza"));
        QDir(root()).mkpath(QStringLiteral("Temp"));
    }
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    void writeFile(const QString& relative, const QByteArray& bytes) const {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void writeCards(const QString& relative, const std::vector<TAnketa>& cards) const {
        writeFile(relative, QByteArray(reinterpret_cast<const char*>(cards.data()),
                                       static_cast<qsizetype>(cards.size() * sizeof(TAnketa))));
    }
    QByteArray readFile(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::vector<TAnketa> readCards(const QString& relative) const {
        const QByteArray bytes = readFile(relative);
        std::vector<TAnketa> cards(static_cast<size_t>(bytes.size()) / sizeof(TAnketa));
        if (!cards.empty())
            memcpy(cards.data(), bytes.constData(), cards.size() * sizeof(TAnketa));
        return cards;
    }

private:
    QTemporaryDir m_dir;
};

inline QByteArray cardBytes(const std::vector<TAnketa>& cards) {
    return QByteArray(reinterpret_cast<const char*>(cards.data()),
                      static_cast<qsizetype>(cards.size() * sizeof(TAnketa)));
}

enum class Home { Folder, Server };

inline std::string homeName(const ::testing::TestParamInfo<Home>& info) {
    return info.param == Home::Folder ? "DataFolder" : "Server";
}

// On the data folder unless a test of both homes chose the server.
class Session : public ::testing::Test {
protected:
    void SetUp() override {
        if (home != Home::Server)
            return;
        pg = std::make_unique<PgTestServer>();
        if (!pg->running())
            GTEST_SKIP() << "no PostgreSQL server for this test: "
                         << pg->unavailable().toStdString();
        conninfo = pg->createDatabase(QStringLiteral("zelm"));
    }

    std::unique_ptr<ServerRegister> workstation(const QString& name) const {
        auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        r->setIdentity(name, QStringLiteral("ws"));
        r->open();
        return r;
    }

    void start(const std::vector<TAnketa>& cards,
               const std::vector<TAnketa>& archived = std::vector<TAnketa>()) {
        inst = std::make_unique<Installation>(t.root());
        user.UserFIO = QStringLiteral("Сидорова А.А.");
        std::unique_ptr<Register> cardRegister;
        if (home == Home::Folder) {
            t.writeCards("Baza/Anketi.dat", cards);
            if (!archived.empty())
                t.writeCards("Baza/ArhAnket.dat", archived);
            cardRegister = std::make_unique<FolderRegister>(*inst, &user);
        } else {
            server = workstation(user.UserFIO);
            other = workstation(QStringLiteral("Петров П.П."));
            for (const TAnketa& card : archived)
                other->archive(other->append(card).id);
            for (const TAnketa& card : cards)
                other->append(card);
            cardRegister = std::make_unique<ServerCards>(*server);
        }
        s = std::make_unique<CardSession>(*inst, user, std::move(cardRegister));
        hasCards = s->openFiles();
    }

    // The register as the program would show it after a restart.
    std::vector<TAnketa> stored(RegisterFile file) const {
        if (home == Home::Folder)
            return t.readCards(file == RegisterFile::Main ? QStringLiteral("Baza/Anketi.dat")
                                                          : QStringLiteral("Baza/ArhAnket.dat"));
        std::vector<qint64> ids;
        for (const CardRow& row : other->listCards(
                 file == RegisterFile::Main ? CardFileKind::Main : CardFileKind::Archive))
            ids.push_back(row.id);
        std::vector<TAnketa> out;
        for (const ServerCard& card : other->readCards(ids))
            out.push_back(card.record);
        return out;
    }

    // Someone else (another program on the data folder, another workstation on the server)
    // writes over Main card `index`, or takes it out.
    void changeElsewhere(qint64 index, const TAnketa& card) {
        if (home == Home::Folder) {
            QFile f(t.path(QStringLiteral("Baza/Anketi.dat")));
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.seek(index * static_cast<qint64>(sizeof card)));
            f.write(reinterpret_cast<const char*>(&card), sizeof card);
            return;
        }
        const CardRow row = other->listCards(CardFileKind::Main).at(static_cast<size_t>(index));
        const ServerCard now = *other->readCard(row.id);
        ASSERT_EQ(other->save(row.id, card, now.version).status, SaveResult::Status::Saved);
    }
    void removeElsewhere(qint64 index) {
        if (home == Home::Folder) {
            std::vector<TAnketa> cards = stored(RegisterFile::Main);
            cards.erase(cards.begin() + index);
            t.writeCards("Baza/Anketi.dat", cards);
            return;
        }
        ASSERT_TRUE(
            other->remove(other->listCards(CardFileKind::Main).at(static_cast<size_t>(index)).id));
    }

    Home home = Home::Folder;
    SessionFolder t;
    CurrentUser user;
    std::unique_ptr<Installation> inst;
    std::unique_ptr<PgTestServer> pg;
    QString conninfo;
    std::unique_ptr<ServerRegister> server; // this workstation's connection
    std::unique_ptr<ServerRegister> other;  // another workstation's
    std::unique_ptr<CardSession> s;
    bool hasCards = false;
};

class BothHomes : public Session, public ::testing::WithParamInterface<Home> {
protected:
    void SetUp() override {
        home = GetParam();
        Session::SetUp();
    }
};

} // namespace zelm::testing
