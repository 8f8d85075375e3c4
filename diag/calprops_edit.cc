// Changes a decoded calendar in memory: its owner and category lists and
// its read and write access levels.

#include <qel2/diag.h>

#include <cstring>

namespace {

constexpr unsigned kHighestAccessLevel = 4;  // "primary"

// The comparison handed to array_locate. A null element (a list may hold
// one) never equals a name, so it is never taken for a duplicate.
int dbut_strcmp(const void* element, const void* name) {
    if (element == nullptr) return 1;
    return std::strcmp(static_cast<const char*>(element), static_cast<const char*>(name));
}

// Replace mode empties the list first and keeps every given name,
// duplicates included; the other mode appends only names not yet present.
// A failed append returns qEL2_ERR_FAILED as well: a name silently
// missing from an owner list is worse than a reported failure. Names
// appended before it stay in the list.
int SetNames(array_t*& list, char** names, int replace) {
    if (replace != 0) {
        array_free_and_destroy(&list);
        list = array_new();
        if (list == nullptr) return qEL2_ERR_FAILED;
    }
    if (names == nullptr) return 0;
    if (list == nullptr) {
        list = array_new();
        if (list == nullptr) return qEL2_ERR_FAILED;
    }
    for (char** name = names; *name != nullptr; ++name) {
        if (replace == 0 && array_locate(list, *name, dbut_strcmp) != ARRAY_NOT_FOUND) continue;
        if (strarray_append(list, *name) != 0) return qEL2_ERR_FAILED;
    }
    return 0;
}

int SetAccessLevel(qEL2_CALPROPS* calprops, unsigned level, uint32_t mask, int shift) {
    // A null calendar is refused like a bad level: nothing was set.
    if (calprops == nullptr || level > kHighestAccessLevel) return qEL2_ERR_MISSING;
    calprops->accessFlags =
        (calprops->accessFlags & ~mask) | (static_cast<uint32_t>(level) << shift);
    return 0;
}

}  // namespace

extern "C" {

int qel2dbut_SetOwners(qEL2_CALPROPS* calprops, char** owners, int replace) {
    if (calprops == nullptr) return qEL2_ERR_FAILED;
    return SetNames(calprops->pOtherOwners, owners, replace);
}

int qel2dbut_SetCategory(qEL2_CALPROPS* calprops, char** categories, int replace) {
    if (calprops == nullptr) return qEL2_ERR_FAILED;
    return SetNames(calprops->pCategoryList, categories, replace);
}

int qel2dbut_SetReadAccess(qEL2_CALPROPS* calprops, unsigned level) {
    return SetAccessLevel(calprops, level, qEL2_CAL_READ_ACCESS_MASK, 0);
}

int qel2dbut_SetWriteAccess(qEL2_CALPROPS* calprops, unsigned level) {
    return SetAccessLevel(calprops, level, qEL2_CAL_WRITE_ACCESS_MASK, qEL2_CAL_WRITE_ACCESS_SHIFT);
}

}  // extern "C"
