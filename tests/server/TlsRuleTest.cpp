// Passwords and cards cross the network only to a server whose certificate was checked. The
// refusal is decided from the connection string alone: no connection, not even a name lookup.
#include "server/ServerConfig.h"
#include "server/ServerError.h"

#include <gtest/gtest.h>

using namespace zelm;

namespace {

QString refusalOf(const QString& conninfo) {
    try {
        ServerConfig::parse(conninfo);
    } catch (const ServerError& e) {
        EXPECT_EQ(e.kind(), ServerError::Kind::Setup);
        return e.message();
    }
    return {};
}

} // namespace

TEST(TlsRule, AnotherHostWithoutACheckedCertificateIsRefusedInRussian) {
    qunsetenv("PGHOST");
    qunsetenv("PGHOSTADDR");
    qunsetenv("PGSSLMODE");
    qunsetenv("PGSERVICE");
    for (const char* text :
         {"host=db.invalid dbname=orm user=ivanov", "host=db.invalid dbname=orm sslmode=require",
          "host=db.invalid dbname=orm sslmode=disable", "host=db.invalid dbname=orm sslmode=prefer",
          "hostaddr=10.0.0.5 dbname=orm", "host=localhost,db.invalid dbname=orm sslmode=require",
          "host=localhost hostaddr=192.0.2.7 dbname=orm", "service=orm",
          "postgresql://db.invalid/orm?sslmode=require"}) {
        const QString told = refusalOf(QString::fromLatin1(text));
        EXPECT_TRUE(told.contains(QStringLiteral("sslmode=verify-full")) &&
                    told.contains(QStringLiteral("~/.postgresql/root.crt")) &&
                    told.contains(QStringLiteral("Server.vez")) &&
                    told.contains(QStringLiteral("другой компьютер")))
            << text << ": " << told.toStdString();
    }
    for (const char* text :
         {"host=db.invalid dbname=orm sslmode=verify-full",
          "host=db.invalid dbname=orm sslmode=verify-ca", "dbname=orm", "host=localhost dbname=orm",
          "host=127.0.0.1", "host=::1", "host=/var/run/postgresql dbname=orm",
          "host=/tmp,localhost port=5432,5433"})
        EXPECT_EQ(refusalOf(QString::fromLatin1(text)), QString()) << text;

    // What libpq would take from the environment counts as well.
    qputenv("PGHOST", "db.invalid");
    EXPECT_NE(refusalOf(QStringLiteral("dbname=orm")), QString());
    qputenv("PGSSLMODE", "verify-full");
    EXPECT_EQ(refusalOf(QStringLiteral("dbname=orm")), QString());
    qunsetenv("PGHOST");
    qunsetenv("PGSSLMODE");
}

TEST(TlsRule, TlsFailuresAreToldInRussianWithLibpqsTextKept) {
    const struct {
        const char* libpq;
        const char* told;
    } cases[] = {
        {"root certificate file \"/home/a/.postgresql/root.crt\" does not exist\nEither provide "
         "the file or change sslmode to disable server certificate verification.",
         "нет сертификата сервера"},
        {"server certificate for \"db.local\" does not match host name \"db\"",
         "выдан на другое имя"},
        {"SSL error: certificate verify failed", "не подтверждён"},
        {"server does not support SSL, but SSL was required", "ssl = on"},
        {"FATAL:  no pg_hba.conf entry for host \"10.0.0.2\", user \"a\", database \"orm\", no "
         "encryption",
         "sslmode=verify-full"},
    };
    for (const auto& c : cases) {
        const QString libpq = QString::fromUtf8(c.libpq);
        const QString m = connectFailureMessage(QStringLiteral("db:5432/orm"), QStringLiteral("a"),
                                                QStringLiteral("orm"), libpq);
        EXPECT_TRUE(m.contains(QString::fromUtf8(c.told))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("db:5432/orm")));
        EXPECT_TRUE(m.contains(libpq.trimmed())) << "libpq's text is kept for the administrator";
    }
}
