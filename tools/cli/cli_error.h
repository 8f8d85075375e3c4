// The one kind of failure a command reports: a sentence for standard error
// and the exit status that goes with it.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

#include <qel2/log.h>

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
// allocate memory (12)". 1 to 3 and 10000 are the library's own codes, other
// positive numbers system errors, negative ones Berkeley DB's as 4.2
// numbers them.
inline std::string ResultText(int result) {
    std::string words;
    switch (result) {
        case qEL2_ERR_MISSING:
            words = "something it needs is missing or cannot be read";
            break;
        case qEL2_ERR_STORE:
            words = "the store or a linked record cannot be read";
            break;
        case qEL2_ERR_SELF_LINK:
            words = "a link leads back into its own calendar";
            break;
        case qEL2_ERR_NOT_FOUND:
            words = "not found";
            break;
        default:
            words = result > 0 ? std::strerror(result) : "Berkeley DB error";
            break;
    }
    return words + " (" + std::to_string(result) + ")";
}

}  // namespace qel2::cli
