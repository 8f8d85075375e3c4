// The store folder is evidence: reading commands leave every file in it as
// it was, and recover leaves it alone when recovery would lose records.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <unistd.h>

#include <fstream>
#include <map>

#include "cli_run.h"

namespace qel2::test::cli {
namespace {

namespace fs = std::filesystem;

// Each file of the folder: its bytes and its modification time.
std::map<std::string, std::pair<std::string, int64_t>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::pair<std::string, int64_t>> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        struct stat info;
        stat(entry.path().c_str(), &info);
        files[entry.path().filename()] = {
            ReadFile(entry.path()),
            int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
    }
    return files;
}

constexpr mkstore::GenerateOptions kStore{
    .calendars = 2, .eventsPerCalendar = 20, .todosPerCalendar = 5};

TEST(CliStoreUntouched, ReadingCommandsLeaveEveryFileAsItWas) {
    TempDir dir;
    // The generator's own region files stay in the folder, and a DB_CONFIG
    // that would send reads elsewhere and ask for a 1 GB cache.
    const std::string s = dir.str() + "/store";
    mkstore::GenerateStore(kStore, s);
    dir.write("store/DB_CONFIG", "set_data_dir elsewhere\nset_cachesize 1 0 1\n");
    const auto before = Snapshot(s);
    RunCases("untouched", dir);  // every reading command, each warning that DB_CONFIG is ignored
    EXPECT_TRUE(Snapshot(s) == before) << "a reading command changed, added or removed a file";

    // A read that outlives its time is stopped and named.
    CliRun stopped = RunProgram("env", {"QEL2_TIME_LIMIT=0.001", QEL2CALDB_PATH, "info", s});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find("did not finish within"), std::string::npos) << stopped.err;
}

TEST(CliStoreUntouched, RecoverStopsWhenACutLogWouldLoseRecords) {
    TempDir dir;
    const fs::path store = dir.path() / "store";
    mkstore::GenerateStore(kStore, store);
    for (const char* region : {"__db.001", "__db.002", "__db.003"}) fs::remove(store / region);
    // The log's last records cut off: their commits are gone.
    const fs::path log = store / "log.0000000001";
    fs::resize_file(log, ReadFile(log).find_last_not_of('\0') + 1 - 2550);
    const auto before = Snapshot(store);
    {
        // This process reading a file of the store: other readers go on,
        // recovery waits.
        std::ifstream held(store / "todos.db");
        EXPECT_EQ(RunCli({"calendars", store}).status, 0);
        CliRun refused = RunCli({"recover", store});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find(" is open in process " + std::to_string(getpid())),
                  std::string::npos)
            << refused.err;
    }
    CliRun recover = RunCli({"recover", store});
    EXPECT_EQ(recover.status, 1);
    EXPECT_NE(recover.err.find("recovery would lose records (events.db 40 -> "), std::string::npos)
        << recover.err;
    EXPECT_TRUE(Snapshot(store) == before) << "recover changed the store";
    // The files are still read as they are.
    CliRun info = RunCli({"info", store});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("40 records"), std::string::npos) << info.out;
}

}  // namespace
}  // namespace qel2::test::cli
