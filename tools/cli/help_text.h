// The texts --help prints, which the manual page is also made from
// (qel2caldb --help-man), so the two never disagree.
#pragma once

#include <cstdio>
#include <span>

#include "command_line.h"

namespace qel2::cli {

inline constexpr const char* kDescription =
    "qel2caldb reads, checks and exports a calendar store of the previous generation\n"
    "(a Berkeley DB 4.2 environment with events.db, todos.db, calprops.db, alarms.db\n"
    "and caldb.conf) without a calendar server.";

inline constexpr const char* kSynopsis[] = {
    "COMMAND STORE|--sample ... [--config FILE] [--log FILE]", "COMMAND --help | --version"};

struct OptionHelp {
    const char* name;
    const char* text;
};
inline constexpr OptionHelp kCommonOptions[] = {
    {"--config FILE",
     "settings file (default: $QEL2_CONFIG), e.g. caldb.berkeleydb.mempoolsizemb = 64"},
    {"--log FILE", "append the library's log lines to FILE instead of standard error"},
    {"--sample", "in place of STORE: a fresh copy of the bundled sample store"},
    {"--help", "this text"},
};

inline constexpr const char* kNotes =
    "Stores are only read; only \"recover\" runs a recovery open. Listings show\n"
    "control characters of stored text escaped (\\n, \\x1b). --json output is UTF-8:\n"
    "text is converted from the record's charset, bytes that cannot be converted\n"
    "become U+FFFD, and the object names those fields in \"text_replaced\".";

inline constexpr const char* kExitStatus =
    "0 on success; 1 on a failure, or when verify finds damage; 2 for a wrong call;\n"
    "141 when the reader of standard output went away early (| head).";

// The whole overview (qel2caldb --help) and one command's help.
void PrintOverview(FILE* out, std::span<const Command* const> commands);
void PrintCommandHelp(const Command& command);
// The manual page qel2caldb(1) in roff, from the same texts.
void PrintManPage(std::span<const Command* const> commands);

}  // namespace qel2::cli
