#pragma once
// The program's side of the model test: a card session on a register in either home, the
// register read back as the program would show it after a restart, and what another program or
// workstation does to it meanwhile.
#include "common/PgTestServer.h"
#include "model/RegisterModel.h"
#include "session/CardSession.h"

#include <QTemporaryDir>
#include <memory>

namespace zelm {
class ServerRegister;
}

namespace zelm::model {

TAnketa toRecord(const Card& card);
Card fromRecord(const TAnketa& record);

class RegisterUnderTest {
public:
    // `pg` for the server's home: a new database on it for this register.
    RegisterUnderTest(Home home, testing::PgTestServer* pg, const std::vector<Card>& initial);
    ~RegisterUnderTest();

    Home home() const { return m_home; }
    CardSession& session() { return *m_session; }
    const CurrentUser& user() const { return m_user; }
    // The program started again on the same register.
    void restart();

    std::vector<Card> stored(RegisterFile file) const;
    std::vector<Card> working() const;

    // Another program on the data folder, or another workstation on the server.
    void changeElsewhere(size_t index, const Card& card);
    void cutMainElsewhere(size_t keep);  // data folder: the file cut short
    void rotateMainElsewhere(size_t by); // data folder: a reordered copy renamed over it

private:
    std::unique_ptr<zelm::Register> openRegister();
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    void writeMain(const std::vector<Card>& cards, const QString& relative) const;

    Home m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<Installation> m_inst;
    CurrentUser m_user;
    std::unique_ptr<ServerRegister> m_server; // this workstation's connection
    std::unique_ptr<ServerRegister> m_other;  // another workstation's
    std::unique_ptr<CardSession> m_session;
};

} // namespace zelm::model
