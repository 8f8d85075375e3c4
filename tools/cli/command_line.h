// Commands and their arguments: each command declares its options and
// positional arguments once, and the parser checks a call against that.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qel2::cli {

struct Arguments {
    // The STORE argument; empty only when --sample asked for the bundled
    // sample instead. Then the command's other operands.
    std::optional<std::string> store;
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;  // "--limit" -> "10", the last one given
    std::map<std::string, std::vector<std::string>> allValues;  // every one, for repeatable options
    std::set<std::string> switches;                             // "--long"

    bool has(const std::string& option) const {
        return switches.contains(option) || values.contains(option);
    }
    std::optional<std::string> value(const std::string& option) const;
};

struct Command {
    const char* name;
    const char* usage;    // "events STORE CALID [--from TIME] ..."
    const char* summary;  // one line for the command list
    const char* details;  // the rest of --help
    std::vector<std::string> valueOptions;
    std::vector<std::string> switchOptions;
    // Counts of positional arguments with the leading STORE (which --sample
    // replaces).
    size_t minPositional;
    size_t maxPositional;
    int (*run)(const Arguments& arguments);
};

// Options every command takes: --config FILE, --log FILE, --help.
struct CommonOptions {
    std::optional<std::string> config;
    std::optional<std::string> log;
    bool help = false;
};

// Checks the call against the command's declaration; "--name=value" and
// "--name value" are both accepted. Throws UsageError.
//
// The first positional argument is always STORE, unless --sample asks for
// the bundled sample instead: a mistyped store or a forgotten operand is
// an error, never a run on the sample.
Arguments ParseArguments(const Command& command, const std::vector<std::string>& args,
                         CommonOptions& common);

// A whole number within [lowest, highest]; throws UsageError naming the
// option otherwise.
long long ParseNumber(const std::string& option, const std::string& text, long long lowest,
                      long long highest);

// Reads "2006-01-16", "2006-01-16T14:00:00Z" (the Z may be left out, the
// time is UTC either way) or a number of seconds since 1970. Throws
// UsageError naming `option` for anything else or a time the store cannot
// hold (before 1970, after 2038-01-19T03:14:07Z: the window is signed 32-bit).
int32_t ParseTime(const std::string& option, const std::string& text);

// Splits "a,b,c" into its items.
std::vector<std::string> SplitList(const std::string& text);

}  // namespace qel2::cli
