#include "common/PgTestServer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <unistd.h>

namespace zelm::testing {
namespace {

constexpr const char* kPort = "5432"; // the socket's name; nothing listens on TCP

QString findBinaries() {
    const QString fromEnv = qEnvironmentVariable("ZELM_PG_BIN");
    for (const QString& dir : {fromEnv, QStringLiteral("/usr/lib/postgresql/15/bin")})
        if (!dir.isEmpty() && QFileInfo(dir + QStringLiteral("/pg_ctl")).isExecutable() &&
            QFileInfo(dir + QStringLiteral("/initdb")).isExecutable())
            return dir;
    return {};
}

} // namespace

PgTestServer::PgTestServer(Options options) : m_options(options) {
    m_bin = findBinaries();
    if (m_bin.isEmpty()) {
        m_unavailable = QStringLiteral("PostgreSQL 15 server binaries not found "
                                       "(/usr/lib/postgresql/15/bin or ZELM_PG_BIN): "
                                       "install postgresql-15");
        return;
    }
    if (!m_dir.isValid()) {
        m_unavailable = QStringLiteral("no temporary folder");
        return;
    }
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || chown(QFile::encodeName(m_dir.path()).constData(), nobody->pw_uid,
                             nobody->pw_gid) != 0) {
            m_unavailable = QStringLiteral("cannot hand the temporary folder to user nobody");
            return;
        }
    }
    QString out;
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-A"),
              QStringLiteral("trust"), QStringLiteral("-U"), QStringLiteral("pgadmin"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
              QStringLiteral("--no-sync")},
             &out)) {
        m_unavailable = QStringLiteral("initdb failed: ") + out;
        return;
    }
    if (!start())
        m_unavailable = QStringLiteral("the server did not start");
}

PgTestServer::~PgTestServer() {
    stop();
}

bool PgTestServer::run(const QString& program, const QStringList& args, QString* output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(m_dir.path()); // the current folder may be gone or closed to nobody
    if (geteuid() == 0)
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                            program} +
                    args);
    else
        p.start(program, args);
    p.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgTestServer::start() {
    QString options = QStringLiteral("-k %1 -h '' -p %2 -c max_connections=40")
                          .arg(m_dir.path(), QLatin1String(kPort));
    if (!m_options.durable)
        options += QStringLiteral(" -c fsync=off");
    if (*m_options.settings)
        options += QLatin1Char(' ') + QString::fromUtf8(m_options.settings);
    QString out;
    m_started = run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                     QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")),
                     QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("start")},
                    &out);
    if (!m_started)
        qWarning("pg_ctl start: %s", qPrintable(out));
    return m_started;
}

void PgTestServer::stop() {
    if (!m_started)
        return;
    run(m_bin + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    m_started = false;
}

void PgTestServer::crash() {
    run(m_bin + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    m_started = false;
}

QString PgTestServer::connectionString(const QString& database) const {
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=pgadmin")
        .arg(m_dir.path(), QLatin1String(kPort), database);
}

QString PgTestServer::createDatabase(const QString& name) {
    PGconn* c = PQconnectdb(connectionString(QStringLiteral("postgres")).toUtf8().constData());
    if (PQstatus(c) == CONNECTION_OK) {
        // A test's own fixed name, never outside text.
        PGresult* r = PQexec(c, QByteArray("CREATE DATABASE " + name.toUtf8()).constData());
        PQclear(r);
    }
    PQfinish(c);
    return connectionString(name);
}

} // namespace zelm::testing
