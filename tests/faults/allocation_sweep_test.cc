// Every allocation of an operation made to fail in turn, the first, then
// the second, and so on until the operation runs through untouched: each
// run must return one of the operation's failure results (12 where the
// library itself ran out, with its ERROR line where the operation logs
// one), report success only with the whole result, and leave no block
// behind. The operations: reads of a written store, decodes of the genuine
// store's values, the mappings into host records and a calendar edit.

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <openssl/err.h>

#include <qel2/diag.h>
#include <qel2/qel2.h>

#include "allocation_faults.h"
#include "fault_fixture.h"
#include "mapping/mapping_fixtures.h"
#include "records/decoded.h"
#include "support/record_digest.h"
#include "support/string_list.h"

namespace qel2::test {
namespace {

// Counts ERROR lines without allocating: the log sink runs inside the
// operations whose allocations are being failed.
std::atomic<int> gErrorLines{0};
void CountErrors(void*, int level, const char*) {
    if (level <= qEL2_LOG_ERROR) ++gErrorLines;
}

// One operation and the release of what it returned; `digest` sums up what
// it returned, for comparison with an undisturbed run. Nothing is
// allocated outside the library, so that every block still live afterwards
// is the operation's own.
using Operation = std::function<int(qEL2_CALPROPS* calendar, uint64_t& digest)>;

struct SweepCase {
    const char* name;
    Operation run;
    std::set<int> failures;  // results allowed besides 0 while memory runs out
    bool logsOutOfMemory;    // a result of 12 comes with an ERROR line
    // Success after a failed allocation only with the undisturbed result.
    // The store reads do not promise it yet: a window or search may answer
    // 0 with less when an early allocation fails.
    bool wholeOnSuccess = true;
};
void PrintTo(const SweepCase& c, std::ostream* out) { *out << c.name; }

class AllocationSweep : public FaultTest, public ::testing::WithParamInterface<SweepCase> {
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

TEST_P(AllocationSweep, EveryFailedAllocationEndsInAResult) {
    if (!AllocationFaultsAvailable()) GTEST_SKIP() << "the allocator is not hooked in this build";
    const SweepCase& c = GetParam();
    // Two undisturbed runs: caches Berkeley DB fills on first use (cursors
    // kept for reuse) are not counted as leaks.
    uint64_t reference = 0, again = 0;
    ASSERT_EQ(c.run(calendar_, reference), 0);
    ASSERT_EQ(c.run(calendar_, again), 0);
    ASSERT_EQ(again, reference);

    constexpr uint32_t kLimit = 100000;
    uint32_t n = 1;
    for (; n < kLimit; ++n) {
        gErrorLines = 0;
        uint64_t digest = 0;
        FailAllocation(n);
        int result = c.run(calendar_, digest);
        AllocationOutcome outcome = StopFailingAllocations();
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

// Decodes a value of the genuine store into a record made by `New`.
template <typename Record>
SweepCase Decode(const char* name, const char* section, const char* record, Record* (*New)(),
                 int (*Free)(Record**), std::set<int> failures) {
    auto value = std::make_shared<const qel2::test::codec::Bytes>(
        qel2::test::codec::StoredValueOf(section, record));
    return {name,
            [value, New, Free](qEL2_CALPROPS*, uint64_t& digest) {
                Record* decoded = New();
                if (decoded == nullptr) return ENOMEM;
                int result = qel2::test::codec::Decode(decoded, value->data(),
                                                       static_cast<uint32_t>(value->size()));
                digest = kDigestStart;
                if constexpr (std::is_same_v<Record, qEL2_CALPROPS>)
                    Mix(digest, decoded->pName);
                else
                    digest = Digest(decoded);
                Free(&decoded);
                return result;
            },
            std::move(failures), false};
}
qEL2_CALPROPS* NewCalProps() {
    return static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
}

// Maps a full event or to-do into a new host record.
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
            {1},
            false};
}

// A calendar with owners, children and categories mapped into a host
// record. (An access-list entry that cannot be copied is left out: the
// primary owner, the digest, stays.)
SweepCase MapCalendar() {
    std::shared_ptr<qEL2_CALPROPS> source(NewCalProps(),
                                          [](qEL2_CALPROPS* c) { qel2_FreeCalProps(&c); });
    source->accessFlags = 0x11;
    source->pPrimaryOwner = strdup("jdoe");
    source->pRelativeCalID = strdup("jdoe");
    source->pOtherOwners = StringList({"a", "b"});
    source->pChildList = StringList({"c"});
    source->pCategoryList = StringList({"work", "home"});
    return {"MapCalendar",
            [source](qEL2_CALPROPS*, uint64_t& digest) {
                CALDB_CALPROPS* target = caldb_NewCalProps();
                const int32_t result = CalPropsMapping(source.get(), &target, 0, 0, 0, nullptr, 0);
                digest = kDigestStart;
                if (target != nullptr) Mix(digest, target->primary_owner);
                caldb_FreeCalProps(&target);
                return result;
            },
            {1},
            false};
}

// Owner and category lists set on a calendar being edited.
int EditCalendar(qEL2_CALPROPS*, uint64_t& digest) {
    char a[] = "a", b[] = "b";
    char* names[] = {a, b, a, nullptr};
    qEL2_CALPROPS* edited = NewCalProps();
    if (edited == nullptr) return -1;
    int result = qel2dbut_SetOwners(edited, names, 0);
    if (result == 0) result = qel2dbut_SetCategory(edited, names, 1);
    digest = kDigestStart;
    for (uint32_t i = 0; edited->pCategoryList != nullptr && i < edited->pCategoryList->count; ++i)
        Mix(digest, strarray_elementat(edited->pCategoryList, i));
    qel2_FreeCalProps(&edited);
    return result;
}

// Results of a single read: not read (10000), out of memory (12), and from
// a link, the linked calendar (1) or record (2) not read.
const std::set<int> kSingleReadFailures = {1, 2, 12, 10000};

INSTANTIATE_TEST_SUITE_P(
    Operations, AllocationSweep,
    ::testing::Values(
        SweepCase{"CalendarById",
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
                  false,
                  false},
        SweepCase{
            "Event",
            [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneEvent(c, "user1-evt-0", 0, d); },
            kSingleReadFailures, true, false},
        SweepCase{
            "EventThroughALink",
            [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneEvent(c, "user2-evt-0", 0, d); },
            kSingleReadFailures, true, false},
        SweepCase{
            "ToDo",
            [](qEL2_CALPROPS* c, uint64_t& d) { return ReadOneToDo(c, "user1-todo-0", 0, d); },
            kSingleReadFailures, true, false},
        SweepCase{"EventWindow",
                  [](qEL2_CALPROPS* c, uint64_t& d) { return ReadEventWindow(c, 0, 0, d); },
                  {12},
                  true,
                  false},
        SweepCase{"ToDoWindow",
                  [](qEL2_CALPROPS* c, uint64_t& d) { return ReadToDoWindow(c, 0, 0, d); },
                  {12},
                  true,
                  false},
        // 1: the walk's cursor could not be opened.
        SweepCase{"SearchAllCalendars",
                  [](qEL2_CALPROPS*, uint64_t& d) { return SearchCalendars("user", d); },
                  {1, 12},
                  true,
                  false},
        // jdoe/evt-standup has attendees with lists, an alarm with a
        // recipient list and categories; asmith/todo-shared an attendee and
        // an alarm. -1: an embedded alarm could not be built.
        Decode<qEL2_VEVENT>("DecodeEvent", "events", "jdoe/evt-standup", qel2_NewEvent,
                            qel2_FreeEvent, {-1, ENOMEM}),
        Decode<qEL2_VTODO>("DecodeToDo", "todos", "asmith/todo-shared", qel2_NewToDo, qel2_FreeToDo,
                           {-1, ENOMEM}),
        Decode<qEL2_CALPROPS>("DecodeCalendar", "calendars", "jdoe", NewCalProps, qel2_FreeCalProps,
                              {ENOMEM}),
        Map<EventKind>("MapEvent"), Map<ToDoKind>("MapToDo"), MapCalendar(),
        SweepCase{"EditCalendar", EditCalendar, {-1}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel2::test
