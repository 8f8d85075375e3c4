// The command's work runs in a child process under a watchdog (see
// child_process.h); what the child is reading and how long it may take are
// kept in memory the parent shares, so a crash or a stall inside Berkeley
// DB becomes one sentence naming the file being read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qel2::cli {

// Runs `command` in a watched child and returns its exit status. A child
// killed by a fault, or stopped after its time ran out, gives status 1 and
// one line on standard error; a child ended by SIGPIPE, SIGINT, SIGTERM or
// SIGHUP ends this process with the same signal.
int RunWatched(const std::function<int()>& command);

// Runs `work`, turning what it throws into the line on standard error and
// the exit status that go with it.
int ExitStatusOf(const std::function<int()>& work);

// In the child: the file being read from now on ("" when none), for the
// sentence that reports a fault or a stall.
void NoteReading(const std::string& file);

// In the child: the run's time limit grows with the bytes it has to read
// (one second per megabyte on top of a minute). QEL2_TIME_LIMIT, in
// seconds, replaces the whole limit.
void AllowTimeFor(uint64_t bytes);
// The seconds QEL2_TIME_LIMIT sets, 0 when it is not set.
double FixedTimeLimit();

// A folder of this run's own, removed when the run ends however it ends:
// where Berkeley DB keeps the regions and log of a reading environment.
const std::string& RunFolder();

}  // namespace qel2::cli
