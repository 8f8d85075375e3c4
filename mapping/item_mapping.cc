// Events and to-dos into the server's CALDB_EVENT and CALDB_TODO, with their
// attendees and alarms.
#include <qel2/log.h>
#include <qel2/mapping.h>

#include <ctime>

#include <prprf.h>

#include "host_fields.h"

using namespace qel2::mapping;

namespace {

// The server's code for an attendee brought over from the old store.
constexpr int32_t kMappedAttendeeCode = 2;

}  // namespace

// The reply-requested flag (bRSVP) has no place in the server's attendee,
// and its second word is the server's own.
extern "C" int32_t AttendeeMapping(const qEL2_ATTENDEE* source, CALDB_ATTENDEE** target) {
    if (source == nullptr || target == nullptr || *target == nullptr) return qEL2_ERR_MISSING;
    const qEL2_ATTENDEE& s = *source;
    CALDB_ATTENDEE& t = **target;

    if (!(StoreCopy(t.cal_address, s.pCalAddress) && StoreCopy(t.cutype, s.pCUType) &&
          StoreListCopy(t.member, s.pMember) && StoreListCopy(t.delegated_to, s.pDelegatedTo) &&
          StoreListCopy(t.delegated_from, s.pDelegatedFrom) && StoreCopy(t.role, s.pRole) &&
          StoreCopy(t.cn, s.pCN) && StoreCopy(t.dir, s.pDir) && StoreCopy(t.sent_by, s.pSentBy) &&
          StoreCopy(t.extra_param, s.pExtraParam))) {
        return qEL2_ERR_MISSING;
    }
    t.cleared1 = 0;
    t.cleared2 = 0;
    t.preset_code = kMappedAttendeeCode;
    if (!StoreCopy(t.partstat, s.pPartStat)) return qEL2_ERR_MISSING;
    t.cleared3 = t.cleared4 = t.cleared5 = t.cleared6 = t.cleared7 = 0;
    return qEL2_OK;
}

// The fifth stored word (the repeat interval) has no place in the server's
// alarm.
extern "C" int32_t AlarmMapping(const qEL2_VALARM* source, CALDB_ALARM** target, int32_t selector) {
    if (source == nullptr || target == nullptr || *target == nullptr) return qEL2_ERR_MISSING;
    const qEL2_VALARM& s = *source;
    CALDB_ALARM& t = **target;

    t.alarm_word1 = s.lAlarmWord1;
    t.alarm_word2 = s.lAlarmWord2;
    t.action = s.iAction;
    t.repeat = s.iRepeat;
    t.alarm_kind = selector != 0 ? CALDB_ALARM_KIND_SERVER : CALDB_ALARM_KIND_CLIENT;
    if (!(StoreCopy(t.alarm_text1, s.pAlarmText1) && StoreCopy(t.alarm_text2, s.pAlarmText2) &&
          StoreCopy(t.alarm_text3, s.pAlarmText3) && StoreListCopy(t.alarm_list1, s.pAlarmList1) &&
          StoreListCopy(t.alarm_list2, s.pAlarmList2) &&
          StoreListCopy(t.alarm_list3, s.pAlarmList3))) {
        return qEL2_ERR_MISSING;
    }
    t.alarm_host1 = s.lAlarmHost1;
    t.alarm_host2 = s.lAlarmHost2;
    return qEL2_OK;
}

namespace {

// The steps that the event and to-do mappings share. Each record pair
// supplies a Pair type naming its records and the three things in which the
// two differ:
//   using Source = ...; using Target = ...;
//   static bool IsLink(const Source&);
//   static uint32_t RepackFlags(uint32_t sourceFlags, uint32_t targetFlags);
//   static void CopyOwnScalars(const Source&, Target&);
// The remaining fields have the same names in both records.

template <typename Source, typename Target>
void CopyCommonScalars(const Source& s, Target& t, uint32_t now) {
    t.version = CALDB_RECORD_VERSION;
    t.dtstart = s.dtStart;
    t.extra = s.lExtra;
    t.mapped_at = now;
    t.created = s.dtCreated;
    t.recurrence_id = s.RecurrenceID;
    t.sequence = s.iSequence;
    t.cleared_word = 0;
    t.geo_lat = s.lGeoLat;
    t.geo_lon = s.lGeoLon;
}

// A link record borrows its uid and organizer address from the calendar
// that reached it, so those stay as the target has them.
template <typename Source, typename Target>
bool CopyStrings(const Source& s, Target& t, bool link) {
    return StoreCopy(t.summary, s.pSummary) && (link || StoreCopy(t.uid, s.pUID)) &&
           StoreCopy(t.description, s.pDescription) && StoreCopy(t.location, s.pLocation) &&
           StoreCopy(t.url, s.pURL) && StoreCopy(t.class_, s.pClass) &&
           (link || StoreCopy(t.organizer_email, s.pOrganizerEmail)) &&
           StoreCopy(t.charset, s.pCharset) && StoreCopy(t.language, s.pLanguage) &&
           StoreCopy(t.extra1, s.pExtra1) && StoreCopy(t.extra2, s.pExtra2);
}

// Every mapped record gets an organizer: the source's own, or else one made
// from the target's default_organizer. A server record without its
// organizer would be wrong, so a refused organizer record fails the mapping.
template <typename Source, typename Target>
bool MapOrganizer(const Source& s, Target& t, const char* organizerId, bool link) {
    t.organizer = caldb_NewOrganizer();
    if (t.organizer == nullptr) return false;
    CALDB_ORGANIZER& o = *t.organizer;
    if (const qEL2_ORGANIZER* from = s.pOrganizer) {
        return StoreCopy(o.cal_address, from->pCalAddress) && StoreCopy(o.cn, from->pCN) &&
               StoreCopy(o.dir, from->pDir) && StoreCopy(o.sent_by, from->pSentBy) &&
               StoreCopy(o.language, from->pLanguage) && StoreCopy(o.id_a, organizerId) &&
               StoreCopy(o.id_b, organizerId);
    }
    return StoreCopy(o.cal_address, t.default_organizer) && StoreCopy(o.id_a, organizerId) &&
           (link || StoreCopy(o.sent_by, s.pOrganizerEmail)) && StoreCopy(o.id_b, organizerId);
}

// Builds a fresh record array in `field` from the source records, each made
// by `make`, filled by `fill` and appended in order. A record that cannot be
// filled or appended is released, never attached.
template <typename From, typename Record, typename Fill>
bool MapRecordList(array_t*& field, const array_t* source, Record* (*make)(void), Fill fill,
                   PRFileDesc* out, bool printCount, const char* countFormat) {
    field = array_new();
    if (field == nullptr) return false;
    const uint32_t count = source != nullptr ? source->count : 0;
    if (printCount && out != nullptr) PR_fprintf(out, countFormat, static_cast<int>(count));
    for (uint32_t i = 0; i < count; ++i) {
        Record* record = make();
        if (record == nullptr) return false;
        if (fill(static_cast<const From*>(array_elementat(source, i)), &record) != 0 ||
            array_append(field, record) != 0) {
            ReleaseUnattached(record);
            return false;
        }
    }
    return true;
}

template <typename Source, typename Target>
bool MapAttendeesAndAlarms(const Source& s, Target& t, PRFileDesc* out, int32_t traceLevel) {
    const bool printCounts = traceLevel == 2;
    // The attendee count ends without a line end: both counts make one line.
    if (!MapRecordList<qEL2_ATTENDEE>(t.attendees, s.pAttendees, caldb_NewAttendee, AttendeeMapping,
                                      out, printCounts, "\tAttendees Found:\t%d")) {
        return false;
    }
    const int32_t selector = t.alarm_selector;
    auto fillAlarm = [selector](const qEL2_VALARM* from, CALDB_ALARM** alarm) {
        return AlarmMapping(from, alarm, selector);
    };
    return MapRecordList<qEL2_VALARM>(t.alarms, s.pAlarms, caldb_NewAlarm, fillAlarm, out,
                                      printCounts, "\tAlarms Found:\t%d\n");
}

template <typename Source, typename Target>
bool CopyLists(const Source& s, Target& t) {
    return StoreListCopy(t.rdates, s.pRDates) && StoreListCopy(t.exdates, s.pEXDates) &&
           StoreListCopy(t.rrules, s.pRRules) && StoreListCopy(t.exrules, s.pExRules) &&
           StoreListCopy(t.related_to, s.pRelatedTo) &&
           StoreListCopy(t.extra_list1, s.pExtraList1) &&
           StoreListCopy(t.extra_list2, s.pExtraList2) &&
           StoreListCopy(t.extra_list3, s.pExtraList3) &&
           StoreListCopy(t.categories, s.pCategories) &&
           StoreListCopy(t.attachments, s.pAttachments) && StoreListCopy(t.xprops, s.pXProps);
}

// The whole mapping, step by step; qEL2_ERR_MISSING at the first step that
// fails.
template <typename Pair>
int32_t MapItem(const typename Pair::Source* source, typename Pair::Target** target,
                const char* organizerId, PRFileDesc* out, int32_t traceLevel) {
    if (source == nullptr || target == nullptr || *target == nullptr) return qEL2_ERR_MISSING;
    const uint32_t now = static_cast<uint32_t>(time(nullptr));
    const auto& s = *source;
    auto& t = **target;
    const bool link = Pair::IsLink(s);

    t.flags = Pair::RepackFlags(s.flags, t.flags);
    CopyCommonScalars(s, t, now);
    Pair::CopyOwnScalars(s, t);
    if (!CopyStrings(s, t, link) || !MapOrganizer(s, t, organizerId, link)) return qEL2_ERR_MISSING;
    // A link record leaves the target's attendees and alarms as they are.
    if (!link && !MapAttendeesAndAlarms(s, t, out, traceLevel)) return qEL2_ERR_MISSING;
    if (!CopyLists(s, t) || !StoreCopy(t.linked_calid, s.pLinkedCalID)) return qEL2_ERR_MISSING;
    t.host_data = s.lHostData;
    t.private_data = s.pPrivate;  // borrowed: the source record keeps it
    return qEL2_OK;
}

struct EventPair {
    using Source = qEL2_VEVENT;
    using Target = CALDB_EVENT;

    static bool IsLink(const Source& s) { return qel2_EventIsLink(&s); }

    // The event's own bit 6 and bits 16-31 have no host counterpart.
    static uint32_t RepackFlags(uint32_t f, uint32_t target) {
        constexpr uint32_t kRewritten = CALDB_ITEM_PRIORITY_MASK | CALDB_ITEM_START_IS_DATE |
                                        CALDB_ITEM_STATUS_MASK | CALDB_ITEM_TOMBSTONE |
                                        CALDB_ITEM_FLAG12 | CALDB_ITEM_FLAG13 | CALDB_ITEM_FLAG14 |
                                        CALDB_ITEM_END_IS_DATE | CALDB_ITEM_START_IS_DATE2;
        const uint32_t packed = qel2_EventPriority(f) |
                                BitIf(qel2_EventStartIsDate(f), CALDB_ITEM_START_IS_DATE) |
                                qel2_EventStatus(f) << CALDB_ITEM_STATUS_SHIFT |
                                BitIf(qel2_EventTombstone(f), CALDB_ITEM_TOMBSTONE) |
                                BitIf(qel2_EventFlag14(f), CALDB_ITEM_FLAG12) |
                                BitIf(qel2_EventFlag15(f), CALDB_ITEM_FLAG13) |
                                BitIf(qel2_EventEndIsDate(f), CALDB_ITEM_END_IS_DATE) |
                                BitIf(qel2_EventStartIsDate(f), CALDB_ITEM_START_IS_DATE2);
        return ReplaceBits(target, kRewritten, packed);
    }

    static void CopyOwnScalars(const Source& s, Target& t) { t.dtend = s.dtEnd; }
};

struct ToDoPair {
    using Source = qEL2_VTODO;
    using Target = CALDB_TODO;

    // A to-do carries its link bit in its stored flags.
    static bool IsLink(const Source& s) { return qel2_ToDoIsLink(s.flags); }

    // flag13 and flag14 are cleared; start_is_date2 is an event bit and
    // stays as the server set it. The link bit is not carried over.
    static uint32_t RepackFlags(uint32_t f, uint32_t target) {
        constexpr uint32_t kRewritten = CALDB_ITEM_PRIORITY_MASK | CALDB_ITEM_START_IS_DATE |
                                        CALDB_ITEM_STATUS_MASK | CALDB_ITEM_TOMBSTONE |
                                        CALDB_ITEM_FLAG12 | CALDB_ITEM_FLAG13 | CALDB_ITEM_FLAG14 |
                                        CALDB_ITEM_END_IS_DATE;
        const uint32_t packed = qel2_ToDoPriority(f) |
                                BitIf(qel2_ToDoStartIsDate(f), CALDB_ITEM_START_IS_DATE) |
                                qel2_ToDoStatus(f) << CALDB_ITEM_STATUS_SHIFT |
                                BitIf(qel2_ToDoTombstone(f), CALDB_ITEM_TOMBSTONE) |
                                BitIf(qel2_ToDoFlag13(f), CALDB_ITEM_FLAG12) |
                                BitIf(qel2_ToDoDueIsDate(f), CALDB_ITEM_END_IS_DATE);
        return ReplaceBits(target, kRewritten, packed);
    }

    static void CopyOwnScalars(const Source& s, Target& t) {
        t.due = s.dtDue;
        t.completed = s.dtCompleted;
        t.extra_word2 = s.lExtra2;
    }
};

}  // namespace

// `spare` is part of the server's calling convention and carries nothing, in
// both entry points.
extern "C" int32_t EventMapping(const qEL2_VEVENT* source, CALDB_EVENT** target,
                                const char* organizerId, int32_t /*spare*/, PRFileDesc* out,
                                int32_t traceLevel) {
    return MapItem<EventPair>(source, target, organizerId, out, traceLevel);
}

extern "C" int32_t ToDoMapping(const qEL2_VTODO* source, CALDB_TODO** target,
                               const char* organizerId, int32_t /*spare*/, PRFileDesc* out,
                               int32_t traceLevel) {
    return MapItem<ToDoPair>(source, target, organizerId, out, traceLevel);
}
