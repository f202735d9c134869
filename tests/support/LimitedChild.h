// Runs a piece of a test in a child process with bounded memory and time, so that input that
// makes the code under test allocate without bound or hang fails that test instead of taking
// the whole suite (or the machine) down.
#pragma once

#include <QByteArray>
#include <functional>

namespace orvtest {

struct ChildOutcome {
    bool exited = false; // ended through exit(); false when killed or signalled
    int exitCode = -1;
    int signal = 0; // the signal that ended it, 0 when it exited
    bool timedOut = false;
    bool overMemory = false; // the memory limit stopped it
    double cpuSeconds = 0; // user + system time the child used
    QByteArray output; // what the child wrote with ChildReport
};

// Forks; the child raises its memory limit to `extraBytes` above what the process holds now,
// runs `body` and exits with its result. The parent waits at most `timeoutMs` (then kills it).
// Memory is bounded with RLIMIT_AS, or in AddressSanitizer builds (whose shadow memory rules
// that out) by counting live heap bytes through the allocator hooks.
ChildOutcome RunLimitedChild(const std::function<int()>& body, qint64 extraBytes, int timeoutMs);

// Inside a child: text handed back to the parent in ChildOutcome::output.
void ChildReport(const QByteArray& text);

// True when built with AddressSanitizer (timings then run many times slower).
bool SanitizedBuild();

} // namespace orvtest
