#include "cli_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qel2::test::cli {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CliRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& output) {
    qel2::test::TempDir capture;
    std::string command = Quoted(program);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " 2>" + Quoted((capture.path() / "err").string()) + " " +
               (output.empty() ? ">" + Quoted((capture.path() / "out").string()) : output);
    int status = std::system(("bash -o pipefail -c " + Quoted(command)).c_str());
    CliRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(capture.path() / "out");
    run.err = ReadFile(capture.path() / "err");
    return run;
}

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& output) {
    return RunProgram(QEL2CALDB_PATH, arguments, output);
}

std::filesystem::path UnpackLegacyStore(const qel2::test::TempDir& dir) {
    std::string archive = (qel2::test::test_data_dir() / "legacy42-store.tar.gz").string();
    CliRun untar = RunProgram("tar", {"-xzf", archive, "-C", dir.str()});
    if (untar.status != 0) throw std::runtime_error("cannot unpack " + archive + ": " + untar.err);
    return dir.path() / "legacy42-store";
}

}  // namespace qel2::test::cli
