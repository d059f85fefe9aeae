#pragma once
// Each test gets its own server and database; the workstations are ServerRegisters on it.
#include "common/CardFactory.h"
#include "common/PgTestServer.h"
#include "server/ServerRegister.h"

#include <gtest/gtest.h>
#include <memory>

namespace zelm::testing {

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        pg = std::make_unique<PgTestServer>();
        if (!pg->running())
            GTEST_SKIP() << "no PostgreSQL server for this test: "
                         << pg->unavailable().toStdString();
        conninfo = pg->createDatabase(QStringLiteral("zelm"));
    }

    std::unique_ptr<ServerRegister> workstation(const QString& user, const QString& machine) {
        auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        r->setIdentity(user, machine);
        r->open();
        return r;
    }

    static QByteArray bytesOf(const TAnketa& card) {
        return QByteArray(reinterpret_cast<const char*>(&card), sizeof card);
    }

    std::unique_ptr<PgTestServer> pg;
    QString conninfo;
};

} // namespace zelm::testing
