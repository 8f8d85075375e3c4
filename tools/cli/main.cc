// qel2caldb: reads, checks and exports a calendar store of the previous
// generation without a calendar server.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <qel2/host.h>

#include "cli_error.h"
#include "command_line.h"
#include "commands.h"

namespace {

using namespace qel2cli;

const Command* const kCommands[] = {&kRecoverCommand, &kInfoCommand, &kCalendarsCommand,
                                    &kEventsCommand,  &kToDosCommand, &kShowCommand,
                                    &kDumpCommand,    &kVerifyCommand, &kExportCommand,
                                    &kPushCommand};

constexpr const char* kCommonHelp =
    "\nOptions every command takes:\n"
    "  --config FILE  settings file (default: $QEL2_CONFIG), e.g. caldb.berkeleydb.mempoolsizemb = 64\n"
    "  --log FILE     append the library's log lines to FILE instead of standard error\n"
    "  --help         this text\n"
    "\nWithout STORE a command reads a fresh copy of the bundled sample store.\n"
    "Stores are only read; only \"recover\" runs a recovery open.\n";

void PrintOverview(FILE* out) {
    std::fprintf(out, "usage: qel2caldb COMMAND [STORE] ... [--config FILE] [--log FILE]\n"
                      "       qel2caldb COMMAND --help | --version\n\nCommands:\n");
    for (const Command* command : kCommands) std::fprintf(out, "  %-10s %s\n", command->name, command->summary);
    std::fprintf(out, "%s", kCommonHelp);
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: qel2caldb %s\n\n%s\n%s", command.usage, command.summary, command.details);
    std::printf("%s", kCommonHelp);
}

// Settings and the log file apply before the command touches the store.
void ApplyCommonOptions(const CommonOptions& common) {
    std::string config = common.config.value_or(std::getenv("QEL2_CONFIG") ? std::getenv("QEL2_CONFIG") : "");
    if (!config.empty()) {
        if (int error = config_load_file(config_getdefaultcache(), config.c_str()))
            throw CliError("cannot read the settings file " + config + ": " + std::strerror(error));
    }
    if (common.log) {
        if (int error = hxlog_set_file(common.log->c_str()))
            throw CliError("cannot open the log file " + *common.log + ": " + std::strerror(error));
    }
}

int Run(std::vector<std::string> args) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        PrintOverview(args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : 0;
    }
    if (args[0] == "--version") {
        std::printf("qel2caldb %s\n", QEL2_VERSION);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command* candidate : kCommands)
        if (args[0] == candidate->name) command = candidate;
    if (command == nullptr) throw UsageError("unknown command \"" + args[0] + "\"");
    args.erase(args.begin());

    CommonOptions common;
    Arguments arguments;
    try {
        arguments = ParseArguments(*command, args, common);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "qel2caldb: %s\nusage: qel2caldb %s\n", error.what(), command->usage);
        return kExitUsage;
    }
    if (common.help) {
        PrintCommandHelp(*command);
        return 0;
    }
    ApplyCommonOptions(common);
    return command->run(arguments);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const CliError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "qel2caldb: %s\n", error.what());
        if (error.status() == kExitUsage) std::fprintf(stderr, "Run \"qel2caldb --help\" for the commands.\n");
        return error.status();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "qel2caldb: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qel2caldb: %s\n", error.what());
        return kExitFailure;
    }
}
