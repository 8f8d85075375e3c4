#include "child_process.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli_error.h"

namespace qel2::cli {

namespace {

constexpr int kPollMs = 100;
// The report travels through a pipe after the work is done; its size stays
// below what a pipe holds, so the child never waits for the parent.
constexpr size_t kReportLimit = 16 * 1024;

void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

[[noreturn]] void ChildMain(const std::function<int(std::string&)>& work, int reportFd,
                            pid_t parent) {
    // A parent killed from outside takes its child along, and one that
    // ended before this line ran is seen at once.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(kExitFailure);
    const rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::string report;
    int status = work(report);
    if (report.size() > kReportLimit) report.resize(kReportLimit);
    size_t written = 0;
    while (written < report.size()) {
        ssize_t n = write(reportFd, report.data() + written, report.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    std::fflush(nullptr);
    _exit(status);
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return text;
    }
}

}  // namespace

ChildOutcome RunInChild(const std::function<int(std::string& report)>& work,
                        const std::function<double()>& deadline) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw CliError(std::string("cannot create a pipe: ") + std::strerror(errno));
    std::fflush(nullptr);  // nothing buffered is written twice
    pid_t parent = getpid();
    pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        throw CliError(std::string("cannot start a child process: ") + std::strerror(errno));
    }
    if (child == 0) {
        close(pipeFds[0]);
        ChildMain(work, pipeFds[1], parent);
    }
    int readFd = pipeFds[0];
    Close(pipeFds[1]);
    // A descriptor that becomes readable when the child ends (Linux 5.3).
    int pidFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));

    auto start = std::chrono::steady_clock::now();
    ChildOutcome outcome;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        double left = deadline() - elapsed.count();
        if (left <= 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            outcome.end = ChildOutcome::End::TimedOut;
            break;
        }
        int waitMs = std::min(kPollMs, static_cast<int>(left * 1000) + 1);
        if (pidFd >= 0) {
            pollfd wait = {pidFd, POLLIN, 0};
            poll(&wait, 1, waitMs);
        } else {
            usleep(static_cast<useconds_t>(waitMs) * 1000);
        }
    }
    Close(pidFd);
    if (outcome.end != ChildOutcome::End::TimedOut) {
        if (WIFSIGNALED(status)) {
            outcome.end = ChildOutcome::End::Signalled;
            outcome.signal = WTERMSIG(status);
        } else {
            outcome.status = WEXITSTATUS(status);
            outcome.report = ReadAll(readFd);
        }
    }
    Close(readFd);
    return outcome;
}

std::string SignalText(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    return std::string("SIG") + (abbreviation ? abbreviation : std::to_string(signal).c_str()) +
           " (" + (description ? description : "unknown signal") + ")";
}

}  // namespace qel2::cli
