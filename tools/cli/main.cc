// qel2caldb: reads, checks and exports a calendar store of the previous
// generation without a calendar server.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <qel2/standin_host.h>

#include "cli_error.h"
#include "command_line.h"
#include "commands.h"
#include "help_text.h"
#include "settings_check.h"
#include "standard_output.h"
#include "watched_command.h"

namespace {

using namespace qel2::cli;

const Command* const kCommands[] = {
    &kRecoverCommand, &kInfoCommand, &kCalendarsCommand, &kEventsCommand, &kToDosCommand,
    &kShowCommand,    &kDumpCommand, &kVerifyCommand,    &kExportCommand, &kPushCommand};

// Settings and the log file apply before the command touches the store.
void ApplyCommonOptions(const CommonOptions& common) {
    std::string config =
        common.config.value_or(std::getenv("QEL2_CONFIG") ? std::getenv("QEL2_CONFIG") : "");
    if (!config.empty()) {
        if (int error = config_load_file(config_getdefaultcache(), config.c_str()))
            throw CliError("cannot read the settings file " + config + ": " + std::strerror(error) +
                           (error == EFBIG ? " (settings files are at most 1 MB)" : ""));
        CheckNumericSettings(config);
    }
    if (common.log) {
        if (int error = hxlog_set_file(common.log->c_str()))
            throw CliError("cannot open the log file " + *common.log + ": " + std::strerror(error));
    }
}

int Run(std::vector<std::string> args) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        PrintOverview(args.empty() ? stderr : stdout, kCommands);
        return args.empty() ? kExitUsage : 0;
    }
    if (args[0] == "--help-man") {
        PrintManPage(kCommands);
        return 0;
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
    // The store work runs in a watched child (see watched_command.h), which
    // checks its own writes before it ends.
    return RunWatched([&] {
        int status = command->run(arguments);
        FinishOutput();
        return status;
    });
}

// Every run ends here, so no write goes unchecked.
int RunChecked(std::vector<std::string> args) {
    int status = Run(std::move(args));
    FinishOutput();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe shows as EPIPE on the next write, which CheckOutput
    // turns into a quiet end.
    std::signal(SIGPIPE, SIG_IGN);
    return ExitStatusOf(
        [&] { return RunChecked(std::vector<std::string>(argv + 1, argv + argc)); });
}
