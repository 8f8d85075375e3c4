// Opening and closing the store: the states gCalDB goes through and every
// way an open can fail.

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <fstream>
#include <random>
#include <vector>

#include <dlfcn.h>
#include <nspr.h>

#include <qel2/qel2.h>

#include "store_fixture.h"

// Thread creations left before the one that fails; negative: none fails.
static std::atomic<int> gThreadsBeforeFailure{-1};

// Takes the library's calls (the executable exports its symbols); those
// not told to fail go on to NSPR's own.
extern "C" PRThread* PR_CreateThread(PRThreadType type, void (*start)(void*), void* arg,
                                     PRThreadPriority priority, PRThreadScope scope,
                                     PRThreadState state, PRUint32 stackSize) {
    static const auto nspr =
        reinterpret_cast<decltype(&PR_CreateThread)>(dlsym(RTLD_NEXT, "PR_CreateThread"));
    if (gThreadsBeforeFailure.fetch_sub(1) != 0)
        return nspr(type, start, arg, priority, scope, state, stackSize);
    PR_SetError(PR_INSUFFICIENT_RESOURCES_ERROR, 0);
    return nullptr;
}

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

using StoreOpenTest = StoreTest;

const std::string kMissing =
    "Failed to locate caldb.conf.  File must exist for opening the Database\n";
const std::string kMismatch =
    "Failed dbversion check. Database may be corrupted or version numbers are mismatched\n";

std::string Version(const std::string& version) { return "caldb.version = \"" + version + "\"\n"; }

void ExpectOpenWithThreads(int32_t threads) {
    EXPECT_NE(gCalDB.dbenv, nullptr);
    for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB, gCalDB.pCalPropsDB, gCalDB.pAlarmDB})
        EXPECT_NE(db, nullptr);
    EXPECT_EQ(RunningThreads(), threads);
    for (PRMonitor* monitor : gCalDB.apMonitors) EXPECT_NE(monitor, nullptr);
}

// Through facade objects, which all share the one store: destroying one
// closes nothing. The explicit home directory wins over the configured one.
TEST_F(StoreOpenTest, OpensWithEachThreadSelectionAndClosesAgain) {
    writeConf();
    TempDir configured;  // no caldb.conf: an open there fails
    set("caldb.berkeleydb.homedir.path", configured.str());
    for (uint32_t threads : {0u, 1u, 2u, 3u}) {
        ASSERT_EQ(qel2BerkeleyDatabase().OpenDB(threads, 0, dir_.str().data()), 0);
        ExpectOpenWithThreads(std::popcount(threads));
        EXPECT_STREQ(gCalDB.pszHomeDir, dir_.str().c_str());
        // 4.2's one lock limit covers locks, lockers and objects alike.
        uint32_t limits[3] = {};
        gCalDB.dbenv->get_lk_max_locks(gCalDB.dbenv, &limits[0]);
        gCalDB.dbenv->get_lk_max_lockers(gCalDB.dbenv, &limits[1]);
        gCalDB.dbenv->get_lk_max_objects(gCalDB.dbenv, &limits[2]);
        EXPECT_EQ(std::vector<uint32_t>(limits, limits + 3), std::vector<uint32_t>(3, 50000u));
        EXPECT_EQ(qel2BerkeleyDatabase().CloseDB(), 0);
        ExpectClosed();
    }
    for (const char* file : {"events.db", "todos.db", "calprops.db", "alarms.db"})
        EXPECT_TRUE(fs::exists(dir_.path() / file)) << "the open creates " << file;
    EXPECT_EQ(qel2_pvt_CloseDB(), 0) << "a second close does nothing";
    ExpectClosed();
    // Counting on a closed store fails like a cursor that cannot be opened.
    qEL2_DB_STATISTICS stats;
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 2), 1);
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 4), 12);
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 8), 12);
    EXPECT_EQ(count(3, "qel2_pvt_GetStats: pEventDB->cursor() returned 22\n"), 1);
    EXPECT_EQ(count(3, "qel2_pvt_GetStats: pToDoDB->cursor() returned 22\n"), 1);
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, nullptr), 2);
    EXPECT_STREQ(gCalDB.pszHomeDir, configured.str().c_str());
}

std::string CommentsThenVersion(size_t size) {
    std::string text;
    while (text.size() + 100 < size) text += "# " + std::string(97, '-') + "\n";
    return text + Version(kStoreVersion);
}

// Without the exact version text the open fails with 2 and one line (none
// for a file over 1 MB, refused unread), and leaves the environment for the
// close; a hostile file never crashes or hangs it.
TEST_F(StoreOpenTest, CaldbConfDecidesTheOpen) {
    std::string binary(64 << 10, '\0');
    std::generate(binary.begin(), binary.end(), std::mt19937(7));
    const struct {
        std::string conf;
        int result;
        const std::string* line;
    } cases[] = {
        {Version("1.0.0"), 2, &kMismatch},
        {Version("1.0.0  [BerkeleyDB]"), 2, &kMismatch},
        {"caldb.version =\n", 2, &kMismatch},
        {"other.key = 1\n", 2, &kMismatch},
        {binary, 2, &kMismatch},
        {CommentsThenVersion(10u << 20), 2, nullptr},
        {CommentsThenVersion((1u << 20) - 200), 0, nullptr},
        {"", 2, &kMissing},  // no caldb.conf
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.conf.substr(0, 40));
        log_.clear();
        dir_.write("caldb.conf", c.conf);
        if (c.line == &kMissing) fs::remove(dir_.path() / "caldb.conf");
        EXPECT_EQ(open(3), c.result);
        EXPECT_EQ(count(3, kMissing), c.line == &kMissing);
        EXPECT_EQ(count(3, kMismatch), c.line == &kMismatch);
        EXPECT_NE(gCalDB.dbenv, nullptr);
        EXPECT_EQ(RunningThreads(), c.result == 0 ? 2 : 0);
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
        ExpectClosed();
    }
}

// A folder under `path` whose path is `length` characters long.
fs::path NestedFolder(fs::path path, size_t length) {
    while (path.string().size() < length)
        path /= std::string(std::min<size_t>(200, length - path.string().size() - 1), 'd');
    fs::create_directories(path);
    return path;
}

// The version check takes paths of up to 511 characters. Cut there, this
// store's longer path would name a sibling file with the right version,
// while the store's own caldb.conf has a wrong one.
TEST_F(StoreOpenTest, CaldbConfPathTooLongToCheckIsRefusedNeverCut) {
    const fs::path parent = NestedFolder(dir_.path(), 411), home = NestedFolder(parent, 562);
    std::ofstream(home / "caldb.conf") << Version("0.9.0 [BerkeleyDB]");
    const fs::path cut = (home / "caldb.conf").string().substr(0, 511);
    ASSERT_EQ(cut.parent_path(), parent);
    std::ofstream(cut) << Version(kStoreVersion);
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, home.c_str()), 2);
    EXPECT_EQ(count(3, kMissing) + count(3, kMismatch), 1);
}

TEST_F(StoreOpenTest, OpenFlagsAreBerkeleyDb42s) {
    writeConf();
    ASSERT_EQ(open(0), 0);
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);
    // DB_RECOVER and DB_RECOVER_FATAL run recovery only, whatever other bits
    // (DB_INIT_TXN) come with them, and leave the store closed.
    for (uint32_t flags : {kRecover42, 0x200000u, kRecover42 | 0x20000u}) {
        EXPECT_EQ(open(3, flags), 0) << flags;
        EXPECT_EQ(gCalDB.dbenv, nullptr);
        EXPECT_EQ(gCalDB.pEventDB, nullptr);
        EXPECT_EQ(RunningThreads(), 0);
        EXPECT_EQ(gCalDB.apMonitors[0], nullptr);
        EXPECT_NE(gCalDB.pszHomeDir, nullptr) << "kept until the next close";
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    }
    // A bit 4.2's open did not take is refused before anything is touched.
    EXPECT_EQ(open(3, 0x80000000u), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_DbOpenFlagsFrom42: flag bits 0x80000000 "));
    ExpectClosed();
}

TEST_F(StoreOpenTest, FailedThreadCreationReturnsTheNsprErrorOnAClosedStore) {
    writeConf();
    const std::string failure = "failed to create thread (NSPR error " +
                                std::to_string(PR_INSUFFICIENT_RESOURCES_ERROR) + ")\n";
    // The first thread fails; then the second of two, after the deadlock
    // thread has started and must be stopped again.
    for (int successes : {0, 1}) {
        log_.clear();
        gThreadsBeforeFailure = successes;
        EXPECT_EQ(open(3), PR_INSUFFICIENT_RESOURCES_ERROR) << successes;
        EXPECT_EQ(count(2, failure), 1);
        ExpectClosed();
    }
    EXPECT_EQ(open(3), 0) << "a later open starts both threads";
    ExpectOpenWithThreads(2);
}

}  // namespace
}  // namespace qel2::test
