// Database files damaged on disk: pages overwritten in place, files cut
// short. Whatever Berkeley DB makes of them, every read returns a result
// code, a walk skips what it cannot read, nothing crashes or leaks (the
// sanitizer build checks that), and the store still closes. (Damaged values
// on sound pages are the query suites' stores with undecodable records.)

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <qel2/qel2.h>

#include "fault_fixture.h"
#include "store_sweep.h"

namespace qel2test {
namespace {

namespace fs = std::filesystem;

constexpr size_t kPage = 4096;

// Overwrites `length` bytes at `offset` of every page after the first (the
// meta page, which the open itself checks) with a repeating pattern.
void OverwritePages(const fs::path& file, size_t offset, size_t length, char pattern) {
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    size_t pages = fs::file_size(file) / kPage;
    std::string bytes(length, pattern);
    for (size_t page = 1; page < pages; ++page) {
        stream.seekp(static_cast<std::streamoff>(page * kPage + offset));
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_TRUE(stream.good()) << file;
}

// Leaves the blocks the calling thread allocates from now on out of the
// leak check of the AddressSanitizer build.
void IgnoreLeaksOfThisThread() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
}

class DamagedStoreTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        copyStore();
        ASSERT_EQ(open(0), 0);
        intact_ = SweepStore(kFaultCalendars);
        ASSERT_EQ(intact_.calendars, kFaultCalendars);
        ASSERT_TRUE(intact_.singleReadMisses.empty());
        ASSERT_EQ(qel2_pvt_CloseDB(), 0);
        // The environment's cache outlives the close in its region files;
        // without them the next open reads the pages from disk again.
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            if (entry.path().filename().string().rfind("__db.", 0) == 0) fs::remove(entry.path());
        log_.clear();
    }
    // Opens the damaged copy again and sweeps it.
    SweepTally sweepDamaged() {
        int opened = open(0);
        EXPECT_EQ(opened, 0) << "only the meta pages are read at open, and they are intact";
        SweepTally damaged = opened == 0 ? SweepStore(kFaultCalendars) : SweepTally{};
        closeResult_ = qel2_pvt_CloseDB();
        ExpectClosed();
        return damaged;
    }
    // Damage shows: fewer records, a failed single read or an ERROR line.
    bool noticed(const SweepTally& damaged) const {
        bool logged = false;
        for (const LogLine& line : log_.lines()) logged |= line.level <= 3;
        return logged || damaged.events < intact_.events || damaged.todos < intact_.todos ||
               damaged.calendars < intact_.calendars || !damaged.singleReadMisses.empty();
    }
    SweepTally intact_;
    int closeResult_ = 0;
};

struct Damage {
    const char* name;
    const char* file;
    size_t offset;  // within each page
    size_t length;
    char pattern;
    bool panics;  // Berkeley DB declares the environment lost
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

// Berkeley DB 4.2's DB_RUNRECOVERY, as the library reports it.
constexpr int kRunRecovery = -30978;

class PageDamageTest : public DamagedStoreTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(PageDamageTest, ReadsAndWalksReturnOrSkip) {
    const Damage& damage = GetParam();
    OverwritePages(file(damage.file), damage.offset, damage.length, damage.pattern);
    // A panicked environment keeps its handles' memory by Berkeley DB's
    // design (the process is expected to exit and recover); leak checking
    // covers the cases without a panic.
    if (damage.panics) IgnoreLeaksOfThisThread();
    SweepTally damaged = sweepDamaged();
    if (damage.panics) {
        EXPECT_TRUE(damaged.results.contains(kRunRecovery));
        EXPECT_EQ(closeResult_, kRunRecovery);
        EXPECT_EQ(count(6, "dbenv->close (qEL2x): -30978\n"), 1);
    } else {
        EXPECT_EQ(closeResult_, 0);
    }
    EXPECT_LE(damaged.events, intact_.events);
    EXPECT_LE(damaged.todos, intact_.todos);
    EXPECT_LE(damaged.calendars, intact_.calendars);
    EXPECT_TRUE(noticed(damaged)) << "the damage was never read";
}

INSTANTIATE_TEST_SUITE_P(
    Overwritten, PageDamageTest,
    ::testing::Values(
        // The page header and item index: page numbers, types, offsets.
        Damage{"EventPageHeaders", "events.db", 0, 64, '\xa5', true},
        Damage{"CalPropsPageHeaders", "calprops.db", 0, 64, '\x00', true},
        // Whole pages zeroed, as a lost write leaves them: Berkeley DB
        // reads them as empty pages, so the records on them are gone
        // without a word (only a verify finds them).
        Damage{"ZeroedEventPages", "events.db", 0, kPage, '\x00', false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DamagedStoreTest, FileCutAtAPageBoundaryReadsWhatIsLeft) {
    fs::resize_file(file("events.db"), fs::file_size(file("events.db")) / kPage / 2 * kPage);
    SweepTally damaged = sweepDamaged();
    EXPECT_LT(damaged.events, intact_.events);
    EXPECT_EQ(damaged.todos, intact_.todos) << "the other databases are untouched";
    EXPECT_EQ(damaged.calendars, intact_.calendars);
}

TEST_F(DamagedStoreTest, FileCutInsideAPageIsRefusedAtOpen) {
    const size_t intactSize = fs::file_size(file("todos.db"));
    for (size_t size : {intactSize / 2 + 100, size_t{1000}}) {
        fs::resize_file(file("todos.db"), size);
        // Berkeley DB refuses a file that is not made of whole pages.
        EXPECT_EQ(open(0), 22) << size;
        EXPECT_TRUE(hasPrefix(3, "qel2_pvt_OpenDBCore: todos.db: 22 = ")) << size;
        EXPECT_EQ(gCalDB.pEventDB, nullptr) << "the databases opened before it are closed again";
        qel2_pvt_CloseDB();
        ExpectClosed();
        log_.clear();
    }
}

}  // namespace
}  // namespace qel2test
