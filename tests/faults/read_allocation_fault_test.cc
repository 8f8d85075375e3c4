// Every allocation of a read made to fail in turn, the first, then the
// second, and so on until the read runs through untouched: each run must
// return a result code (12 where the library itself ran out), write its
// ERROR line where it gives up for want of memory, hand back nothing it has
// not finished, and leave no block behind.

#include <atomic>
#include <cstdio>
#include <functional>
#include <ostream>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <openssl/err.h>

#include <qel2/qel2.h>

#include "allocation_faults.h"
#include "fault_fixture.h"
#include "support/record_digest.h"

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
    // Two undisturbed runs: caches Berkeley DB fills on first use (cursors
    // kept for reuse) are not counted as leaks.
    uint64_t reference = 0, again = 0;
    ASSERT_EQ(c.read(calendar_, reference), 0);
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
        EXPECT_TRUE(result != 12 || !c.logsOutOfMemory || gErrorLines > 0) << "no ERROR line";
        if (HasFailure()) break;
    }
    EXPECT_LT(n, kLimit) << "the read never ran through";
    EXPECT_GT(n, 1u) << "the read allocated nothing";
    std::printf("%s: %u %s, each failed in turn\n", c.name, n - 1,
                HooksProcessAllocator() ? "allocations" : "host allocating calls");
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
                 {12, -30990}, false},
        ReadCase{"Event", [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneEvent(c, "user1-evt-0", 0, d); },
                 kSingleReadFailures, true},
        ReadCase{"EventThroughALink",
                 [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneEvent(c, "user2-evt-0", 0, d); },
                 kSingleReadFailures, true},
        ReadCase{"ToDo", [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneToDo(c, "user1-todo-0", 0, d); },
                 kSingleReadFailures, true},
        ReadCase{"EventWindow", [](qEL2_CALPROPS* c, uint64_t& d) { return ReadEventWindow(c, 0, 0, d); }, {12}, true},
        ReadCase{"ToDoWindow", [](qEL2_CALPROPS* c, uint64_t& d) { return ReadToDoWindow(c, 0, 0, d); }, {12}, true},
        // 1: the walk's cursor could not be opened.
        ReadCase{"SearchAllCalendars", [](qEL2_CALPROPS*, uint64_t& d) { return SearchCalendars("user", d); },
                 {1, 12}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel2test
