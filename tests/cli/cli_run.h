// Runs the built qel2caldb command and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qel2::test::cli {

struct CliRun {
    int status = -1;  // exit status, -1 when the command did not exit
    std::string out;
    std::string err;
};

// `arguments` are passed as they are, each quoted for the shell. `output`,
// when given, replaces the capture of standard output with a redirection or
// a pipe (">/dev/full", "| head -c1"); the status is then the command's
// own (pipefail).
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& output = "");
// Any program, for the second iCalendar parser.
CliRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& output = "");

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

// A fresh copy of the genuine Berkeley DB 4.2 store of tests/data, not yet
// recovered, inside `dir`; returns its path.
std::filesystem::path UnpackLegacyStore(const qel2::test::TempDir& dir);

}  // namespace qel2::test::cli
