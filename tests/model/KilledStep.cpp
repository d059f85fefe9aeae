#include "model/KilledStep.h"

#include "model/RegisterUnderTest.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <rapidcheck.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zelm::model {
namespace {

struct Worker {
    pid_t pid = -1;
    int out = -1; // its standard output
    QString errors;
};

Worker spawnWorker(const QStringList& args, const QString& errors) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const QByteArray errorPath = QFile::encodeName(errors);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<QByteArray> bytes{QByteArrayLiteral(ZELM_MODEL_WORKER)};
    for (const QString& a : args)
        bytes.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    Worker w;
    const int rc = ::posix_spawn(&w.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw std::runtime_error("the test could not start " ZELM_MODEL_WORKER);
    }
    w.out = fds[0];
    w.errors = errors;
    return w;
}

// A line of the worker's output, or what it wrote before it ended.
std::string readLine(int fd) {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n')
            return line;
        line += c;
    }
}

// How the worker ended: "" for a clean end or SIGKILL, else what it said.
std::string finish(Worker& w) {
    ::close(w.out);
    int status = 0;
    while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if ((WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
        (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL))
        return {};
    QFile f(w.errors);
    f.open(QIODevice::ReadOnly);
    return "the program's process ended with status " + std::to_string(status) + ": " +
           f.readAll().toStdString();
}

// Waits `us` microseconds, or less when the worker ends the operation sooner.
void waitForOutput(int fd, int us) {
    pollfd p{fd, POLLIN, 0};
    const timespec t{us / 1000000, long(us % 1000000) * 1000};
    ::ppoll(&p, 1, &t, nullptr);
}

std::string show(const std::vector<Card>& cards) {
    std::ostringstream os;
    for (const Card& c : cards)
        os << "\n    " << c;
    QString text = QString::fromStdString(os.str());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("⏎"));
    return cards.empty() ? std::string(" (пусто)") : text.toStdString();
}

// Whether `stored` is `expected` but for the numbers of cards the operation made: the program
// picks those anew each time, from those the register did not hold before. They are taken from
// `stored` into `expected`.
bool sameButNewNumbers(const std::vector<Card>& stored, std::vector<Card>& expected,
                       const std::vector<Card>& before) {
    if (stored.size() != expected.size())
        return false;
    std::set<std::int32_t> old;
    for (const Card& c : before)
        old.insert(c.number);
    for (size_t i = 0; i < stored.size(); ++i)
        if (!old.contains(expected[i].number) && !old.contains(stored[i].number))
            expected[i].number = stored[i].number;
    return stored == expected;
}

// The operation run to its end on a copy of the register as it was before.
ModelRegister completed(const Operation& op, const ModelRegister& before) {
    RegisterUnderTest copy(Home::Folder, nullptr, before.main, before.archive);
    ModelRegister after = before;
    if (before.shown)
        copy.session().showMainCard(qint64(*before.shown));
    runOperation(op, after, copy);
    return after;
}

} // namespace

void runKilled(const Operation& op, ModelRegister& m, RegisterUnderTest& p) {
    if (p.home() != Home::Folder || op.kind >= Operation::ChangeElsewhere) {
        runOperation(op, m, p);
        return;
    }
    // The program starts again for the operation, with the card shown shown again.
    ModelRegister before = m;
    before.working.clear();
    if (m.shown && *m.shown < m.main.size())
        before.asRead = before.main[*m.shown];
    else
        before.showLast();
    p.stop();
    const QString operationFile = p.root() + QStringLiteral("/model-operation");
    const QString errors = p.root() + QStringLiteral("/model-worker-errors");
    {
        QFile f(operationFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(encodeOperation(op)) < 0)
            throw std::runtime_error("the test could not write the operation");
    }
    Worker w = spawnWorker({QStringLiteral("run"), p.root(), operationFile,
                            QString::number(before.shown ? qint64(*before.shown) : -1)},
                           errors);
    const bool started = readLine(w.out) == "go";
    if (started) {
        waitForOutput(w.out, op.killAfterUs);
        ::kill(w.pid, SIGKILL);
    }
    const bool done = readLine(w.out) == "done";
    std::string failure = finish(w);
    if (!failure.empty() || !started)
        RC_FAIL("the operation in a process of its own: " + failure);
    // The program's start on what the killed one left, in a process of its own as a user's.
    Worker start = spawnWorker({QStringLiteral("start"), p.root()}, errors);
    failure = finish(start);
    if (!failure.empty())
        RC_FAIL("the start after the kill failed: " + failure);

    // An append cut short may leave part of a record at the end: no reader counts it, and the
    // next append writes over it.
    const std::vector<Card> main = p.stored(RegisterFile::Main);
    const std::vector<Card> archive = p.stored(RegisterFile::Archive);
    if (main == before.main && archive == before.archive) {
        m = before;
    } else {
        ModelRegister after = completed(op, before);
        std::vector<Card> oldCards = before.main;
        oldCards.insert(oldCards.end(), before.archive.begin(), before.archive.end());
        const bool same = sameButNewNumbers(main, after.main, oldCards) &&
                          sameButNewNumbers(archive, after.archive, oldCards);
        if (!same)
            RC_FAIL(std::string("the kill ") + (done ? "after" : "during") +
                    " the operation left a third state.\n  Main before:" + show(before.main) +
                    "\n  Archive before:" + show(before.archive) + "\n  Main after:" +
                    show(after.main) + "\n  Archive after:" + show(after.archive) +
                    "\n  Main stored:" + show(main) + "\n  Archive stored:" + show(archive));
        m = after;
    }
    m.working.clear();
    m.showLast();
    p.restart();
    if (m.shown)
        RC_ASSERT(fromRecord(p.session().CurrentCard()) == m.asRead);
}

} // namespace zelm::model
