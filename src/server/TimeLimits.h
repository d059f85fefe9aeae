#pragma once
// How long a workstation waits for the server, in one place: the README's server section lists
// the same values. A command that runs into one of them fails with a message naming the server,
// and the server gives up what that command held, so one workstation that stops (a frozen
// machine, a cable pulled mid-command) never holds the others longer than these limits.
namespace zelm {

struct ServerTimeLimits {
    // Making a connection, per host named in Server.vez.
    int connectSeconds = 5;
    // The server cancels a statement that runs longer (the moves of a whole register and the
    // schema's upgrades lift it).
    int statementMs = 30000;
    // A command waiting for a card row or the numbering lock held by another workstation.
    int lockMs = 15000;
    // A workstation that stops in the middle of a transaction loses it after this long, and
    // with it the locks it held. Shorter than lockMs, so those waiting get through.
    int idleInTransactionMs = 10000;
    // A link that stops carrying anything is dropped by the operating system: keepalive probes
    // on an idle connection, and an unanswered send, on both ends.
    int keepaliveIdleSeconds = 5;
    int keepaliveIntervalSeconds = 2;
    int keepaliveCount = 3;
    int tcpUserTimeoutMs = 10000;
    // The program's own wait for any reply, for links where the operating system cannot tell
    // (a relay that accepts and stays silent): a little beyond the server's own limit.
    int replyMarginMs = 5000;
    int replyMs() const { return statementMs + replyMarginMs; }
    // The change feed asks for a sign of life this often on its idle connection, and counts the
    // link as lost when none came within feedSilenceMs: a silent link shows within 10 s.
    int feedHeartbeatMs = 3000;
    int feedSilenceMs = 6000;
};

} // namespace zelm
