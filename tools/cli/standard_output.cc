#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_error.h"

namespace qel2::cli {

namespace {

PRInt32 WriteToStdout(PRFileDesc*, const void* buffer, PRInt32 amount) {
    const auto size = static_cast<size_t>(amount);
    return std::fwrite(buffer, 1, size, stdout) == size ? amount : -1;
}

[[noreturn]] void Fail(int error) {
    if (error == EPIPE) throw CliError("", kExitClosedPipe);
    throw CliError(std::string("cannot write to standard output") +
                   (error ? ": " + std::string(std::strerror(error)) : ""));
}

}  // namespace

PRFileDesc* DumpOutput() {
    static PRIOMethods methods = [] {
        PRIOMethods copy = *PR_GetDefaultIOMethods();
        copy.write = WriteToStdout;
        return copy;
    }();
    static PRFileDesc* output =
        PR_CreateIOLayerStub(PR_GetUniqueIdentity("qel2caldb stdout"), &methods);
    return output;
}

void CheckOutput() {
    if (!std::ferror(stdout)) return;
    // stdio keeps what it could not write; one more flush tells why.
    errno = 0;
    std::fflush(stdout);
    Fail(errno);
}

void FinishOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0) Fail(errno);
    CheckOutput();
}

}  // namespace qel2::cli
