#include "watched_command.h"

#include <sys/mman.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>

#include "child_process.h"
#include "cli_error.h"
#include "standard_output.h"
#include "library_log.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

constexpr double kBaseSeconds = 60;
constexpr double kBytesPerSecond = 1 << 20;
constexpr size_t kLabelSize = 1024;

// Lives in memory shared by the parent and the child.
struct SharedState {
    std::atomic<int64_t> allowedMs;
    char reading[kLabelSize];
};
static_assert(std::atomic<int64_t>::is_always_lock_free);

SharedState* gShared = nullptr;
std::string gRunFolder;

}  // namespace

double FixedTimeLimit() {
    const char* text = std::getenv("QEL2_TIME_LIMIT");
    if (text == nullptr || *text == '\0') return 0;
    char* end = nullptr;
    double seconds = std::strtod(text, &end);
    return (*end == '\0' && seconds > 0) ? seconds : 0;
}

namespace {

class RunFolderHolder {
public:
    RunFolderHolder() {
        std::string pattern = (fs::temp_directory_path() / "qel2caldb-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw CliError("cannot create a temporary folder in " +
                           fs::temp_directory_path().string() + ": " + std::strerror(errno));
        gRunFolder = pattern;
    }
    ~RunFolderHolder() {
        std::error_code ignored;
        fs::remove_all(gRunFolder, ignored);
        gRunFolder.clear();
    }
    RunFolderHolder(const RunFolderHolder&) = delete;
    RunFolderHolder& operator=(const RunFolderHolder&) = delete;
};

std::string Reading() {
    std::string label(gShared->reading, strnlen(gShared->reading, kLabelSize));
    return label;
}

bool EndsTheParentToo(int signal) {
    return signal == SIGPIPE || signal == SIGINT || signal == SIGTERM || signal == SIGHUP;
}

}  // namespace

int ExitStatusOf(const std::function<int()>& work) {
    try {
        return work();
    } catch (const CliError& error) {
        std::fflush(stdout);
        if (error.status() == kExitClosedPipe)
            return error.status();  // the reader went away: no message
        std::fprintf(stderr, "qel2caldb: %s\n", error.what());
        if (error.status() == kExitUsage)
            std::fprintf(stderr, "Run \"qel2caldb --help\" for the commands.\n");
        return error.status();
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "qel2caldb: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "qel2caldb: %s\n", error.what());
        return kExitFailure;
    }
}

int RunWatched(const std::function<int()>& command) {
    void* memory = mmap(nullptr, sizeof(SharedState), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        throw CliError(std::string("cannot map shared memory: ") + std::strerror(errno));
    gShared = new (memory) SharedState{};
    double fixed = FixedTimeLimit();
    gShared->allowedMs = static_cast<int64_t>((fixed > 0 ? fixed : kBaseSeconds) * 1000);

    RunFolderHolder folder;
    auto child = [&](std::string&) {
        WatchLibraryLog();
        int status = ExitStatusOf(command);
        // The library skips what it cannot read with an ERROR line and goes
        // on; the command's output then lacks it.
        if (status == 0 && LibraryErrorLines() > 0) {
            std::fflush(stdout);
            std::string reading = Reading();
            std::fprintf(stderr,
                         "qel2caldb: %zu read error%s%s (the last: \"%s\"): what could not be read "
                         "is missing "
                         "from the output\n",
                         LibraryErrorLines(), LibraryErrorLines() == 1 ? "" : "s",
                         reading.empty() ? "" : (" in " + reading).c_str(),
                         LastLibraryError().c_str());
            status = kExitFailure;
        }
        return status;
    };
    ChildOutcome outcome =
        RunInChild(child, [] { return static_cast<double>(gShared->allowedMs.load()) / 1000; });
    std::string reading = Reading();
    double allowed = static_cast<double>(gShared->allowedMs.load()) / 1000;
    munmap(memory, sizeof(SharedState));
    gShared = nullptr;

    std::fflush(stdout);
    switch (outcome.end) {
        case ChildOutcome::End::Exited:
            return outcome.status;
        case ChildOutcome::End::Signalled:
            if (EndsTheParentToo(outcome.signal)) {
                std::signal(outcome.signal, SIG_DFL);
                std::raise(outcome.signal);
            }
            if (reading.empty())
                std::fprintf(stderr, "qel2caldb: the command was killed by %s\n",
                             SignalText(outcome.signal).c_str());
            else
                std::fprintf(stderr,
                             "qel2caldb: Berkeley DB was killed by %s while reading %s: the file "
                             "is damaged; "
                             "\"qel2caldb verify\" names what is wrong\n",
                             SignalText(outcome.signal).c_str(), reading.c_str());
            return kExitFailure;
        case ChildOutcome::End::TimedOut:
            if (reading.empty())
                std::fprintf(
                    stderr,
                    "qel2caldb: the command did not finish within %g seconds and was stopped\n",
                    allowed);
            else
                std::fprintf(stderr,
                             "qel2caldb: reading %s did not finish within %g seconds and was "
                             "stopped: the file is "
                             "probably damaged (pages that lead in a circle); \"qel2caldb verify\" "
                             "names what is "
                             "wrong (QEL2_TIME_LIMIT sets the limit in seconds)\n",
                             reading.c_str(), allowed);
            return kExitFailure;
    }
    return kExitFailure;
}

void NoteReading(const std::string& file) {
    if (gShared == nullptr) return;
    size_t length = std::min(file.size(), kLabelSize - 1);
    std::memcpy(gShared->reading, file.data(), length);
    gShared->reading[length] = '\0';
}

void AllowTimeFor(uint64_t bytes) {
    if (gShared == nullptr || FixedTimeLimit() > 0) return;
    double seconds = kBaseSeconds + static_cast<double>(bytes) / kBytesPerSecond;
    gShared->allowedMs = static_cast<int64_t>(seconds * 1000);
}

const std::string& RunFolder() { return gRunFolder; }

}  // namespace qel2::cli
