// Work that may meet a damaged file runs in a forked child process: a
// crash or an endless loop inside Berkeley DB then ends the child, not the
// command, and the parent turns it into a sentence.
#pragma once

#include <functional>
#include <string>

namespace qel2::cli {

struct ChildOutcome {
    enum class End { Exited, Signalled, TimedOut } end = End::Exited;
    int status = 0;      // the exit status when Exited
    int signal = 0;      // the signal when Signalled
    std::string report;  // what the work wrote into its report (Exited only)
};

// Runs `work` in a child; its return value is the child's exit status and
// the text it leaves in `report` comes back in ChildOutcome::report. The
// child's standard output and error are the parent's. `deadline` is asked
// again every tenth of a second for the seconds the child may run in all,
// so the child can extend it once it knows how much it has to read; past
// it the child is killed. The child writes no core file.
ChildOutcome RunInChild(const std::function<int(std::string& report)>& work,
                        const std::function<double()>& deadline);

// "SIGSEGV (segmentation fault)".
std::string SignalText(int signal);

}  // namespace qel2::cli
