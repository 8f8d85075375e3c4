// Stores on disk gone wrong: pages overwritten, files cut short, a
// read-only file system. Every read returns a result code, a walk skips
// what it cannot read, the damage shows, nothing crashes or leaks (the
// sanitizer build checks that), and the store still closes.

#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include <sched.h>
#include <sys/mount.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <qel2/qel2.h>

#include "fault_fixture.h"
#include "support/record_digest.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

constexpr size_t kPage = 4096;
constexpr int kRunRecovery = -30978;  // Berkeley DB 4.2's DB_RUNRECOVERY, as the host knows it

// What came back from reading every calendar by id, listing its records
// (tombstones too) and reading each generated record by its key: records
// per database file, and every result code.
struct Tally {
    std::map<std::string, uint32_t> found;
    std::set<int> results;
};

template <typename List, auto Window, auto ReadOne>
void SweepRecords(Tally& tally, const char* file, qEL2_CALPROPS* calendar,
                  const std::string& prefix, uint32_t generated) {
    array_t* list = nullptr;
    tally.results.insert(Window(calendar, 0, 0, qEL2_READ_TOMBSTONES, &list));
    const List owned(list);
    tally.found[file] += list != nullptr ? list->count : 0;
    for (uint32_t r = 0; r < generated; ++r) {
        uint64_t digest = 0;
        const int result = ReadOne(calendar, (prefix + std::to_string(r)).c_str(), 0, digest);
        tally.results.insert(result);
        tally.found[file] += result == 0;
    }
}

Tally SweepStore() {
    Tally tally;
    for (std::string id : {"user0", "user1", "user2"}) {
        qEL2_CALPROPS* calendar = nullptr;
        tally.results.insert(qel2_pvt_ReadCalProps(id.data(), &calendar));
        const qel2::CalPropsPtr owned(calendar);
        tally.found["calprops.db"] += calendar != nullptr;
        if (calendar == nullptr) continue;
        SweepRecords<qel2::EventListPtr, qel2_pvt_ReadEventListByRange, ReadOneEvent>(
            tally, "events.db", calendar, id + "-evt-", 40);
        SweepRecords<qel2::ToDoListPtr, qel2_pvt_ReadToDoListByRange, ReadOneToDo>(
            tally, "todos.db", calendar, id + "-todo-", 20);
    }
    uint64_t digest = 0;
    tally.results.insert(SearchCalendars("user", digest));
    return tally;
}

// Overwrites the first `Length` bytes of every page after the meta page.
template <size_t Length, char Pattern>
void OverwritePages(const fs::path& file) {
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    const std::string bytes(Length, Pattern);
    for (size_t page = 1; page < fs::file_size(file) / kPage; ++page)
        stream.seekp(std::streamoff(page * kPage)).write(bytes.data(), Length);
    ASSERT_TRUE(stream.flush());
}

struct Damage {
    const char* name;
    const char* file;
    void (*apply)(const fs::path& file);
    int openResult;  // 22: Berkeley DB refuses a file not made of whole pages
    bool panics;     // Berkeley DB declares the environment lost
};
void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class DamagedStoreTest : public FaultTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedStoreTest, ReadsReturnAndWalksSkipWhatTheDamageTook) {
    const Damage& damage = GetParam();
    copyStore();
    ASSERT_EQ(open(0), 0);
    const Tally intact = SweepStore();
    ASSERT_EQ(intact.found.at("calprops.db"), 3u);
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);
    // The environment's cache outlives the close in its region files;
    // without them the next open reads the pages from disk again.
    for (const auto& entry : fs::directory_iterator(dir_.path()))
        if (entry.path().filename().string().starts_with("__db.")) fs::remove(entry.path());
    log_.clear();
    damage.apply(dir_.path() / damage.file);
#if defined(__SANITIZE_ADDRESS__)
    // Berkeley DB keeps a lost environment's memory: the process is
    // expected to exit and recover.
    if (damage.panics) __lsan_disable();
#endif
    ASSERT_EQ(open(0), damage.openResult);  // only the meta pages are read at open
    if (damage.openResult != 0) {
        EXPECT_TRUE(hasPrefix(3, "qel2_pvt_OpenDBCore: " + std::string(damage.file) + ": 22 = "));
        for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB, gCalDB.pCalPropsDB, gCalDB.pAlarmDB})
            EXPECT_EQ(db, nullptr) << "the databases opened before it are closed again";
        return;
    }
    Tally damaged = SweepStore();
    EXPECT_EQ(damaged.results.contains(kRunRecovery), damage.panics);
    EXPECT_EQ(qel2_pvt_CloseDB(), damage.panics ? kRunRecovery : 0);
    EXPECT_EQ(count(6, "dbenv->close (qEL2x): -30978\n"), damage.panics ? 1 : 0);
    ExpectClosed();
    // The files left alone read in full while the environment lives; the
    // damage shows as fewer records or an ERROR line.
    bool logged = false, fewer = false;
    for (const LogLine& line : log_.lines()) logged |= line.level <= 3;
    for (const auto& [file, before] : intact.found) {
        const uint32_t after = damaged.found[file];
        EXPECT_TRUE(after == before || ((damage.panics || file == damage.file) && after < before))
            << file;
        fewer |= after < before;
    }
    EXPECT_TRUE(logged || fewer) << "the damage was never read";
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedStoreTest,
    ::testing::Values(
        // Page headers and item indexes: page numbers, types, offsets.
        Damage{"EventPageHeaders", "events.db", OverwritePages<64, '\xa5'>, 0, true},
        Damage{"CalPropsPageHeaders", "calprops.db", OverwritePages<64, '\x00'>, 0, true},
        // Whole pages zeroed, as a lost write leaves them: a walk takes them
        // for empty pages, a read by key into one loses the environment.
        Damage{"ZeroedEventPages", "events.db", OverwritePages<kPage, '\x00'>, 0, true},
        Damage{"EventsCutAtAPageBoundary", "events.db",
               [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / kPage / 2 * kPage); },
               0, false},
        Damage{"ToDosCutInsideAPage", "todos.db",
               [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2 + 100); }, 22,
               false},
        Damage{"ToDosCutInsideTheFirstPage", "todos.db",
               [](const fs::path& f) { fs::resize_file(f, 1000); }, 22, false}),
    [](const auto& info) { return std::string(info.param.name); });

// As root permission bits are not enforced: the store is shown through a
// read-only bind mount, in a mount namespace of the process's own. Its
// region files cannot be created: the library's code for an environment
// that did not open, with Berkeley DB's reason.
TEST_F(FaultTest, ReadOnlyStoreFailsToOpenCleanly) {
    const TempDir view;
    copyStore();
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(dir_.str().c_str(), view.str().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, view.str().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "cannot make a read-only store here: " << strerror(errno);
    EXPECT_EQ(qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, view.str().c_str()),
              2);
    EXPECT_TRUE(hasPrefix(3, "qel2_InitializeEnvironment: dbenv->open returned 30"));  // EROFS
    EXPECT_EQ(RunningThreads(), 0) << "no thread starts";
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
    umount(view.str().c_str());
}

}  // namespace
}  // namespace qel2::test
