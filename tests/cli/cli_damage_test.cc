// The damage campaign: every command on stores with one kind of page-level
// damage each, each run on a fresh copy under a time limit. A command ends
// with the undamaged store's result or with a non-zero status and a message
// naming the damaged file; never by a signal or a time-out, never with a
// different result and status 0. verify fails whenever any command's result
// differs from the undamaged store's.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "cli_run.h"

namespace qel2::test::cli {
namespace {

namespace fs = std::filesystem;

// Applies one change to a database file, reading its pages as Berkeley DB
// lays them out.
void Apply(const std::string& change, const fs::path& file) {
    std::istringstream words(change);
    std::string op, place, value;
    words >> op >> place >> value;
    if (op == "size") {
        const intmax_t size = std::stoll(place);
        fs::resize_file(file, size < 0 ? fs::file_size(file) + size : size);
        return;
    }
    if (op == "directory" || op == "fifo" || op == "symlink") {
        fs::remove(file);
        if (op == "directory") fs::create_directory(file);
        if (op == "fifo") mkfifo(file.c_str(), 0644);
        if (op == "symlink") fs::create_symlink("gone.db", file);
        return;
    }
    std::string bytes = ReadFile(file);
    auto get = [&](size_t at, size_t size) {
        uint32_t number = 0;
        std::memcpy(&number, &bytes[at], size);
        return number;
    };
    const uint32_t pageSize = get(20, 4), root = get(88, 4);
    auto page = [&](uint32_t number) { return size_t{number} * pageSize; };
    auto item = [&](uint32_t number, int index) {
        return page(number) + get(page(number) + 26 + 2 * index, 2);
    };
    uint32_t leaf = root;
    while (get(page(leaf) + 24, 1) > 1) leaf = get(item(leaf, 0) + 4, 4);  // down the first child
    const std::map<std::string, uint32_t> pages = {
        {"meta", 0}, {"root", root}, {"leaf", leaf}, {"leaf2", get(page(leaf) + 16, 4)}};
    if (op == "flips") {
        std::mt19937 random(std::stoul(place));
        for (int i = 0; i < 16; ++i) {
            size_t at = pageSize + random() % (bytes.size() - pageSize);
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        }
    } else {
        const size_t plus = place.find('+');
        const std::string name = place.substr(0, plus);
        const uint32_t p = name == "item" ? root : pages.at(name);
        const size_t at =
            (name == "item" ? item(root, 1) : page(p)) + std::stoul(place.substr(plus + 1));
        const uint32_t number =
            pages.contains(value) ? pages.at(value) : std::stoul(value, nullptr, 0);
        const int entries = static_cast<int>(get(page(p) + 20, 2));
        auto set = [&](size_t where, size_t size) { std::memcpy(&bytes[where], &number, size); };
        if (op == "byte") set(at, 1);
        if (op == "half") set(at, 2);
        if (op == "word") set(at, 4);
        if (op == "page") std::memset(&bytes[page(p)], static_cast<int>(number), pageSize);
        for (int i = 0; i < entries && op == "offsets"; ++i) set(page(p) + 26 + 2 * i, 2);
        for (int i = 0; i < entries && op == "lengths"; ++i) set(item(p, i), 2);
        const size_t area = page(p) + 26 + 2 * entries;
        if (op == "area") std::memset(&bytes[area], static_cast<int>(number), page(p + 1) - area);
    }
    std::ofstream(file, std::ios::binary | std::ios::in) << bytes;
}

// Each command, STORE and OUT standing for the store and an export folder.
const std::string kCommands[] = {"info STORE",
                                 "calendars STORE",
                                 "events STORE user1",
                                 "todos STORE user2",
                                 "show STORE user0 user0-evt-0",
                                 "dump STORE",
                                 "export STORE OUT",
                                 "verify STORE",
                                 "recover STORE"};

// What a command gave: its status and its output, the exported files too.
CliRun RunOn(const std::string& command, const fs::path& store, const fs::path& out) {
    fs::remove_all(out);
    // An outer limit that catches a failed watchdog of the command's own.
    std::vector<std::string> arguments = {"-s", "KILL", "60", QEL2CALDB_PATH};
    std::istringstream words(command);
    for (std::string word; words >> word;)
        arguments.push_back(word == "STORE" ? store.string() : word == "OUT" ? out.string() : word);
    CliRun run = RunProgram("timeout", arguments);
    std::error_code none;
    if (!fs::is_directory(out, none)) return run;
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(out))
        files[entry.path().filename()] = ReadFile(entry.path());
    for (const auto& [name, text] : files) run.out += "\n== " + name + "\n" + text;
    return run;
}

TEST(CliDamage, NoSignalNoStallNoSilentLoss) {
    TempDir dir;
    setenv("QEL2_TIME_LIMIT", "10", 1);  // seconds the command's own watchdog allows
    const fs::path pristine = dir.path() / "pristine", store = dir.path() / "store",
                   out = dir.path() / "export";
    mkstore::GenerateStore(
        {.calendars = 3, .eventsPerCalendar = 40, .todosPerCalendar = 20, .seed = 1}, pristine);
    // Region files are no part of what the commands read.
    for (const char* region : {"__db.001", "__db.002", "__db.003"}) fs::remove(pristine / region);
    auto fresh = [&] {
        fs::remove_all(store);
        fs::copy(pristine, store);
    };

    std::map<std::string, CliRun> undamaged;
    for (const std::string& command : kCommands) {
        fresh();
        CliRun& run = undamaged[command] = RunOn(command, store, out);
        ASSERT_EQ(run.status, 0) << command << ": " << run.err;
    }

    std::string table = "| damage | file |";
    for (const std::string& command : kCommands)
        table += " " + command.substr(0, command.find(' ')) + " |";
    table += "\n|---|---|" + std::string(std::size(kCommands) * 4, '-') + "\n";
    // tests/data/cli/damages.txt, whose head explains it: NAME | FILE | CHANGE.
    std::istringstream damages(test_data_text("cli/damages.txt"));
    for (std::string line; std::getline(damages, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t bar = line.find(" | "), second = line.find(" | ", bar + 3);
        const std::string damage = line.substr(0, bar),
                          file = line.substr(bar + 3, second - bar - 3);
        std::map<std::string, std::string> outcome;
        bool contentDiffers = false;
        for (const std::string& command : kCommands) {
            fresh();
            Apply(line.substr(second + 3), store / file);
            CliRun result = RunOn(command, store, out);
            const CliRun& good = undamaged[command];
            const std::string what = damage + " in " + file + ", " + command;
            // verify names damaged records on standard output.
            bool named = (result.err + result.out).find(file) != std::string::npos;
            if (result.status == -1 || result.status == 137 /* killed by timeout */ ||
                result.err.find("did not finish") != std::string::npos) {
                outcome[command] = "FAULT";
                ADD_FAILURE() << what << ": a signal or a stall: " << result.err;
            } else if (result.status == good.status && result.out == good.out) {
                outcome[command] = "same";
            } else if (result.status != 0 && named) {
                // A fault inside Berkeley DB, caught in a child process.
                outcome[command] =
                    result.err.find("was killed by") != std::string::npos ? "caught" : "refused";
                contentDiffers = contentDiffers || command != "verify STORE";
            } else {
                outcome[command] = "WRONG";
                ADD_FAILURE() << what << ": status " << result.status
                              << ", a different result or no file named: " << result.err;
            }
        }
        EXPECT_TRUE(!contentDiffers || outcome["verify STORE"] != "same")
            << damage << ": verify passed a damaged store";
        table += "| " + damage + " | " + file + " |";
        for (const std::string& command : kCommands) table += " " + outcome[command] + " |";
        table += "\n";
    }
    std::printf("%s", table.c_str());
}

}  // namespace
}  // namespace qel2::test::cli
