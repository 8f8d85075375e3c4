// The steps that the event and to-do mappings share. Each record pair
// supplies a Pair type naming its records and the three things in which the
// two differ:
//   using Source = ...; using Target = ...;
//   static bool IsLink(const Source&);
//   static uint32_t RepackFlags(uint32_t sourceFlags, uint32_t targetFlags);
//   static void CopyOwnScalars(const Source&, Target&);
// The remaining fields have the same names in both records.
#pragma once

#include <ctime>

#include <prprf.h>

#include <qel2/mapping.h>

#include "field_copies.h"

namespace qel2::mapping {

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

// The whole mapping, step by step; 1 at the first step that fails.
template <typename Pair>
int32_t MapItem(const typename Pair::Source* source, typename Pair::Target** target,
                const char* organizerId, PRFileDesc* out, int32_t traceLevel) {
    if (source == nullptr || target == nullptr || *target == nullptr) return 1;
    const uint32_t now = static_cast<uint32_t>(time(nullptr));
    const auto& s = *source;
    auto& t = **target;
    const bool link = Pair::IsLink(s);

    t.flags = Pair::RepackFlags(s.flags, t.flags);
    CopyCommonScalars(s, t, now);
    Pair::CopyOwnScalars(s, t);
    if (!CopyStrings(s, t, link) || !MapOrganizer(s, t, organizerId, link)) return 1;
    // A link record leaves the target's attendees and alarms as they are.
    if (!link && !MapAttendeesAndAlarms(s, t, out, traceLevel)) return 1;
    if (!CopyLists(s, t) || !StoreCopy(t.linked_calid, s.pLinkedCalID)) return 1;
    t.host_data = s.lHostData;
    t.private_data = s.pPrivate;  // borrowed: the source record keeps it
    return 0;
}

}  // namespace qel2::mapping
