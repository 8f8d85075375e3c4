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
#include <functional>
#include <map>
#include <random>

#include "cli_run.h"
#include "store_generator.h"

namespace {

namespace fs = std::filesystem;
using qel2::test::cli::CliRun;
using qel2::test::cli::ReadFile;
using qel2::test::cli::RunProgram;

// Seconds the command's own watchdog allows, and the outer limit that
// catches a watchdog that failed.
constexpr const char* kTimeLimit = "10";
constexpr const char* kOuterLimit = "60";
constexpr int kKilledByTimeout = 137;

// A database file's bytes with Berkeley DB's page layout: the meta page's
// root at byte 88, each page's header (prev 12, next 16, entry count 20,
// free-area offset 22, level 24, type 25) and its item offsets from byte 26.
class DbFile {
public:
    explicit DbFile(fs::path path) : path_(std::move(path)), bytes_(ReadFile(path_)) {}
    ~DbFile() {
        std::FILE* out = std::fopen(path_.c_str(), "r+b");
        std::fwrite(bytes_.data(), 1, bytes_.size(), out);
        std::fclose(out);
    }

    uint32_t pageSize() const { return Word(20); }
    size_t Page(uint32_t page) const { return size_t{page} * pageSize(); }
    uint32_t Word(size_t at) const {
        uint32_t w;
        std::memcpy(&w, &bytes_[at], 4);
        return w;
    }
    uint16_t Half(size_t at) const {
        uint16_t h;
        std::memcpy(&h, &bytes_[at], 2);
        return h;
    }
    void SetWord(size_t at, uint32_t w) { std::memcpy(&bytes_[at], &w, 4); }
    void SetHalf(size_t at, uint16_t h) { std::memcpy(&bytes_[at], &h, 2); }
    uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }
    void Fill(size_t at, size_t count, char c) { std::memset(&bytes_[at], c, count); }

    uint32_t Root() const { return Word(88); }
    uint16_t Entries(uint32_t page) const { return Half(Page(page) + 20); }
    size_t Item(uint32_t page, int index) const {
        return Page(page) + Half(Page(page) + 26 + 2 * index);
    }
    // The child an internal page's item points to (4 bytes into the item).
    size_t ChildField(uint32_t page, int index) const { return Item(page, index) + 4; }
    uint32_t FirstLeaf() const {
        uint32_t page = Root();
        while (bytes_[Page(page) + 24] > 1) page = Word(ChildField(page, 0));
        return page;
    }
    uint32_t SecondLeaf() const { return Word(Page(FirstLeaf()) + 16); }
    size_t ItemArea(uint32_t page) const { return Page(page) + 26 + 2 * Entries(page); }

private:
    fs::path path_;
    std::string bytes_;
};

struct Damage {
    std::string name;
    std::string file;
    std::function<void(const fs::path& file)> apply;
};

std::vector<Damage> Damages() {
    auto edit = [](std::function<void(DbFile&)> change) {
        return [change](const fs::path& file) {
            DbFile db(file);
            change(db);
        };
    };
    auto cut = [](std::function<uintmax_t(uintmax_t size, uintmax_t page)> size) {
        return [size](const fs::path& file) {
            fs::resize_file(file, size(fs::file_size(file), 4096));
        };
    };
    std::vector<Damage> damages = {
        {"meta: magic", "events.db", edit([](DbFile& d) { d.SetWord(12, 0xdeadbeef); })},
        {"meta: version", "events.db", edit([](DbFile& d) { d.SetWord(16, 99); })},
        {"meta: last page past the file", "events.db",
         edit([](DbFile& d) { d.SetWord(32, 0x7fffffff); })},
        {"meta: last page 1", "events.db", edit([](DbFile& d) { d.SetWord(32, 1); })},
        {"meta: root past the file", "events.db", edit([](DbFile& d) { d.SetWord(88, 5000); })},
        {"meta: root 0", "events.db", edit([](DbFile& d) { d.SetWord(88, 0); })},
        {"meta: free list past the file", "events.db",
         edit([](DbFile& d) { d.SetWord(28, 9999); })},
        {"leaf: page type", "events.db",
         edit([](DbFile& d) { d.Fill(d.Page(d.FirstLeaf()) + 25, 1, 0x7f); })},
        {"leaf: entry count 0xffff", "events.db",
         edit([](DbFile& d) { d.SetHalf(d.Page(d.FirstLeaf()) + 20, 0xffff); })},
        {"leaf: entry count 0", "events.db",
         edit([](DbFile& d) { d.SetHalf(d.Page(d.FirstLeaf()) + 20, 0); })},
        {"leaf: free-area offset 0", "events.db",
         edit([](DbFile& d) { d.SetHalf(d.Page(d.FirstLeaf()) + 22, 0); })},
        {"leaf: item offsets 0xffff", "events.db", edit([](DbFile& d) {
             for (int i = 0; i < d.Entries(d.FirstLeaf()); ++i)
                 d.SetHalf(d.Page(d.FirstLeaf()) + 26 + 2 * i, 0xffff);
         })},
        {"leaf: item area 0x7f", "events.db", edit([](DbFile& d) {
             uint32_t p = d.FirstLeaf();
             d.Fill(d.ItemArea(p), d.Page(p + 1) - d.ItemArea(p), 0x7f);
         })},
        {"leaf: item lengths 0xffff", "events.db", edit([](DbFile& d) {
             for (int i = 0; i < d.Entries(d.FirstLeaf()); ++i)
                 d.SetHalf(d.Item(d.FirstLeaf(), i), 0xffff);
         })},
        {"leaf: next is itself", "events.db",
         edit([](DbFile& d) { d.SetWord(d.Page(d.FirstLeaf()) + 16, d.FirstLeaf()); })},
        {"leaf: next is 0", "events.db",
         edit([](DbFile& d) { d.SetWord(d.Page(d.FirstLeaf()) + 16, 0); })},
        {"leaf: prev is itself", "events.db",
         edit([](DbFile& d) { d.SetWord(d.Page(d.SecondLeaf()) + 12, d.SecondLeaf()); })},
        {"leaves: next in a cycle of two", "events.db",
         edit([](DbFile& d) { d.SetWord(d.Page(d.SecondLeaf()) + 16, d.FirstLeaf()); })},
        {"leaf: zeroed", "events.db",
         edit([](DbFile& d) { d.Fill(d.Page(d.SecondLeaf()), d.pageSize(), 0); })},
        {"root: child is the root", "events.db",
         edit([](DbFile& d) { d.SetWord(d.ChildField(d.Root(), 1), d.Root()); })},
        {"root: child is the meta page", "events.db",
         edit([](DbFile& d) { d.SetWord(d.ChildField(d.Root(), 1), 0); })},
        {"root: child past the file", "events.db",
         edit([](DbFile& d) { d.SetWord(d.ChildField(d.Root(), 1), 7777); })},
        {"root: item length 0xffff", "events.db",
         edit([](DbFile& d) { d.SetHalf(d.Item(d.Root(), 1), 0xffff); })},
        {"root: level 0", "events.db",
         edit([](DbFile& d) { d.Fill(d.Page(d.Root()) + 24, 1, 0); })},
        {"todos leaf: item area 0x7f", "todos.db", edit([](DbFile& d) {
             uint32_t p = d.FirstLeaf();
             d.Fill(d.ItemArea(p), d.Page(p + 1) - d.ItemArea(p), 0x7f);
         })},
        {"todos leaf: next is itself", "todos.db",
         edit([](DbFile& d) { d.SetWord(d.Page(d.FirstLeaf()) + 16, d.FirstLeaf()); })},
        {"calprops: root page type", "calprops.db",
         edit([](DbFile& d) { d.Fill(d.Page(d.Root()) + 25, 1, 0x7f); })},
        {"cut inside a page", "events.db",
         cut([](uintmax_t size, uintmax_t) { return size - 100; })},
        {"cut between pages", "events.db",
         cut([](uintmax_t size, uintmax_t page) { return size - 3 * page; })},
        {"cut to the meta page", "events.db", cut([](uintmax_t, uintmax_t page) { return page; })},
        {"cut inside the meta page", "todos.db", cut([](uintmax_t, uintmax_t) { return 300; })},
        {"zero-length", "events.db", cut([](uintmax_t, uintmax_t) { return 0; })},
        {"a directory", "todos.db",
         [](const fs::path& f) {
             fs::remove(f);
             fs::create_directory(f);
         }},
        {"a FIFO", "todos.db",
         [](const fs::path& f) {
             fs::remove(f);
             mkfifo(f.c_str(), 0644);
         }},
        {"a dangling symbolic link", "events.db",
         [](const fs::path& f) {
             fs::remove(f);
             fs::create_symlink("gone.db", f);
         }},
    };
    for (const char* file : {"events.db", "todos.db", "calprops.db", "alarms.db"}) {
        damages.push_back({"meta: page size 0", file, edit([](DbFile& d) { d.SetWord(20, 0); })});
        damages.push_back(
            {"meta: page size 3000", file, edit([](DbFile& d) { d.SetWord(20, 3000); })});
        damages.push_back(
            {"meta: page size 1 MB", file, edit([](DbFile& d) { d.SetWord(20, 1u << 20); })});
    }
    for (unsigned seed = 1; seed <= 8; ++seed)
        damages.push_back({"random bit flips, seed " + std::to_string(seed), "events.db",
                           [seed](const fs::path& f) {
                               DbFile d(f);
                               std::mt19937 random(seed);
                               size_t size = fs::file_size(f);
                               for (int i = 0; i < 16; ++i) {
                                   size_t at = d.pageSize() + random() % (size - d.pageSize());
                                   uint8_t bit = static_cast<uint8_t>(1u << (random() % 8));
                                   d.Fill(at, 1, static_cast<char>(d.Byte(at) ^ bit));
                               }
                           }});
    return damages;
}

struct Command {
    std::string name;
    std::vector<std::string> (*arguments)(const std::string& store, const std::string& out);
};

const Command kCommands[] = {
    {"info",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"info", s};
     }},
    {"calendars",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"calendars", s};
     }},
    {"events",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"events", s, "user1"};
     }},
    {"todos",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"todos", s, "user2"};
     }},
    {"show",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"show", s, "user0", "user0-evt-0"};
     }},
    {"dump",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"dump", s};
     }},
    {"export",
     [](const std::string& s, const std::string& o) {
         return std::vector<std::string>{"export", s, o};
     }},
    {"verify",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"verify", s};
     }},
    {"recover",
     [](const std::string& s, const std::string&) {
         return std::vector<std::string>{"recover", s};
     }},
};

// What a command gave: its status and its output, the exported files too.
struct Result {
    int status = 0;
    std::string out;
    std::string err;
};

Result RunOn(const Command& command, const fs::path& store, const fs::path& exportDir) {
    fs::remove_all(exportDir);
    std::vector<std::string> arguments = {"-s", "KILL", kOuterLimit, QEL2CALDB_PATH};
    for (std::string& argument : command.arguments(store.string(), exportDir.string()))
        arguments.push_back(argument);
    CliRun run = RunProgram("timeout", arguments);
    Result result{run.status, run.out, run.err};
    std::error_code none;
    if (fs::is_directory(exportDir, none)) {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(exportDir))
            files[entry.path().filename()] = ReadFile(entry.path());
        for (const auto& [name, text] : files) result.out += "\n== " + name + "\n" + text;
    }
    return result;
}

void FreshCopy(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to);
}

TEST(CliDamage, NoSignalNoStallNoSilentLoss) {
    qel2::test::TempDir dir;
    setenv("QEL2_TIME_LIMIT", kTimeLimit, 1);
    fs::path pristine = dir.path() / "pristine";
    qel2::mkstore::GenerateOptions options;
    options.calendars = 3;
    options.eventsPerCalendar = 40;
    options.todosPerCalendar = 20;
    options.seed = 1;
    qel2::mkstore::GenerateStore(options, pristine.string());
    // Region files are no part of what the commands read.
    for (const char* region : {"__db.001", "__db.002", "__db.003"}) fs::remove(pristine / region);

    fs::path store = dir.path() / "store";
    fs::path exportDir = dir.path() / "export";
    std::map<std::string, Result> undamaged;
    for (const Command& command : kCommands) {
        FreshCopy(pristine, store);
        undamaged[command.name] = RunOn(command, store, exportDir);
        ASSERT_EQ(undamaged[command.name].status, 0)
            << command.name << ": " << undamaged[command.name].err;
    }

    std::string table = "| damage | file |";
    for (const Command& command : kCommands) table += " " + command.name + " |";
    table += "\n|---|---|" + std::string(std::size(kCommands) * 4, '-') + "\n";
    for (const Damage& damage : Damages()) {
        std::map<std::string, std::string> outcome;
        bool contentDiffers = false;
        for (const Command& command : kCommands) {
            FreshCopy(pristine, store);
            damage.apply(store / damage.file);
            Result result = RunOn(command, store, exportDir);
            const Result& good = undamaged[command.name];
            std::string what = damage.name + " in " + damage.file + ", " + command.name;
            // verify names damaged records on standard output.
            bool named = (result.err + result.out).find(damage.file) != std::string::npos;
            if (result.status == -1 || result.status == kKilledByTimeout ||
                result.err.find("did not finish") != std::string::npos) {
                outcome[command.name] = "FAULT";
                ADD_FAILURE() << what << ": a signal or a stall: " << result.err;
            } else if (result.status == good.status && result.out == good.out) {
                outcome[command.name] = "same";
            } else if (result.status != 0 && named) {
                // A fault inside Berkeley DB, caught in a child process.
                outcome[command.name] =
                    result.err.find("was killed by") != std::string::npos ? "caught" : "refused";
                if (command.name != "verify") contentDiffers = true;
            } else {
                outcome[command.name] = "WRONG";
                ADD_FAILURE() << what << ": status " << result.status
                              << ", a different result or no file named: " << result.err;
            }
        }
        if (contentDiffers) {
            EXPECT_NE(outcome["verify"], "same")
                << damage.name << ": verify passed a damaged store";
        }
        table += "| " + damage.name + " | " + damage.file + " |";
        for (const Command& command : kCommands) table += " " + outcome[command.name] + " |";
        table += "\n";
    }
    std::printf("%s", table.c_str());
}

}  // namespace
