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

void DecodeBytes(nlohmann::json& value) {
    if (value.is_structured())
        for (nlohmann::json& element : value) DecodeBytes(element);
    if (!value.is_string()) return;
    std::string& text = value.get_ref<std::string&>();
    for (size_t at = text.find("\\x"); at != std::string::npos; at = text.find("\\x", at + 1))
        text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
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
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(capture.path() / "out"),
            ReadFile(capture.path() / "err")};
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

const CliStores& Stores() {
    static CliStores stores;
    static const bool ready = [] {
        CliStores* made = &stores;  // the lambda may not capture a static
        made->generated = made->dir.path() / "generated";
        made->generatedCounts = qel2::mkstore::GenerateStore(
            {.calendars = 3, .eventsPerCalendar = 40, .todosPerCalendar = 6, .seed = 5},
            made->generated.string());
        made->legacy = UnpackLegacyStore(made->dir);
        CliRun recover = RunCli({"recover", made->legacy.string()});
        if (recover.status != 0) throw std::runtime_error("recover failed: " + recover.err);
        return true;
    }();
    (void)ready;
    return stores;
}

nlohmann::json StoreDescription(const std::string& name) {
    nlohmann::json description = nlohmann::json::parse(test_data_text("cli/" + name));
    DecodeBytes(description);
    return description;
}

}  // namespace qel2::test::cli
