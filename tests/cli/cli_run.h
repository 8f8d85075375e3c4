// Runs the built qel2caldb command (and other programs) and collects what it
// printed; the stores and store descriptions the command is tried on.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "store_generator.h"
#include "support/temp_dir.h"

namespace qel2::test::cli {

struct CliRun {
    int status = -1;  // exit status, -1 when the command did not exit
    std::string out, err;
};

// `arguments` are passed as they are, each quoted for the shell. `output`,
// when given, replaces the capture of standard output with a redirection or
// a pipe (">/dev/full", "| head -c1"); the status is then the command's
// own (pipefail).
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& output = "");
CliRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& output = "");

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

// A fresh copy of the genuine Berkeley DB 4.2 store of tests/data, not yet
// recovered, inside `dir`; returns its path.
std::filesystem::path UnpackLegacyStore(const qel2::test::TempDir& dir);

// Made once for the whole suite: a store of qel2-mkstore's generator (links,
// tombstones, recurring events) and the genuine store, recovered.
struct CliStores {
    CliStores();
    qel2::test::TempDir dir;
    std::filesystem::path generated = dir.path() / "generated", legacy;
};
const CliStores& Stores();

// The store description tests/data/cli/NAME. JSON text is UTF-8 only, so
// "\xNN" in a text stands for the byte NN (texts in other charsets, damage).
nlohmann::json StoreDescription(const std::string& name);

// Writes the store of every case export has to repair, change or leave out
// (tests/data/cli/edge-store.json) into `directory`; returns its
// description, which also holds what the export must report and write.
nlohmann::json WriteEdgeStore(const std::filesystem::path& directory);

// Runs each call of one group of tests/data/cli/cases.json (whose head
// tells what a call may check) with `dir` as $DIR and `places` given too.
using Places = std::vector<std::pair<std::string, std::string>>;
void RunCases(const std::string& group, const qel2::test::TempDir& dir, Places places = {});

}  // namespace qel2::test::cli
