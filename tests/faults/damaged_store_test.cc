// Database files damaged on disk: pages overwritten in place, files cut
// short. Whatever Berkeley DB makes of them, every read returns a result
// code, a walk skips what it cannot read, nothing crashes or leaks (the
// sanitizer build checks that), and the store still closes.

#include <cstdint>
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

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

constexpr size_t kPage = 4096;
constexpr int kRunRecovery = -30978;  // Berkeley DB 4.2's DB_RUNRECOVERY, as the library reports it

class DamagedStoreTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        copyStore();
        ASSERT_EQ(open(0), 0);
        intact_ = SweepStore();
        ASSERT_EQ(intact_.calendars, kFaultCalendars);
        ASSERT_EQ(intact_.singleReadMisses, 0u);
        ASSERT_EQ(qel2_pvt_CloseDB(), 0);
        // The environment's cache outlives the close in its region files;
        // without them the next open reads the pages from disk again.
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            if (entry.path().filename().string().starts_with("__db.")) fs::remove(entry.path());
        log_.clear();
    }
    // Opens the damaged copy again, sweeps it and closes it.
    SweepTally sweepDamaged() {
        int opened = open(0);
        EXPECT_EQ(opened, 0) << "only the meta pages are read at open, and they are intact";
        SweepTally damaged = opened == 0 ? SweepStore() : SweepTally{};
        closeResult_ = qel2_pvt_CloseDB();
        ExpectClosed();
        return damaged;
    }
    SweepTally intact_;
    int closeResult_ = 0;
};

struct Damage {
    const char* name;
    const char* file;
    size_t length;  // overwritten at the start of every page after the meta page
    char pattern;
    bool panics;  // Berkeley DB declares the environment lost
};
void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class PageDamageTest : public DamagedStoreTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(PageDamageTest, ReadsAndWalksReturnOrSkip) {
    const Damage& damage = GetParam();
    std::fstream stream(file(damage.file), std::ios::in | std::ios::out | std::ios::binary);
    const std::string bytes(damage.length, damage.pattern);
    for (size_t page = 1; page < fs::file_size(file(damage.file)) / kPage; ++page)
        stream.seekp(static_cast<std::streamoff>(page * kPage))
            .write(bytes.data(), std::ssize(bytes));
    stream.close();
    ASSERT_FALSE(stream.fail());
#if defined(__SANITIZE_ADDRESS__)
    // A panicked environment keeps its handles' memory by Berkeley DB's
    // design (the process is expected to exit and recover).
    if (damage.panics) __lsan_disable();
#endif
    SweepTally damaged = sweepDamaged();
    EXPECT_EQ(damaged.results.contains(kRunRecovery), damage.panics);
    EXPECT_EQ(closeResult_, damage.panics ? kRunRecovery : 0);
    EXPECT_EQ(count(6, "dbenv->close (qEL2x): -30978\n"), damage.panics ? 1 : 0);
    EXPECT_LE(damaged.events, intact_.events);
    EXPECT_LE(damaged.todos, intact_.todos);
    EXPECT_LE(damaged.calendars, intact_.calendars);
    // The damage shows: fewer records, a failed single read or an ERROR line.
    bool logged = false;
    for (const LogLine& line : log_.lines()) logged |= line.level <= 3;
    EXPECT_TRUE(logged || damaged.events < intact_.events || damaged.todos < intact_.todos ||
                damaged.calendars < intact_.calendars || damaged.singleReadMisses > 0)
        << "the damage was never read";
}

INSTANTIATE_TEST_SUITE_P(Overwritten, PageDamageTest,
                         ::testing::Values(
                             // The page header and item index: page numbers, types, offsets.
                             Damage{"EventPageHeaders", "events.db", 64, '\xa5', true},
                             Damage{"CalPropsPageHeaders", "calprops.db", 64, '\x00', true},
                             // Whole pages zeroed, as a lost write leaves them: Berkeley DB reads
                             // them as empty pages, so their records are gone without a word.
                             Damage{"ZeroedEventPages", "events.db", kPage, '\x00', false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DamagedStoreTest, FileCutAtAPageBoundaryReadsWhatIsLeft) {
    fs::resize_file(file("events.db"), fs::file_size(file("events.db")) / kPage / 2 * kPage);
    SweepTally damaged = sweepDamaged();
    EXPECT_LT(damaged.events, intact_.events);
    EXPECT_EQ(damaged.todos, intact_.todos) << "the other databases are untouched";
    EXPECT_EQ(damaged.calendars, intact_.calendars);
}

TEST_F(DamagedStoreTest, FileCutInsideAPageIsRefusedAtOpen) {
    for (std::uintmax_t size : {fs::file_size(file("todos.db")) / 2 + 100, std::uintmax_t{1000}}) {
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
}  // namespace qel2::test
