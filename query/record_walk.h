// The walk over one calendar's events or to-dos: from the calendar's first
// key to the first key of another calendar, each record decoded, a link
// replaced by the record it stands for, and the caller's filter deciding
// what is kept. One algorithm for both kinds (record_kinds.h).
#pragma once

#include <cstdint>

#include <db.h>

#include <qel2/keys.h>
#include <qel2/log.h>
#include <qel2/query.h>

#include "foundation/out_of_memory.h"
#include "query/query_support.h"
#include "query/record_reads.h"
#include "store/bdb_compat.h"

namespace qel2::query {

// Decodes one stored record and offers it (or the record its link stands
// for) to the filter; a kept record goes into the list. qEL2_ERR_NOMEM
// when the list cannot grow, else 0: a damaged value or a link that cannot
// be followed only drops its entry.
template <class Kind>
int OfferRecord(qEL2_CALPROPS* calendar, const DBT& key, MallocValue& value, uint32_t flags,
                const void* argument, qEL2_RECORD_FILTER filter, OwnedOf<Kind>& record,
                array_t* list) {
    const int decoded = Kind::Decode(record.get(), value.data(), value.size());
    value.release();
    if (decoded != 0) {
        ReportUndecodable(Kind::kScan, Kind::kFile, key, decoded);
        return 0;
    }
    record->RecurrenceID = qel2_KeyRecurrenceId(static_cast<const unsigned char*>(key.data));
    OwnedOf<Kind> link;
    if (Kind::IsLink(record.get())) {
        // Every link takes the same step as a single read's link: its own
        // trace line, calendar read and self-link test, so a host sees a
        // walk's links exactly as it sees them one by one.
        link.reset(record.release());
        RecordOf<Kind>* linked = nullptr;
        if (ReadLinkedRecord<Kind>(calendar, link.get(), &linked, flags, 1) != 0) return 0;
        record.reset(linked);
    }
    if (!filter(record.get(), argument)) return 0;
    if (array_append(list, record.get()) != 0) {
        // Not one of the walk's own failures: reported in its own words,
        // and the records kept so far stay with the caller.
        return LogOutOfMemory("%s: array_append returned %d %s\n", Kind::kScan, qEL2_ERR_NOMEM);
    }
    record.release();
    return 0;
}

template <class Kind>
int ScanRecords(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags, const void* argument,
                qEL2_RECORD_FILTER filter) {
    if constexpr (Kind::kTraceCoreAndScan) qel2_pvt_TraceLog(1, "%s", Kind::kScan);
    Cursor cursor;
    if (int opened = cursor.open(Kind::Database())) {
        const int code42 = qel2_pvt_ResultTo42(opened);
        qel2_Log(qEL2_LOG_ERROR, Kind::kScanCursorFailed, code42);
        return Kind::CursorFailure(code42);
    }
    unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE];
    qEL2_DBT key42;
    qEL2_DBT data42;
    qel2_KeyLocateByCalendar(&key42, &data42, keyBuffer, calendar);
    DBT key;
    DBT data;
    qel2_pvt_DbtFrom42(&key42, &key);
    qel2_pvt_DbtFrom42(&data42, &data);
    MallocValue value(&data);
    *list = array_new();
    if (*list == nullptr) return LogOutOfMemory(Kind::kScanListFailed, qEL2_ERR_NOMEM);

    DBC* dbc = cursor.get();
    // From the calendar's first key the cursor steps to the next record
    // (DB_NEXT) rather than searching again for the key after the one just
    // read: a step is faster, and never has to go past recurrence id
    // 4294967295, where adding one would wrap around to the same record.
    int end = 0;  // 0 once the calendar is exhausted
    for (uint32_t position = DB_SET_RANGE;; position = DB_NEXT) {
        end = dbc->get(dbc, &key, value.get(), position);
        if (end != 0 || qel2_pvt_IdCompare(keyBuffer, calendar->idHash) != 0) break;
        OwnedOf<Kind> record(Kind::New());
        if (!record) {
            value.release();
            if constexpr (Kind::kScanNewFailed != nullptr) {
                return LogOutOfMemory(Kind::kScanNewFailed, qEL2_ERR_NOMEM);
            }
            end = qEL2_ERR_NOMEM;
            break;
        }
        if (int result =
                OfferRecord<Kind>(calendar, key, value, flags, argument, filter, record, *list)) {
            return result;
        }
    }
    if (end != 0 && end != DB_NOTFOUND)
        qel2_Log(qEL2_LOG_ERROR, Kind::kScanEnded, qel2_pvt_ResultTo42(end));
    return 0;
}

}  // namespace qel2::query
