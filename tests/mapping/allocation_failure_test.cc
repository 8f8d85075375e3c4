// Memory running out at every allocating host call in turn: the mappings
// return 1, and releasing the half-filled host record leaks nothing (the
// AddressSanitizer build checks for leaks).
#include <gtest/gtest.h>

#include <qel2/host_faults.h>

#include <cstring>

#include "mapping_fixtures.h"
#include "support/string_list.h"

namespace {

using namespace qel2test;

// Runs `map` with the first n host allocations allowed, for n = 0, 1, ...
// until a run leaves an allowance unused, which it must finish with 0.
// Every earlier run must return 1, except the one whose allocations used
// the allowance up exactly and, where `entriesMaySkip`, runs in which only
// an access-list entry was refused (the mapping leaves such entries out).
template <typename Map>
int RunsUntilSuccess(Map map, bool entriesMaySkip = false) {
    int silentRuns = 0;
    for (int n = 0; n < 10000; ++n) {
        qel2host_FailAllocationsAfter(n);
        const int32_t result = map();
        const bool allowanceLeft = qel2host_AllocationAllowed();
        qel2host_FailAllocationsAfter(-1);
        if (allowanceLeft) {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(entriesMaySkip || silentRuns <= 1) << silentRuns << " runs succeeded early";
            return n;
        }
        if (result == 0) ++silentRuns;
        else EXPECT_EQ(result, 1) << "allocations allowed: " << n;
    }
    ADD_FAILURE() << "the mapping never succeeded";
    return -1;
}

template <typename Kind>
class ItemAllocationFailure : public testing::Test {};

TYPED_TEST_SUITE(ItemAllocationFailure, ItemKinds);

TYPED_TEST(ItemAllocationFailure, EveryRefusalReturnsOneWithoutLeaks) {
    ItemPair<TypeParam> pair;
    auto map = [&pair] {
        typename TypeParam::Target* target = TypeParam::NewTarget();
        const int32_t result = TypeParam::Map(pair.source, &target, "org-id", nullptr, 0);
        TypeParam::Free(&target);
        return result;
    };
    // 3 attendees, 1 alarm and the string lists make many allocations.
    EXPECT_GT(RunsUntilSuccess(map), 30);
}

TEST(CalPropsAllocationFailure, EveryRefusalReturnsOneOrSkipsAnEntryWithoutLeaks) {
    qEL2_CALPROPS* source = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    source->accessFlags = 0x11;
    source->pPrimaryOwner = strdup("jdoe");
    source->pRelativeCalID = strdup("jdoe");
    source->pOtherOwners = StringList({"a", "b"});
    source->pChildList = StringList({"c"});
    source->pCategoryList = StringList({"work", "home"});
    auto map = [source] {
        CALDB_CALPROPS* target = caldb_NewCalProps();
        const int32_t result = CalPropsMapping(source, &target, 0, 0, 0, nullptr, 0);
        caldb_FreeCalProps(&target);
        return result;
    };
    EXPECT_GT(RunsUntilSuccess(map, true), 10);
    qel2_FreeCalProps(&source);
}

}  // namespace
