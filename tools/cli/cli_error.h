// The one kind of failure a command reports: a sentence for standard error
// and the exit status that goes with it.
#pragma once

#include <stdexcept>
#include <string>

#include <qel2/results.h>

namespace qel2::cli {

// Exit statuses: 1 a failure (or damage found by verify), 2 a wrong call.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message, int status = kExitFailure)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// A call the command cannot make sense of; the command's usage follows.
class UsageError : public CliError {
public:
    explicit UsageError(const std::string& message) : CliError(message, kExitUsage) {}
};

// A result of the library in words, its number after them: "Cannot
// allocate memory (12)".
inline std::string ResultText(int result) {
    return std::string(qel2_ResultText(result)) + " (" + std::to_string(result) + ")";
}

}  // namespace qel2::cli
