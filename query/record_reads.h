// The single read of an event or to-do, its fetch and decode, and the step
// that follows a link into another calendar: one algorithm for both kinds
// (record_kinds.h).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <db.h>

#include <qel2/keys.h>
#include <qel2/log.h>
#include <qel2/query.h>

#include "foundation/out_of_memory.h"
#include "query/query_support.h"
#include "store/bdb_compat.h"

namespace qel2::query {

// Links are followed across at most this many calendars in a row. A link
// normally goes straight to the calendar that keeps the record, and a
// relinked record adds a hop or two; a longer chain is a cycle through
// several calendars, which would otherwise recurse until the stack ran out.
inline constexpr int kMaxLinkHops = 8;

template <class Kind>
using RecordOf = typename Kind::Record;
// A record not yet handed to the caller, released by its kind's destructor.
template <class Kind>
using OwnedOf = qel2::Owned<RecordOf<Kind>, Kind::Free>;

template <class Kind>
int ReadRecordCore(qEL2_CALPROPS* calendar, DBT* key, DBT* value, uint32_t flags,
                   RecordOf<Kind>** out, int hops);

// Follows the link record `link` (held by `calendar`, or by an unknown
// calendar when null); `hops` counts the links followed so far, this one
// included.
template <class Kind>
int ReadLinkedRecord(qEL2_CALPROPS* calendar, RecordOf<Kind>* link, RecordOf<Kind>** out,
                     uint32_t flags, int hops);

template <class Kind>
int ReadRecord(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
               RecordOf<Kind>** out, int hops) {
    qel2_pvt_TraceLog(1, "%s", Kind::kRead);
    if (uid == nullptr) return qEL2_ERR_MISSING;
    unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE] = {};
    qel2_pvt_CompHashCore(calendar, uid, static_cast<uint32_t>(recurrenceId), keyBuffer);
    *out = nullptr;
    DBT key{};
    DBT value{};
    key.data = keyBuffer;
    return ReadRecordCore<Kind>(calendar, &key, &value, flags, out, hops);
}

// The core read of a host, whose descriptors are 4.2's: translated in, and
// only the fields 4.2 has written back.
template <class Kind>
int ReadRecordCoreFrom42(qEL2_CALPROPS* calendar, qEL2_DBT* key42, qEL2_DBT* value42,
                         uint32_t flags, RecordOf<Kind>** out) {
    DBT key;
    DBT value;
    qel2_pvt_DbtFrom42(key42, &key);
    qel2_pvt_DbtFrom42(value42, &value);
    const int result = ReadRecordCore<Kind>(calendar, &key, &value, flags, out, 0);
    qel2_pvt_DbtTo42(&key, key42);
    qel2_pvt_DbtTo42(&value, value42);
    return result;
}

template <class Kind>
int ReadRecordCore(qEL2_CALPROPS* calendar, DBT* key, DBT* value, uint32_t flags,
                   RecordOf<Kind>** out, int hops) {
    UserKey(*key, static_cast<unsigned char*>(key->data), qEL2_EVENT_KEY_SIZE, qEL2_EVENT_KEY_SIZE);
    MallocValue fetched(value);
    if constexpr (Kind::kTraceCoreAndScan) qel2_pvt_TraceLog(1, "%s", Kind::kReadCore);
    DB* db = Kind::Database();
    // Not stored or not fetched: either way the caller has no record.
    if (db->get(db, nullptr, key, fetched.get(), 0) != 0) return qEL2_ERR_NOT_FOUND;

    *out = Kind::New();
    if (*out == nullptr) return LogOutOfMemory(Kind::kCoreNewFailed, qEL2_ERR_NOMEM);
    if (int decoded = Kind::Decode(*out, fetched.data(), fetched.size())) {
        Kind::Free(out);
        return ReportUndecodable(Kind::kReadCore, Kind::kFile, *key, decoded);
    }
    (*out)->RecurrenceID = qel2_KeyRecurrenceId(static_cast<const unsigned char*>(key->data));
    if (!(flags & qEL2_READ_TOMBSTONES) && Kind::Tombstoned(*out)) {
        Kind::Free(out);
        return qEL2_ERR_NOT_FOUND;
    }
    if (Kind::IsLink(*out)) {
        // The linked record takes the link's place; a link that cannot be
        // followed leaves no record, and the read still returns 0.
        OwnedOf<Kind> link(*out);
        ReadLinkedRecord<Kind>(calendar, link.get(), out, flags, hops + 1);
    }
    return 0;
}

template <class Kind>
int ReadLinkedRecord(qEL2_CALPROPS* calendar, RecordOf<Kind>* link, RecordOf<Kind>** out,
                     uint32_t flags, int hops) {
    qel2_pvt_TraceLog(1, "%s", Kind::kReadLinked);
    *out = nullptr;
    if (link->pURL == nullptr) return qEL2_ERR_MISSING;
    if (hops > kMaxLinkHops) {
        // Logged once, at the hop that gives up; the reads above it only
        // see a link that could not be followed.
        qel2_Log(qEL2_LOG_ERROR,
                 "%s: more than %d links in a row, not followed at calendar %s, uid %s\n",
                 Kind::kReadLinked, kMaxLinkHops, link->pURL, link->pUID ? link->pUID : "(none)");
        return qEL2_ERR_STORE;
    }
    qEL2_CALPROPS* read = nullptr;
    if (qel2_pvt_ReadCalProps(link->pURL, &read) != 0) return qEL2_ERR_MISSING;
    qel2::CalPropsPtr linked(read);
    if (calendar != nullptr && calendar->pRelativeCalID != nullptr &&
        strcmp(calendar->pRelativeCalID, link->pURL) == 0) {
        return qEL2_ERR_SELF_LINK;
    }
    int result = ReadRecord<Kind>(linked.get(), link->pUID,
                                  static_cast<int32_t>(link->RecurrenceID), flags, out, hops);
    if (result != 0 || *out == nullptr) return qEL2_ERR_STORE;
    Kind::MarkLinked(*out);
    free((*out)->pLinkedCalID);
    (*out)->pLinkedCalID = strdup(link->pURL);
    return 0;
}

}  // namespace qel2::query
