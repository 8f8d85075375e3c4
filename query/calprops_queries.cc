// Calendar properties: one calendar by id, a walk through a filter, and a
// text search over ids, names and owners.

#include <cstring>

#include <nspr.h>
#include <plstr.h>

#include <qel2/codec.h>
#include <qel2/keys.h>
#include <qel2/log.h>
#include <qel2/query.h>
#include <qel2/store.h>

#include "foundation/out_of_memory.h"
#include "query/query_support.h"
#include "store/bdb_compat.h"

namespace {

using qel2::CalPropsPtr;
using qel2::query::MallocValue;

constexpr const char* kCalPropsFile = "calprops.db";

void SetHash(qEL2_CALPROPS* calprops, const unsigned char* hash) {
    memcpy(calprops->idHash, hash, qEL2_HASH_SIZE);
    calprops->pvtFlags |= qEL2_CAL_HASH_VALID;
}

// One field value against the pattern, by the search's match mode.
int qel2_search(const char* pattern, const char* value, unsigned mode) {
    if (pattern == nullptr || value == nullptr) {
        // Only the ends-with mode counts two absent texts as a match.
        return mode == qEL2_MATCH_ENDS && pattern == nullptr && value == nullptr;
    }
    switch (mode) {
        case qEL2_MATCH_BEGINS:
            return PL_strncasecmp(value, pattern, strlen(pattern)) == 0;
        case qEL2_MATCH_ENDS: {
            const size_t valueLength = strlen(value);
            const size_t patternLength = strlen(pattern);
            return valueLength >= patternLength &&
                   PL_strncasecmp(value + valueLength - patternLength, pattern, patternLength) == 0;
        }
        case qEL2_MATCH_EXACT:
            return PL_strcmp(value, pattern) == 0;
        default:  // CONTAINS, and every mode the search does not know
            return PL_strcasestr(value, pattern) != nullptr;
    }
}

int qel2_SearchCalPropsCompare(const qEL2_CALPROPS* calprops, const void* argument) {
    const auto* search = static_cast<const qEL2_CALPROPS_SEARCH*>(argument);
    const char* pattern = search->pPattern;
    if (pattern == nullptr) return 1;
    if ((search->iFields & qEL2_SEARCH_CALID) &&
        qel2_search(pattern, calprops->pRelativeCalID, search->iMode)) {
        return 1;
    }
    if ((search->iFields & qEL2_SEARCH_NAME) &&
        qel2_search(pattern, calprops->pName, search->iMode))
        return 1;
    if (search->iFields & qEL2_SEARCH_OWNERS) {
        if (calprops->pPrimaryOwner && qel2_search(pattern, calprops->pPrimaryOwner, search->iMode))
            return 1;
        const array_t* others = calprops->pOtherOwners;
        for (uint32_t i = 0; others != nullptr && i < others->count; ++i) {
            if (qel2_search(pattern, strarray_elementat(others, i), search->iMode)) return 1;
        }
    }
    return 0;
}

}  // namespace

extern "C" {

int qel2_pvt_ReadCalProps(char* calendarId, qEL2_CALPROPS** calprops) {
    qel2_pvt_TraceLog(1, "qel2_pvt_ReadCalProps");
    *calprops = nullptr;
    // A missing id cannot be hashed; it is a missing argument, not a crash.
    if (calendarId == nullptr) return qEL2_ERR_MISSING;

    unsigned char hash[qEL2_CALPROPS_KEY_SIZE];
    qel2_pvt_MD5Hash(calendarId, hash);
    DBT key{};
    qel2::query::UserKey(key, hash, sizeof hash, sizeof hash);
    MallocValue value;
    DB* db = gCalDB.pCalPropsDB;
    if (int result = db->get(db, nullptr, &key, value.get(), 0)) return qel2_pvt_ResultTo42(result);

    CalPropsPtr record = qel2::NewCalProps();
    if (!record)
        return qel2::LogOutOfMemory("qel2_pvt_ReadCalProps: CS_NEW: %d %s\n", qEL2_ERR_NOMEM);
    if (int decoded = qel2_pvt_DeserializeCalProps(record.get(), value.data(), value.size())) {
        return qel2::query::ReportUndecodable("qel2_pvt_ReadCalProps", kCalPropsFile, key, decoded);
    }
    SetHash(record.get(), hash);
    *calprops = record.release();
    return 0;
}

int qel2_pvt_ScanCalProps(array_t** list, uint32_t limit, const void* argument,
                          qEL2_CALPROPS_FILTER filter) {
    qel2_pvt_TraceLog(1, "qel2_pvt_ScanCalProps");
    qel2::query::Cursor cursor;
    if (cursor.open(gCalDB.pCalPropsDB) != 0) return qEL2_ERR_MISSING;
    *list = array_new();
    if (*list == nullptr) return qel2::LogOutOfMemory("qel2_pvt_ScanCalProps: %s\n");

    unsigned char keyBuffer[qEL2_CALPROPS_KEY_SIZE];
    DBT key{};
    qel2::query::UserKey(key, keyBuffer, 0, sizeof keyBuffer);
    MallocValue value;
    // Any step that fails, the end of the data or another error alike, ends
    // the walk.
    while (cursor.get()->get(cursor.get(), &key, value.get(), DB_NEXT) == 0) {
        CalPropsPtr record = qel2::NewCalProps();
        if (!record) {
            return qel2::LogOutOfMemory("qel2_pvt_ScanCalProps: CS_NEW: %d %s\n", qEL2_ERR_NOMEM);
        }
        const int decoded = qel2_pvt_DeserializeCalProps(record.get(), value.data(), value.size());
        value.release();
        if (decoded != 0) {
            // A damaged calendar is reported and skipped; the walk goes on.
            qel2::query::ReportUndecodable("qel2_pvt_ScanCalProps", kCalPropsFile, key, decoded);
            continue;
        }
        if (filter(record.get(), argument)) {
            // A list that cannot grow is reported like one that cannot be
            // created; the records kept so far stay with the caller.
            if (array_append(*list, record.get()) != 0)
                return qel2::LogOutOfMemory("qel2_pvt_ScanCalProps: %s\n");
            record.release();
        }
        if (limit != 0 && (*list)->count >= limit) break;
    }
    return 0;
}

int qel2_pvt_SearchCalProps(const char* pattern, uint32_t fields, uint32_t mode, uint32_t limit,
                            array_t** list) {
    const qEL2_CALPROPS_SEARCH search = {pattern, fields, mode};
    qel2_pvt_TraceLog(1, "qel2_pvt_SearchCalProps");
    const int result = qel2_pvt_ScanCalProps(list, limit, &search, qel2_SearchCalPropsCompare);
    // Without a pattern every calendar is listed, and the caller may read
    // each one's events at once: give each its hash.
    if (pattern == nullptr && result != qEL2_ERR_MISSING && *list != nullptr) {
        for (uint32_t i = 0; i < (*list)->count; ++i) {
            auto* calprops = static_cast<qEL2_CALPROPS*>(array_elementat(*list, i));
            if (qel2_CalHashValid(calprops) || calprops->pRelativeCalID == nullptr) continue;
            unsigned char hash[qEL2_HASH_SIZE];
            qel2_pvt_MD5Hash(calprops->pRelativeCalID, hash);
            SetHash(calprops, hash);
        }
    }
    return result;
}

}  // extern "C"
