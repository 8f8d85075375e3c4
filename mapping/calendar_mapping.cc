// Calendar properties into the server's CALDB_CALPROPS, the old access
// levels into its access list.
#include <qel2/log.h>
#include <qel2/mapping.h>

#include <cstring>

#include <prprf.h>

#include "host_fields.h"

using namespace qel2::mapping;

namespace {

// The access bits taken from the store; flag11 is cleared, the rest kept.
constexpr uint32_t kMappedAccessBits = CALDB_CAL_READ_ACCESS_MASK | CALDB_CAL_WRITE_ACCESS_MASK |
                                       CALDB_CAL_FLAG8 | CALDB_CAL_DISABLED | CALDB_CAL_FLAG11;

uint32_t MapAccessFlags(uint32_t source, uint32_t target) {
    const uint32_t mapped = qel2_CalReadAccess(source) |
                            qel2_CalWriteAccess(source) << CALDB_CAL_WRITE_ACCESS_SHIFT |
                            BitIf(qel2_CalFlag8(source), CALDB_CAL_FLAG8) |
                            BitIf(qel2_CalDisabled(source), CALDB_CAL_DISABLED);
    return ReplaceBits(target, kMappedAccessBits, mapped);
}

// A calendar whose id is its primary owner's id is that owner's own
// calendar. A missing owner or id never counts as one: nothing proves the
// calendar belongs to anybody.
bool IsOwnerCalendar(const qEL2_CALPROPS& source) {
    return source.pPrimaryOwner != nullptr && source.pRelativeCalID != nullptr &&
           strcmp(source.pPrimaryOwner, source.pRelativeCalID) == 0;
}

bool IsPolicy(int32_t policy) { return policy >= 0 && policy <= 2; }

bool Grants(int32_t policy, bool ownerCalendar) {
    return policy == 0 || (policy == 1 && ownerCalendar);
}

// The rights text for "@" (every user), or null when "@" gets no entry.
// Each policy governs one right ("s" schedule, "f" free/busy): 0 grants it,
// 1 grants it on the primary owner's own calendar only, 2 withholds it. A
// policy outside 0 to 2 makes no entry at all.
const char* EveryoneRights(int32_t sPolicy, int32_t fPolicy, bool ownerCalendar) {
    if (!IsPolicy(sPolicy) || !IsPolicy(fPolicy)) return nullptr;
    const bool s = Grants(sPolicy, ownerCalendar);
    const bool f = Grants(fPolicy, ownerCalendar);
    if (s && f) return "sf";
    if (s) return "s";
    if (f) return "f";
    return nullptr;
}

// An entry that cannot be made or appended is left out and the mapping
// goes on: a missing entry grants less, never more.
void AppendEntry(array_t* acl, int32_t inherit, const char* principal, const char* rights) {
    CALDB_ACE* ace = acl_caldb_ace_NEW(1, 1, inherit, principal, rights);
    if (ace != nullptr && array_append(acl, ace) != 0) ReleaseUnattached(ace);
}

// Every other owner may read (inherited by child calendars) and write and
// delete (this calendar only).
void AppendOwnerEntries(array_t* acl, const array_t* otherOwners) {
    const uint32_t count = otherOwners != nullptr ? otherOwners->count : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const char* owner = strarray_elementat(otherOwners, i);
        AppendEntry(acl, 1, owner, "r");
        AppendEntry(acl, 0, owner, "wd");
    }
}

}  // namespace

extern "C" int32_t CalPropsMapping(const qEL2_CALPROPS* source, CALDB_CALPROPS** target,
                                   int32_t sPolicy, int32_t fPolicy, int32_t printOwner,
                                   PRFileDesc* out, int32_t traceLevel) {
    if (source == nullptr || target == nullptr || *target == nullptr) return qEL2_ERR_MISSING;
    const qEL2_CALPROPS& s = *source;
    CALDB_CALPROPS& t = **target;

    t.access_flags = MapAccessFlags(s.accessFlags, t.access_flags);
    const bool ownerCalendar = IsOwnerCalendar(s);
    acl_misc_read_write_bits_to_acl(t.access_flags, &t.acl);
    if (const char* rights = EveryoneRights(sPolicy, fPolicy, ownerCalendar)) {
        AppendEntry(t.acl, 1, "@", rights);
    }

    if (!(StoreCopy(t.description, s.pDescription) && StoreCopy(t.parent_calid, s.pParentCalID) &&
          StoreCopy(t.cal_master, s.pCalMaster) && StoreCopy(t.name, s.pName) &&
          StoreCopy(t.charset, s.pCharSet) && StoreCopy(t.language, s.pLanguage) &&
          StoreCopy(t.primary_owner, s.pPrimaryOwner))) {
        return qEL2_ERR_MISSING;
    }
    if ((printOwner != 0 || traceLevel >= 1) && out != nullptr) {
        PR_fprintf(out, "Primary Owner: %s\n", t.primary_owner);
    }
    if (!StoreCopy(t.extra, s.pExtra)) return qEL2_ERR_MISSING;

    // The other owners reach the server only as access-list entries.
    if (!StoreListCopy(t.owners, nullptr)) return qEL2_ERR_MISSING;
    AppendOwnerEntries(t.acl, s.pOtherOwners);

    if (!StoreListCopy(t.children, s.pChildList) || !StoreListCopy(t.categories, s.pCategoryList)) {
        return qEL2_ERR_MISSING;
    }
    t.host_data1 = s.lHostData1;
    t.host_data2 = s.lHostData2;
    t.host_data3 = s.lHostData3;
    return qEL2_OK;
}
