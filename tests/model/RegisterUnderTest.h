#pragma once
// The program's side of the model test: a card session on a register in either home, the
// register read back as the program would show it after a restart, and what another program or
// workstation does to it meanwhile.
#include "common/PgTestServer.h"
#include "model/RegisterModel.h"
#include "session/CardSession.h"

#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace zelm {
class ServerRegister;
}

namespace zelm::model {

TAnketa toRecord(const Card& card);
Card fromRecord(const TAnketa& record);

class RegisterUnderTest {
public:
    // `pg` for the server's home: a new database on it for this register.
    RegisterUnderTest(Home home, testing::PgTestServer* pg, const std::vector<Card>& initial,
                      const std::vector<Card>& archived = {});
    // The data folder at `root`, as another process of the test left it.
    explicit RegisterUnderTest(const QString& root);
    ~RegisterUnderTest();

    Home home() const { return m_home; }
    CardSession& session() { return *m_session; }
    const CurrentUser& user() const { return m_user; }
    // The program started again on the same register.
    void restart();
    // The program ended: nothing of it holds the register until restart().
    void stop() { m_session.reset(); }
    const QString& root() const { return m_root; }

    std::vector<Card> stored(RegisterFile file) const;
    std::vector<Card> working() const;

    // Another program on the data folder, or another workstation on the server.
    void changeElsewhere(size_t index, const Card& card);
    void cutMainElsewhere(size_t keep);  // data folder: the file cut short
    void rotateMainElsewhere(size_t by); // data folder: a reordered copy renamed over it

private:
    std::unique_ptr<zelm::Register> openRegister();
    QString path(const QString& relative) const { return m_root + QLatin1Char('/') + relative; }
    void writeMain(const std::vector<Card>& cards, const QString& relative) const;

    Home m_home;
    std::optional<QTemporaryDir> m_dir; // none for a folder given
    QString m_root;
    std::unique_ptr<Installation> m_inst;
    CurrentUser m_user;
    std::unique_ptr<ServerRegister> m_server; // this workstation's connection
    std::unique_ptr<ServerRegister> m_other;  // another workstation's
    std::unique_ptr<CardSession> m_session;
};

} // namespace zelm::model
