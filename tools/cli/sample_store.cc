#include "sample_store.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli_error.h"

extern char** environ;

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

// The folder the archive holds.
constexpr const char* kSampleFolder = "legacy42-store";

// Runs tar without a shell, so no path is ever interpreted.
bool Unpack(const std::string& archive, const std::string& into) {
    const char* argv[] = {"tar", "-xzf", archive.c_str(), "-C", into.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "tar", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::string SampleArchive() {
    // Beside the installed command too, for an install under another
    // prefix than the one configured.
    std::error_code error;
    fs::path besideCommand = fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() /
                             "share" / "qel2caldb" / fs::path(QEL2_SAMPLE_INSTALLED).filename();
    for (const fs::path& candidate :
         {fs::path(QEL2_SAMPLE_SOURCE), besideCommand, fs::path(QEL2_SAMPLE_INSTALLED)})
        if (fs::exists(candidate)) return candidate.string();
    throw CliError(std::string("the bundled sample store is missing: neither ") +
                   QEL2_SAMPLE_SOURCE + " nor " + QEL2_SAMPLE_INSTALLED + " exists");
}

SampleStore::SampleStore() {
    std::string archive = SampleArchive();
    std::string pattern = (fs::temp_directory_path() / "qel2caldb-sample-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw CliError("cannot create a temporary folder for the sample store");
    temporary_ = pattern;
    if (!Unpack(archive, temporary_)) {
        std::error_code ignored;
        fs::remove_all(temporary_, ignored);
        throw CliError("cannot unpack the sample store " + archive + " (is tar installed?)");
    }
    directory_ = (fs::path(temporary_) / kSampleFolder).string();
}

SampleStore::~SampleStore() {
    std::error_code ignored;
    fs::remove_all(temporary_, ignored);
}

}  // namespace qel2::cli
