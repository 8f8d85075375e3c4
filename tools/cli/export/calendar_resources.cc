#include "calendar_resources.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string>
#include <type_traits>
#include <vector>

#include <qel2/keys.h>
#include <qel2/query.h>
#include <qel2/query_internal.h>

#include "cli_error.h"
#include "file_names.h"
#include "hex.h"
#include "ics_line.h"
#include "ics_time.h"
#include "item_kinds.h"
#include "item_writer.h"
#include "property_writer.h"
#include "skipped_records.h"

namespace qel2::cli::exporter {

namespace {

// Which kind the report of passed-over records walks.
template <class Kind>
constexpr RecordKind kRecordKind =
    std::is_same_v<Kind, EventItems> ? RecordKind::kEvent : RecordKind::kToDo;

// The component of either kind, chosen by the record's type.
bool AppendItem(std::string& out, const qEL2_VEVENT& event, const ItemPlan& plan,
                RecordNotes& notes) {
    return AppendEvent(out, event, plan, notes);
}
bool AppendItem(std::string& out, const qEL2_VTODO& todo, const ItemPlan& plan,
                RecordNotes& notes) {
    return AppendToDo(out, todo, plan, notes);
}

class CalendarStream {
public:
    CalendarStream(qEL2_CALPROPS& calendar, uint32_t readFlags, CalendarReport& report,
                   const ResourceSink& sink)
        : calendar_(calendar),
          readFlags_(readFlags),
          report_(report),
          sink_(sink),
          header_(CalendarHeader(calendar)) {}

    // The records of one kind, grouped by UID as the walk meets them: the
    // key order keeps a UID's records together, master first.
    template <class Kind>
    void Walk() {
        GroupedWalk<Kind> state{
            this, nullptr, {}, SkippedRecords(kRecordKind<Kind>, calendar_, report_)};
        array_t* list = nullptr;
        state.list = &list;
        const int result =
            Kind::Scan(&calendar_, &list, readFlags_, &state, &GroupedWalk<Kind>::Filter);
        if (list != nullptr && !state.failure) state.Flush();
        if (list != nullptr) {
            state.FreeAll();
            std::free(list);
        }
        if (state.failure) std::rethrow_exception(state.failure);
        if (result == 0) state.skipped.Finish();
        if (result != 0)
            throw qel2::cli::CliError(std::string("reading the ") + Kind::kWhat +
                                      " of calendar \"" + report_.calendarId() +
                                      "\" failed (result " + std::to_string(result) + ")");
    }

private:
    template <class Kind>
    struct GroupedWalk {
        using Record = typename Kind::Record;
        CalendarStream* stream;
        array_t** list = nullptr;
        std::exception_ptr failure;
        SkippedRecords skipped;

        // Called by the library for each record; nothing may be thrown
        // through it, so a failure is kept and the rest of the walk skipped.
        static int Filter(const void* record, const void* argument) {
            auto* self = static_cast<GroupedWalk*>(const_cast<void*>(argument));
            if (self->failure) return 0;
            try {
                return self->Offer(static_cast<const Record*>(record));
            } catch (...) {
                self->failure = std::current_exception();
                return 0;
            }
        }

        int Offer(const Record* record) {
            skipped.Offered(record->pUID, record->RecurrenceID);
            const qEL2_RANGE_FILTER everything = {stream->readFlags_, 0, 0};
            if (!Kind::InWindow(record, &everything)) return 0;
            array_t* group = *list;
            if (group != nullptr && group->count > 0 &&
                Uid(static_cast<const Record*>(group->elements[0])) != Uid(record))
                Flush();
            return 1;
        }

        static std::string_view Uid(const Record* record) {
            return record->pUID ? record->pUID : "";
        }

        void Flush() {
            array_t* group = *list;
            std::vector<const Record*> records;
            for (uint32_t i = 0; i < group->count; ++i)
                records.push_back(static_cast<const Record*>(group->elements[i]));
            if (!records.empty()) stream->WriteGroup<Kind>(records);
            FreeAll();
        }

        void FreeAll() {
            array_t* group = *list;
            for (uint32_t i = 0; i < group->count; ++i) {
                typename Kind::Owned released(static_cast<Record*>(group->elements[i]));
            }
            array_removeall(group);
        }
    };

    template <class Kind>
    RecordRef Ref(const typename Kind::Record& record) {
        unsigned char key[qEL2_EVENT_KEY_SIZE];
        qel2_pvt_CompHashCore(&calendar_, record.pUID ? record.pUID : "", record.RecurrenceID, key);
        return RecordRef{Kind::kDatabase,
                         qel2::tools::ToUtf8(record.pUID ? record.pUID : "", record.pCharset).text,
                         record.RecurrenceID, qel2::tools::ToHex(key, sizeof key)};
    }

    // Writes one record into `out`; false when it is left out.
    template <class Kind>
    bool WriteRecord(std::string& out, const typename Kind::Record& record, const ItemPlan& plan,
                     RecordNotes notes) {
        const bool written = AppendItem(out, record, plan, notes);
        if (!notes.entries().empty()) report_.AddRecord(Ref<Kind>(record), notes.entries());
        if (written)
            ++(std::is_same_v<Kind, EventItems> ? report_.counts().events : report_.counts().todos);
        return written;
    }

    template <class Kind>
    void WriteGroup(const std::vector<const typename Kind::Record*>& records) {
        const auto& first = *records.front();
        RecordNotes groupNotes;
        std::string uid = qel2::tools::ToUtf8(first.pUID ? first.pUID : "", first.pCharset).text;
        bool uidChanged = false;
        if (uid.empty()) {
            uid = "qel2-no-uid";
            uidChanged = true;
            groupNotes.Add(Outcome::kRepaired, "UID set to qel2-no-uid", "the record has no UID");
        }
        UidDigest digest;
        qel2_pvt_MD5Hash(first.pUID ? first.pUID : "", digest.data());
        if constexpr (std::is_same_v<Kind, EventItems>) {
            eventUids_.push_back(digest);
        } else if (EventHasUid(digest)) {
            uid += "-todo";
            uidChanged = true;
            groupNotes.Add(
                Outcome::kRepaired, "UID changed to " + uid,
                "an event of the calendar has the same UID, and a resource holds one kind");
        }

        std::string components;
        const typename Kind::Record* master = first.RecurrenceID == 0 ? &first : nullptr;
        ItemPlan plan{uid, uidChanged, false, master && Kind::StartIsDate(*master), false};
        if (master != nullptr && !WriteRecord<Kind>(components, *master, plan, groupNotes))
            master = nullptr;
        for (const auto* record : records) {
            if (record == &first && first.RecurrenceID == 0) continue;
            if (master != nullptr) {
                ItemPlan instance = plan;
                instance.writeRecurrenceId = true;
                instance.rulesAsX = true;
                WriteRecord<Kind>(components, *record, instance, groupNotes);
                continue;
            }
            // An instance without its master stands alone.
            ItemPlan alone{uid + "-" + IcsDateTime(record->RecurrenceID), true, false, false,
                           false};
            RecordNotes notes = groupNotes;
            notes.Add(Outcome::kRepaired,
                      "instance written as an event of its own with UID " + alone.uid,
                      "its master (recurrence id 0) is missing, deleted or left out");
            std::string single;
            if (WriteRecord<Kind>(single, *record, alone, notes)) Hand(alone.uid, single);
        }
        if (!components.empty()) Hand(uid, components);
    }

    void Hand(const std::string& uid, const std::string& components) {
        CalendarResource resource;
        resource.uid = uid;
        resource.fileName = SafeFileName(uid, ".ics");
        resource.text.reserve(header_.size() + components.size() + kCalendarEnd.size());
        resource.text = header_;
        resource.componentsBegin = resource.text.size();
        resource.text += components;
        resource.componentsEnd = resource.text.size();
        resource.text += kCalendarEnd;
        ++report_.counts().resources;
        sink_(resource);
    }

    qEL2_CALPROPS& calendar_;
    uint32_t readFlags_;
    CalendarReport& report_;
    const ResourceSink& sink_;
    std::string header_;
    // The digests of the events' UIDs, for the to-dos that share one: 16
    // bytes a UID keep memory small for the largest calendar.
    using UidDigest = std::array<unsigned char, qEL2_HASH_SIZE>;
    std::vector<UidDigest> eventUids_;
    bool eventUidsSorted_ = false;

    bool EventHasUid(const UidDigest& digest) {
        if (!eventUidsSorted_) std::sort(eventUids_.begin(), eventUids_.end());
        eventUidsSorted_ = true;
        return std::binary_search(eventUids_.begin(), eventUids_.end(), digest);
    }
};

}  // namespace

void StreamCalendarResources(qEL2_CALPROPS& calendar, uint32_t readFlags, CalendarReport& report,
                             const ResourceSink& sink) {
    CalendarStream stream(calendar, readFlags, report, sink);
    stream.Walk<EventItems>();
    stream.Walk<ToDoItems>();
}

std::string CalendarHeader(const qEL2_CALPROPS& calendar) {
    std::string out;
    RecordNotes notes;  // the calendar's own text is not a record of the report
    PropertyWriter writer(out, notes, calendar.pCharSet);
    AppendBegin(out, "VCALENDAR");
    writer.Raw("VERSION", "2.0");
    writer.Raw("PRODID", "-//qel2caldb//qel2caldb export " QEL2_VERSION "//EN");
    writer.Text("X-WR-CALNAME", calendar.pName);
    writer.Text("X-WR-CALDESC", calendar.pDescription);
    writer.Text("X-QEL2-CALID", calendar.pRelativeCalID);
    return out;
}

}  // namespace qel2::cli::exporter
