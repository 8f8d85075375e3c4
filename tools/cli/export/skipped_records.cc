#include "skipped_records.h"

#include <cstring>

#include <qel2/codec.h>
#include <qel2/key_order.h>
#include <qel2/keys.h>
#include <qel2/owned.h>
#include <qel2/query.h>
#include <qel2/query_internal.h>
#include <qel2/store.h>
#include <qel2/store_internal.h>

#include "hex.h"
#include "item_kinds.h"
#include "utf8_text.h"

namespace qel2::cli::exporter {

namespace {

// A key over one of this walk's key buffers, each an event key long.
DBT UserKey(unsigned char* buffer, uint32_t size) {
    DBT key{};
    qel2::UserKey(key, buffer, size, qEL2_EVENT_KEY_SIZE);
    return key;
}

// No bytes of the value: the cursor only steps over keys, and values are
// read for passed-over keys alone.
DBT KeysOnly() {
    DBT value{};
    value.flags = DB_DBT_PARTIAL | DB_DBT_USERMEM;
    return value;
}

// Why a stored value the walk did not return is not written. A record
// that does not decode is lost: left out. A link whose target cannot be
// read holds no event of its own: reported, and the export goes on. A link
// to a deleted record is deleted itself: nothing to say.
template <class Kind>
void Explain(qEL2_CALPROPS& calendar, const DBT& value, RecordRef& ref, RecordNotes& notes) {
    typename Kind::Owned record(Kind::New());
    if (!record) return notes.Add(Outcome::kLeftOut, "record left out", "no memory to read it");
    const int decoded = Kind::Decode(record.get(), value);
    if (decoded != 0)
        return notes.Add(Outcome::kLeftOut, "record left out",
                         "the stored value of " + std::to_string(value.size) +
                             " bytes does not decode (result " + std::to_string(decoded) + ")");
    ref.uid = qel2::tools::ToUtf8(record->pUID ? record->pUID : "", record->pCharset).text;
    if (!Kind::IsLink(*record))
        return notes.Add(Outcome::kLeftOut, "record left out", "the store did not return it");
    typename Kind::Record* target = nullptr;
    const int read = Kind::ReadLinked(&calendar, record.get(), &target);
    typename Kind::Owned owned(target);
    if (read == 0 && owned && Kind::Deleted(*owned)) return;
    notes.Add(Outcome::kRepaired, "dangling link left out",
              "it links to calendar \"" +
                  qel2::tools::ToUtf8(record->pURL ? record->pURL : "", nullptr).text +
                  "\", which does not hold the record (or links back to this one); a link holds no "
                  "data of its own");
}

}  // namespace

SkippedRecords::SkippedRecords(RecordKind kind, qEL2_CALPROPS& calendar, CalendarReport& report)
    : kind_(kind),
      calendar_(calendar),
      report_(report),
      db_(kind == RecordKind::kEvent ? gCalDB.pEventDB : gCalDB.pToDoDB) {
    if (db_ == nullptr || cursor_.open(db_) != 0) {
        ended_ = true;
        return;
    }
    std::memcpy(key_, calendar_.idHash, qEL2_HASH_SIZE);
    DBT key = UserKey(key_, qEL2_HASH_SIZE);
    DBT value = KeysOnly();
    atKey_ = cursor_.read(&key, &value, DB_SET_RANGE) == 0 && key.size == qEL2_EVENT_KEY_SIZE &&
             qel2_pvt_IdCompare(key_, calendar_.idHash) == 0;
    ended_ = !atKey_;
}

bool SkippedRecords::Step() {
    DBT key = UserKey(key_, qEL2_EVENT_KEY_SIZE);
    DBT value = KeysOnly();
    atKey_ = cursor_.read(&key, &value) == 0 && key.size == qEL2_EVENT_KEY_SIZE &&
             qel2_pvt_IdCompare(key_, calendar_.idHash) == 0;
    ended_ = !atKey_;
    return atKey_;
}

void SkippedRecords::Offered(const char* uid, uint32_t recurrenceId) {
    if (ended_) return;
    unsigned char offered[qEL2_EVENT_KEY_SIZE];
    qel2_pvt_CompHashCore(&calendar_, uid ? uid : "", recurrenceId, offered);
    const DBT offeredKey = UserKey(offered, qEL2_EVENT_KEY_SIZE);
    while (atKey_) {
        const DBT current = UserKey(key_, qEL2_EVENT_KEY_SIZE);
        const int order = EventKeyCompare(db_, &current, &offeredKey);
        if (order == 0) {
            Step();
            return;
        }
        if (order > 0) return;  // the offered record is not this calendar's own key
        ReportCurrent();
        Step();
    }
}

void SkippedRecords::Finish() {
    while (atKey_) {
        ReportCurrent();
        Step();
    }
}

void SkippedRecords::ReportCurrent() {
    RecordRef ref{qel2_asDBFiles[kind_ == RecordKind::kEvent ? qEL2_FILE_EVENTS : qEL2_FILE_TODOS],
                  "", qel2_KeyRecurrenceId(key_), qel2::tools::ToHex(key_, qEL2_EVENT_KEY_SIZE)};
    unsigned char keyCopy[qEL2_EVENT_KEY_SIZE];
    std::memcpy(keyCopy, key_, sizeof keyCopy);
    DBT key = UserKey(keyCopy, qEL2_EVENT_KEY_SIZE);
    qel2::MallocValue value;
    RecordNotes notes;
    if (db_->get(db_, nullptr, &key, value.get(), 0) == 0) {
        if (kind_ == RecordKind::kEvent)
            Explain<EventItems>(calendar_, *value.get(), ref, notes);
        else
            Explain<ToDoItems>(calendar_, *value.get(), ref, notes);
    } else {
        notes.Add(Outcome::kLeftOut, "record left out", "its value cannot be read");
    }
    if (!notes.entries().empty()) report_.AddRecord(ref, notes.entries());
}

}  // namespace qel2::cli::exporter
