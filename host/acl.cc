// Access-control entries of a calendar, and the entries that the old
// read and write access levels stand for.
#include <qel2/standin_host.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char kRightLetters[] = "rwdsf";

bool IsZeroOrOne(int32_t value) { return value == 0 || value == 1; }

bool IsRightsText(const char* rights) {
    return rights != nullptr && rights[0] != '\0' &&
           strspn(rights, kRightLetters) == strlen(rights);
}

// The principal that an access level hands its right to; null where the
// level grants nothing by itself.
const char* PrincipalForLevel(uint32_t level) {
    switch (level) {
        case CALDB_ACCESS_PRIVATE:
            return "@owners";
        case CALDB_ACCESS_PUBLIC:
            return "@";
        case CALDB_ACCESS_DOMAIN:
            return "@domain";
        case CALDB_ACCESS_PRIMARY:
            return "@primary";
        default:
            return nullptr;  // control, and levels the store never wrote
    }
}

// Appends the entry for one level; false when memory ran out.
bool AppendLevelEntry(array_t* acl, uint32_t level, int32_t inherit, const char* right) {
    const char* principal = PrincipalForLevel(level);
    if (principal == nullptr) return true;
    CALDB_ACE* ace = acl_caldb_ace_NEW(1, 1, inherit, principal, right);
    if (ace == nullptr) return false;
    if (array_append(acl, ace) != 0) {
        acl_caldb_ace_FREE(&ace);
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

CALDB_ACE* acl_caldb_ace_NEW(int32_t grant, int32_t scope, int32_t inherit, const char* principal,
                             const char* rights) {
    if (!IsZeroOrOne(grant) || !IsZeroOrOne(scope) || !IsZeroOrOne(inherit)) return nullptr;
    if (principal == nullptr || principal[0] == '\0' || !IsRightsText(rights)) return nullptr;
    auto* ace = static_cast<CALDB_ACE*>(calloc(1, sizeof(CALDB_ACE)));
    if (ace == nullptr) return nullptr;
    ace->grant = grant;
    ace->scope = scope;
    ace->inherit = inherit;
    ace->principal = strdup(principal);
    ace->rights = strdup(rights);
    if (ace->principal == nullptr || ace->rights == nullptr) acl_caldb_ace_FREE(&ace);
    return ace;
}

void acl_caldb_ace_FREE(CALDB_ACE** ace) {
    if (ace == nullptr || *ace == nullptr) return;
    free((*ace)->principal);
    free((*ace)->rights);
    free(*ace);
    *ace = nullptr;
}

int acl_misc_read_write_bits_to_acl(uint32_t bits, array_t** acl) {
    if (acl == nullptr) return -1;
    acl_caldb_FreeACL(acl);
    *acl = array_new();
    if (*acl == nullptr) return -1;
    // Read rights flow down to child calendars; write rights stay here.
    const bool complete = AppendLevelEntry(*acl, caldb_CalReadAccess(bits), 1, "r") &&
                          AppendLevelEntry(*acl, caldb_CalWriteAccess(bits), 0, "w");
    return complete ? 0 : -1;
}

}  // extern "C"
