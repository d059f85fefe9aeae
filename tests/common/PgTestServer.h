#pragma once
// A private PostgreSQL 15 server for one test or benchmark: a cluster made with initdb in a
// temporary folder, listening only on a Unix socket in that folder, stopped (by its data folder)
// when the object goes. Run as root it runs as the unprivileged user nobody, since the server
// refuses root.
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace zelm::testing {

class PgTestServer {
public:
    struct Options {
        bool durable = false; // fsync as a real server does (benchmarks); off for tests
        // More of the server's settings, as `-c name=value ...` (a benchmark sizes its memory
        // as a unit's server would be).
        const char* settings = "";
    };
    PgTestServer() : PgTestServer(Options{}) {}
    explicit PgTestServer(Options options);
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    // Empty when the server runs; else why not (binaries missing, initdb failed, ...).
    const QString& unavailable() const { return m_unavailable; }
    bool running() const { return m_unavailable.isEmpty(); }

    // Makes a database; returns its connection string.
    QString createDatabase(const QString& name);
    QString connectionString(const QString& database) const;
    QString socketFolder() const { return m_dir.path(); }

    void crash(); // immediate stop, as a power cut to the server process would
    bool start(); // after crash()
    void stop();

private:
    bool run(const QString& program, const QStringList& args, QString* output = nullptr);
    QString m_bin;
    QTemporaryDir m_dir;
    QString m_unavailable;
    Options m_options;
    bool m_started = false;
};

} // namespace zelm::testing
