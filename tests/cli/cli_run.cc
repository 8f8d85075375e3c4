#include "cli_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace qel2::test::cli {

using nlohmann::json;

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void DecodeBytes(json& value) {
    if (value.is_structured())
        for (json& element : value) DecodeBytes(element);
    if (!value.is_string()) return;
    std::string& text = value.get_ref<std::string&>();
    for (size_t at = text.find("\\x"); at != std::string::npos; at = text.find("\\x", at + 1))
        text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
}

// One text or a list of texts, as a list.
json Texts(const json& value) { return value.is_array() ? value : json::array({value}); }

}  // namespace

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

CliRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& output) {
    TempDir capture;
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

std::filesystem::path UnpackLegacyStore(const TempDir& dir) {
    const std::string archive = test_data_dir() / "legacy42-store.tar.gz";
    CliRun untar = RunProgram("tar", {"-xzf", archive, "-C", dir.str()});
    if (untar.status != 0) throw std::runtime_error("cannot unpack " + archive + ": " + untar.err);
    return dir.path() / "legacy42-store";
}

CliStores::CliStores() : legacy(UnpackLegacyStore(dir)) {
    mkstore::GenerateStore(
        {.calendars = 3, .eventsPerCalendar = 40, .todosPerCalendar = 6, .seed = 5}, generated);
    CliRun recover = RunCli({"recover", legacy});
    if (recover.status != 0) throw std::runtime_error("recover failed: " + recover.err);
}

const CliStores& Stores() {
    static const CliStores stores;
    return stores;
}

json StoreDescription(const std::string& name) {
    json description = json::parse(test_data_text("cli/" + name));
    DecodeBytes(description);
    return description;
}

void RunCases(const std::string& group, const TempDir& dir, Places places) {
    places.insert(
        places.end(),
        {{"$LEGACY", Stores().legacy}, {"$GENERATED", Stores().generated}, {"$DIR", dir.str()}});
    auto placed = [&](std::string text) {
        for (const auto& [name, path] : places)
            for (size_t at; (at = text.find(name)) != std::string::npos;)
                text.replace(at, name.size(), path);
        return text;
    };
    const json cases = json::parse(test_data_text("cli/cases.json"));
    for (const json& c : cases[group]) {
        std::vector<std::string> arguments;
        for (const json& argument : c["args"]) arguments.push_back(placed(argument));
        if (c.contains("settings")) dir.write("settings.conf", c["settings"]);
        CliRun run = RunCli(arguments, c.value("output", ""));
        const std::string call = c["args"].dump() + ": ";
        EXPECT_EQ(run.status, c.value("status", 0)) << call << run.err;
        const std::string out = c.contains("file") ? ReadFile(placed(c["file"])) : run.out;
        for (const json& text : Texts(c.value("out", json::array())))
            EXPECT_NE(out.find(placed(text)), std::string::npos) << call << text << " not in\n"
                                                                 << out;
        for (const json& text : Texts(c.value("absent", json::array())))
            EXPECT_EQ(out.find(placed(text)), std::string::npos) << call << text << " in\n" << out;
        EXPECT_TRUE(!c.value("quiet", false) || run.err.empty()) << call << run.err;
        if (!c.contains("err")) continue;
        EXPECT_EQ(run.err.rfind("qel2caldb: ", 0), 0u) << call << run.err;
        for (const json& text : Texts(c["err"]))
            EXPECT_NE(run.err.substr(0, run.err.find('\n')).find(text), std::string::npos)
                << call << run.err;
        EXPECT_TRUE(run.status != 1 || run.err.find('\n') == run.err.size() - 1)
            << call << "more than one line: " << run.err;
    }
}

}  // namespace qel2::test::cli
