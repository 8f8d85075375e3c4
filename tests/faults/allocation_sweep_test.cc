// Every allocation of each operation in a table (reads of a written store,
// mappings into host records) made to fail in turn until it runs through:
// each run returns one of the operation's failure results (12, with an
// ERROR line where it logs one, when the library itself ran out), reports
// success only with the whole result where it promises that, and leaves no
// block behind.

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>

#include <openssl/err.h>

#include <qel2/owned.h>
#include <qel2/qel2.h>

#include "allocation_faults.h"
#include "fault_fixture.h"
#include "mapping/mapping_fixtures.h"
#include "support/record_digest.h"

namespace qel2::test {
namespace {

// One operation, given the calendar "user1"; `digest` sums up what it
// returned. Nothing is allocated outside the library, so every block still
// live afterwards is the operation's own.
struct SweepCase {
    const char* name;
    std::function<int(qEL2_CALPROPS* calendar, uint64_t& digest)> run;
    std::set<int> failures;  // results allowed besides 0 while memory runs out
    bool logsOutOfMemory;    // a result of 12 comes with an ERROR line
    bool wholeOnSuccess;     // 0 after a failed allocation only with the whole result
};
void PrintTo(const SweepCase& c, std::ostream* out) { *out << c.name; }

// A full event or to-do mapped into a new host record.
template <typename Kind>
SweepCase Map(const char* name) {
    std::shared_ptr<typename Kind::Source> source(Kind::Full(), [](auto* s) { Kind::Free(&s); });
    return {name,
            [source](qEL2_CALPROPS*, uint64_t& digest) {
                typename Kind::Target* target = Kind::NewTarget();
                const int32_t result = Kind::Map(source.get(), &target, "org-id", nullptr, 0);
                digest = kDigestStart;
                if (target != nullptr) Mix(digest, target->summary);
                Kind::Free(&target);
                return result;
            },
            std::set{1}, false, true};
}

int MapCalendar(qEL2_CALPROPS* calendar, uint64_t& digest) {
    CALDB_CALPROPS* target = caldb_NewCalProps();
    const int32_t result = CalPropsMapping(calendar, &target, 0, 0, 0, nullptr, 0);
    digest = kDigestStart;
    if (target != nullptr) Mix(digest, target->primary_owner);
    caldb_FreeCalProps(&target);
    return result;
}

int CalendarById(qEL2_CALPROPS*, uint64_t& digest) {
    qEL2_CALPROPS* calendar = nullptr;
    const int result = qel2_pvt_ReadCalProps(const_cast<char*>("user2"), &calendar);
    const qel2::CalPropsPtr owned(calendar);
    digest = kDigestStart;
    if (calendar != nullptr) Mix(digest, calendar->pName);
    return result;
}

// Single reads: not read (10000), out of memory (12), and from a link, the
// linked calendar (1) or record (2) not read.
const std::set<int> kSingleRead = {1, 2, 12, 10000};

// The store reads do not all promise the whole result yet: a window, the
// search and a read through a link can answer 0 with less when an early
// allocation fails.
const SweepCase kCases[] = {
    // 12: the fetch's own ENOMEM, without a line; -30990 (not found): the
    // digest of the id could not be computed, so no calendar has that key.
    {"CalendarById", CalendarById, std::set{12, -30990}, false, true},
    {"Event", [](auto* c, uint64_t& d) { return ReadOneEvent(c, "user1-evt-0", 0, d); },
     kSingleRead, true, true},
    {"EventThroughALink", [](auto* c, uint64_t& d) { return ReadOneEvent(c, "user2-evt-0", 0, d); },
     kSingleRead, true, false},
    {"ToDo", [](auto* c, uint64_t& d) { return ReadOneToDo(c, "user1-todo-0", 0, d); }, kSingleRead,
     true, true},
    {"EventWindow", [](auto* c, uint64_t& d) { return ReadEventWindow(c, 0, 0, d); }, std::set{12},
     true, false},
    {"ToDoWindow", [](auto* c, uint64_t& d) { return ReadToDoWindow(c, 0, 0, d); }, std::set{12},
     true, false},
    // 1: the walk's cursor could not be opened.
    {"SearchAllCalendars", [](auto*, uint64_t& d) { return SearchCalendars("user", d); },
     std::set{1, 12}, true, false},
    Map<EventKind>("MapEvent"),
    Map<ToDoKind>("MapToDo"),
    {"MapCalendar", MapCalendar, std::set{1}, false, true}};

// Counts ERROR lines without allocating: the log sink runs inside the
// operations whose allocations are being failed.
std::atomic<int> gErrorLines{0};
void CountErrors(void*, int level, const char*) { gErrorLines += level <= qEL2_LOG_ERROR; }

class AllocationSweep : public FaultTest, public ::testing::WithParamInterface<SweepCase> {};

TEST_P(AllocationSweep, EveryFailedAllocationEndsInAResult) {
    if (!AllocationFaultsAvailable()) GTEST_SKIP() << "the allocator is not hooked in this build";
    const SweepCase& c = GetParam();
    copyStore();
    ASSERT_EQ(open(0), 0);
    qEL2_CALPROPS* read = nullptr;
    ASSERT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("user1"), &read), 0);
    const qel2::CalPropsPtr calendar(read);
    hxlog_set_sink(CountErrors, nullptr);
    // OpenSSL (the host's MD5) keeps one error record per thread from its
    // first error on; made here, it is not taken for the operation's.
    ERR_raise_data(ERR_LIB_USER, 1, "%s", "allocation faults ahead");
    ERR_clear_error();
    // Two undisturbed runs: caches Berkeley DB fills on first use (cursors
    // kept for reuse) are not counted as leaks.
    uint64_t reference = 0, again = 0;
    ASSERT_EQ(c.run(calendar.get(), reference), 0);
    ASSERT_EQ(c.run(calendar.get(), again), 0);
    ASSERT_EQ(again, reference);

    constexpr uint32_t kLimit = 100000;
    uint32_t n = 1;
    for (; n < kLimit; ++n) {
        gErrorLines = 0;
        uint64_t digest = 0;
        FailAllocation(n);
        const int result = c.run(calendar.get(), digest);
        const AllocationOutcome outcome = StopFailingAllocations();
        SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
        EXPECT_EQ(outcome.live, 0u) << "blocks left behind";
        if (!outcome.injected) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(digest, reference);
            break;
        }
        EXPECT_TRUE(result == 0 || c.failures.contains(result)) << result;
        EXPECT_TRUE(result != 0 || !c.wholeOnSuccess || digest == reference)
            << "success without the whole result";
        EXPECT_TRUE(result != 12 || !c.logsOutOfMemory || gErrorLines > 0) << "no ERROR line";
        if (HasFailure()) break;
    }
    EXPECT_LT(n, kLimit) << "the operation never ran through";
    EXPECT_GT(n, 1u) << "the operation allocated nothing";
    std::printf("%s: %u allocations, each failed in turn\n", c.name, n - 1);
}

INSTANTIATE_TEST_SUITE_P(Operations, AllocationSweep, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel2::test
