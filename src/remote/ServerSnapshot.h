#pragma once
// One card file of the register on a connection of its own, for a pass on another thread (the
// statistics' count): it connects and reads the order at its first use, on that thread.
#include "register/Register.h"
#include "server/ServerConfig.h"

#include <memory>

namespace zelm {

class ServerRegister;
class ServerCards;

class ServerSnapshot : public RecordSource {
public:
    ServerSnapshot(ServerConfig config, RegisterFile file);
    ~ServerSnapshot() override;

    qint64 count() const override;
    void readRange(qint64 first, qint64 n, void* out) const override;

private:
    void open() const;

    ServerConfig m_config;
    RegisterFile m_file;
    mutable std::unique_ptr<ServerRegister> m_server;
    mutable std::unique_ptr<ServerCards> m_cards;
};

} // namespace zelm
