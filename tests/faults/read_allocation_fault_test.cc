// Every allocation of a read made to fail in turn, the first, then the
// second, and so on until the read runs through untouched: each run must
// return a result code (12 where the library itself ran out), write its
// ERROR line where it gives up for want of memory, hand back nothing it has
// not finished, and leave no block behind.

#include <atomic>
#include <cstdio>
#include <functional>
#include <set>
#include <ostream>
#include <string>

#include <gtest/gtest.h>
#include <openssl/err.h>

#include <qel2/qel2.h>

#include "allocation_faults.h"
#include "fault_fixture.h"
#include "record_digest.h"

namespace qel2test {
namespace {

// Counts ERROR lines without allocating: the log sink runs inside the
// reads whose allocations are being failed.
std::atomic<int> gErrorLines{0};
void CountErrors(void*, int level, const char*) {
    if (level <= qEL2_LOG_ERROR) ++gErrorLines;
}

// One read and the release of what it returned; `digest` sums up the
// records it returned, for comparison with an undisturbed run. Digests are
// computed without allocating, so that every block still live afterwards is
// the read's own.
using Read = std::function<int(qEL2_CALPROPS* calendar, uint64_t& digest)>;

struct ReadCase {
    const char* name;
    Read read;
    std::set<int> failures;  // results allowed besides 0 while memory runs out
    bool logsOutOfMemory;    // a result of 12 comes with an ERROR line
};

// Names the case in test names and failure output.
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadAllocationTest : public FaultTest, public ::testing::WithParamInterface<ReadCase> {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        copyStore();
        ASSERT_EQ(open(0), 0);
        ASSERT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("user1"), &calendar_), 0);
        hxlog_set_sink(CountErrors, nullptr);
        // OpenSSL (the host's MD5) keeps one error record per thread from
        // its first error on; made here, it is not taken for the read's.
        ERR_raise_data(ERR_LIB_USER, 1, "%s", "allocation faults ahead");
        ERR_clear_error();
    }
    void TearDown() override {
        qel2_FreeCalProps(&calendar_);
        FaultTest::TearDown();
    }
    qEL2_CALPROPS* calendar_ = nullptr;
};

TEST_P(ReadAllocationTest, EveryFailedAllocationEndsInAResult) {
    const ReadCase& c = GetParam();
    uint64_t reference = 0;
    ASSERT_EQ(c.read(calendar_, reference), 0);
    // A second undisturbed run: caches Berkeley DB fills on first use
    // (cursors kept for reuse) are not counted as leaks.
    uint64_t again = 0;
    ASSERT_EQ(c.read(calendar_, again), 0);
    ASSERT_EQ(again, reference);

    constexpr uint32_t kLimit = 100000;
    uint32_t n = 1;
    for (; n < kLimit; ++n) {
        gErrorLines = 0;
        uint64_t digest = 0;
        FailAllocation(n);
        int result = c.read(calendar_, digest);
        AllocationOutcome outcome = StopFailingAllocations();
        SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
        EXPECT_EQ(outcome.live, 0u) << "blocks left behind";
        if (!outcome.injected) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(digest, reference);
            break;
        }
        EXPECT_TRUE(result == 0 || c.failures.contains(result)) << result;
        if (result == 12 && c.logsOutOfMemory) {
            EXPECT_GE(gErrorLines.load(), 1);
        }
        if (HasFailure()) break;
    }
    EXPECT_LT(n, kLimit) << "the read never ran through";
    EXPECT_GT(n, 1u) << "the read allocated nothing";
    std::printf("%s: %u %s, each failed in turn\n", c.name, n - 1,
                HooksProcessAllocator() ? "allocations" : "host allocating calls");
}

// One event or to-do by key.
template <typename Record, auto Read, auto Free>
int ReadOne(qEL2_CALPROPS* calendar, const char* uid, uint64_t& digest) {
    Record* record = nullptr;
    int result = Read(calendar, const_cast<char*>(uid), 0, 0, &record);
    digest = Digest(record);
    Free(&record);
    return result;
}
constexpr auto ReadOneEvent = ReadOne<qEL2_VEVENT, qel2_pvt_ReadEvent, qel2_FreeEvent>;
constexpr auto ReadOneToDo = ReadOne<qEL2_VTODO, qel2_pvt_ReadToDo, qel2_FreeToDo>;

// All of a calendar's events or to-dos, tombstones left out.
template <typename Record, typename List, auto Window>
int ReadWindow(qEL2_CALPROPS* calendar, uint64_t& digest) {
    array_t* list = nullptr;
    int result = Window(calendar, 0, 0, 0, &list);
    List owned(list);
    digest = Digest<Record>(list);
    return result;
}

// Results of a single read: not read (10000), out of memory (12), and from
// a link, the linked calendar (1) or record (2) not read.
const std::set<int> kSingleReadFailures = {1, 2, 12, 10000};

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadAllocationTest,
    ::testing::Values(
        ReadCase{"CalendarById",
                 [](qEL2_CALPROPS*, uint64_t& digest) {
                     qEL2_CALPROPS* calendar = nullptr;
                     int result = qel2_pvt_ReadCalProps(const_cast<char*>("user2"), &calendar);
                     digest = 0;
                     if (calendar != nullptr) Mix(digest, calendar->pName);
                     qel2_FreeCalProps(&calendar);
                     return result;
                 },
                 // 12: the fetch's own ENOMEM, returned without a line;
                 // -30990 (not found): the digest of the id could not be
                 // computed, so no calendar has that key.
                 {12, -30990},
                 false},
        ReadCase{"Event", [](qEL2_CALPROPS* cal, uint64_t& d) { return ReadOneEvent(cal, "user1-evt-0", d); },
                 kSingleReadFailures, true},
        ReadCase{"EventThroughALink",
                 [](qEL2_CALPROPS* cal, uint64_t& d) { return ReadOneEvent(cal, "user2-evt-0", d); },
                 kSingleReadFailures, true},
        ReadCase{"ToDo", [](qEL2_CALPROPS* cal, uint64_t& d) { return ReadOneToDo(cal, "user1-todo-0", d); },
                 kSingleReadFailures, true},
        ReadCase{"EventWindow", ReadWindow<qEL2_VEVENT, qel2::EventListPtr, qel2_pvt_ReadEventListByRange>, {12}, true},
        ReadCase{"ToDoWindow", ReadWindow<qEL2_VTODO, qel2::ToDoListPtr, qel2_pvt_ReadToDoListByRange>, {12}, true},
        ReadCase{"SearchAllCalendars",
                 [](qEL2_CALPROPS*, uint64_t& digest) {
                     array_t* list = nullptr;
                     int result = qel2_pvt_SearchCalProps("user", qEL2_SEARCH_CALID, qEL2_MATCH_BEGINS, 0, &list);
                     qel2::CalPropsListPtr owned(list);
                     digest = DigestCalendars(list);
                     return result;
                 },
                 {1, 12},  // 1: the walk's cursor could not be opened
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel2test
