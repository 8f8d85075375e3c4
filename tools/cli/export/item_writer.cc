#include "item_writer.h"

#include <climits>
#include <cstdio>

#include "alarm_writer.h"
#include "ics_time.h"
#include "list_view.h"
#include "property_writer.h"
#include "recurrence_values.h"
#include "value_text.h"

namespace qel2::cli::exporter {

namespace {

using qel2::cli::ListView;
using qel2::cli::StringsView;

size_t ListSize(const array_t* list) { return list ? list->count : 0; }

void WriteTime(PropertyWriter& writer, std::string_view name, uint32_t time, bool isDate) {
    IcsLine line(name);
    if (isDate) line.Param("VALUE", "DATE");
    writer.Emit(line.Raw(IcsTime(time, isDate)), name);
}

void KeepOutOfRange(PropertyWriter& writer, const std::string& name, const std::string& stored,
                    const std::string& why) {
    writer.Raw("X-QEL2-" + name, stored);
    writer.notes().Add(Outcome::kChanged, name + " kept as X-QEL2-" + name, why);
}

// Enumerated parameters (CUTYPE, ROLE, PARTSTAT) must be names; any other
// stored text goes into an X-QEL2-<NAME> parameter.
void EnumParam(PropertyWriter& writer, IcsLine& line, std::string_view name, const char* stored) {
    if (stored == nullptr) return;
    const std::string value = writer.Utf8(stored);
    if (IsIcsToken(value)) {
        line.Param(name, value);
    } else {
        line.Param("X-QEL2-" + std::string(name), value);
        writer.notes().Add(Outcome::kChanged,
                           std::string(name) + " kept as X-QEL2-" + std::string(name),
                           "the stored value is not an iCalendar name");
    }
}

void WriteOrganizer(PropertyWriter& writer, const qEL2_ORGANIZER* organizer) {
    if (organizer == nullptr) return;
    if (organizer->pCalAddress == nullptr || *organizer->pCalAddress == '\0') {
        writer.notes().Add(Outcome::kChanged, "ORGANIZER left out", "the organizer has no address");
        return;
    }
    IcsLine line("ORGANIZER");
    if (organizer->pCN) line.Param("CN", writer.Utf8(organizer->pCN));
    if (organizer->pDir) line.Param("DIR", writer.Utf8(organizer->pDir), true);
    if (organizer->pSentBy) line.Param("SENT-BY", writer.Utf8(organizer->pSentBy), true);
    if (organizer->pLanguage) line.Param("LANGUAGE", writer.Utf8(organizer->pLanguage));
    writer.Emit(line.Uri(writer.Utf8(organizer->pCalAddress)), "ORGANIZER");
}

void WriteAttendees(PropertyWriter& writer, const array_t* attendees) {
    for (const qEL2_ATTENDEE* attendee : ListView<qEL2_ATTENDEE>{attendees}) {
        if (attendee == nullptr) continue;
        if (attendee->pCalAddress == nullptr || *attendee->pCalAddress == '\0') {
            writer.XStored("X-QEL2-ATTENDEE-CN", attendee->pCN ? attendee->pCN : "");
            writer.notes().Add(Outcome::kChanged,
                               "ATTENDEE without address kept as X-QEL2-ATTENDEE-CN",
                               "an ATTENDEE needs an address");
            continue;
        }
        IcsLine line("ATTENDEE");
        EnumParam(writer, line, "CUTYPE", attendee->pCUType);
        EnumParam(writer, line, "ROLE", attendee->pRole);
        EnumParam(writer, line, "PARTSTAT", attendee->pPartStat);
        if (attendee->pCN) line.Param("CN", writer.Utf8(attendee->pCN));
        if (attendee->pDir) line.Param("DIR", writer.Utf8(attendee->pDir), true);
        if (attendee->pSentBy) line.Param("SENT-BY", writer.Utf8(attendee->pSentBy), true);
        // The stored byte is 0 for "no reply asked"; any other value asks.
        if (attendee->bRSVP != 0) line.Param("RSVP", "TRUE");
        line.ParamList("MEMBER", writer.Utf8List(attendee->pMember));
        line.ParamList("DELEGATED-TO", writer.Utf8List(attendee->pDelegatedTo));
        line.ParamList("DELEGATED-FROM", writer.Utf8List(attendee->pDelegatedFrom));
        if (attendee->pExtraParam)
            line.Param("X-QEL2-EXTRAPARAM", writer.Utf8(attendee->pExtraParam));
        writer.Emit(line.Uri(writer.Utf8(attendee->pCalAddress)), "ATTENDEE");
    }
}

// Stored extension properties are whole content lines ("X-ROOM:101"). A
// line with an X- name, no parameters and no control characters is
// written as it is; anything else is kept whole as X-QEL2-XPROP text.
void WriteXProperties(PropertyWriter& writer, const array_t* lines) {
    for (const char* stored : StringsView{lines}) {
        const std::string line = writer.Utf8(stored);
        const size_t colon = line.find(':');
        const std::string_view name = std::string_view(line).substr(0, colon);
        bool plain = colon != std::string::npos && name.size() > 2 &&
                     (name[0] == 'X' || name[0] == 'x') && name[1] == '-' && IsIcsToken(name);
        for (unsigned char c : line)
            if ((c < 0x20 && c != '\t') || c == 0x7F) plain = false;
        if (plain) {
            writer.Raw(name, std::string_view(line).substr(colon + 1));
        } else {
            writer.X("X-QEL2-XPROP", line);
            writer.notes().Add(Outcome::kChanged, "extension property kept as X-QEL2-XPROP",
                               "the stored line is not an X- name and a plain value");
        }
    }
}

// The start of an event after the missing-start repair; time 0 when none
// can be found.
template <typename Item>
Start EventStart(const Item& item, uint32_t end, bool endIsDate, RecordNotes& notes) {
    if (item.dtStart != 0) return {item.dtStart, false};
    const char* why = "an event without a start is refused by servers";
    if (end != 0) {
        notes.Add(Outcome::kRepaired, "DTSTART taken from the stored end", why);
        return {end, endIsDate};
    }
    if (item.dtCreated != 0) {
        notes.Add(Outcome::kRepaired, "DTSTART taken from the creation time", why);
        return {item.dtCreated, false};
    }
    if (item.dtModified != 0) {
        notes.Add(Outcome::kRepaired, "DTSTART taken from the modification time", why);
        return {item.dtModified, false};
    }
    return {};
}

// DTEND or DUE in the start's kind and after it; 0 when it is left out.
uint32_t EndAfterStart(PropertyWriter& writer, const std::string& name, uint32_t end,
                       bool endIsDate, Start start) {
    if (end == 0 || start.time == 0) return end;
    const uint32_t stored = end;
    if (endIsDate != start.isDate) {
        if (start.isDate) {
            end = DayOf(end);
            if (end <= start.time) end = DayOf(start.time) + kSecondsPerDay;
        }
        writer.Raw("X-QEL2-" + name, IcsTime(stored, endIsDate));
        writer.notes().Add(
            Outcome::kRepaired,
            name + std::string(" written as ") + (start.isDate ? "DATE" : "DATE-TIME"),
            "a DATE and a DATE-TIME in one component are refused by clients");
    }
    if (end < start.time || (start.isDate && end <= start.time)) {
        if (endIsDate == start.isDate) writer.Raw("X-QEL2-" + name, IcsTime(stored, endIsDate));
        writer.notes().Add(Outcome::kRepaired, name + " left out (kept as X-QEL2-" + name + ")",
                           "the stored end is before the start");
        return 0;
    }
    return end;
}

// What events and to-dos share, field for field, after the start.
template <typename Item>
void WriteShared(PropertyWriter& writer, const Item& item, const ItemPlan& plan, Start start,
                 uint32_t priority, const char* statusName, uint32_t status) {
    const std::string summary = writer.Utf8(item.pSummary);
    writer.Emit(IcsLine("SUMMARY").Text(summary), "SUMMARY");
    writer.Text("DESCRIPTION", item.pDescription);
    writer.Text("LOCATION", item.pLocation);
    writer.Uri("URL", item.pURL);
    if (item.pClass != nullptr) {
        const std::string value = writer.Utf8(item.pClass);
        if (IsIcsToken(value))
            writer.Raw("CLASS", value);
        else {
            writer.X("X-QEL2-CLASS", value);
            writer.notes().Add(Outcome::kChanged, "CLASS kept as X-QEL2-CLASS",
                               "the stored class is not a name");
        }
    }
    if (item.iSequence <= INT32_MAX)
        writer.Raw("SEQUENCE", std::to_string(item.iSequence));
    else
        KeepOutOfRange(writer, "SEQUENCE", std::to_string(item.iSequence),
                       "it does not fit a signed 32-bit integer");
    if (item.dtCreated != 0) writer.Raw("CREATED", IcsDateTime(item.dtCreated));
    if (item.dtModified != 0) writer.Raw("LAST-MODIFIED", IcsDateTime(item.dtModified));
    if (item.lGeoLat != 0 || item.lGeoLon != 0) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6f;%.6f", item.lGeoLat / 1e6, item.lGeoLon / 1e6);
        if (item.lGeoLat >= -90000000 && item.lGeoLat <= 90000000 && item.lGeoLon >= -180000000 &&
            item.lGeoLon <= 180000000)
            writer.Raw("GEO", text);
        else
            KeepOutOfRange(writer, "GEO", text, "the coordinates are off the globe");
    }
    if (priority > 9)
        KeepOutOfRange(writer, "PRIORITY", std::to_string(priority), "PRIORITY runs from 0 to 9");
    else if (priority != 0)
        writer.Raw("PRIORITY", std::to_string(priority));
    if (statusName != nullptr)
        writer.Raw("STATUS", statusName);
    else if (status != 0)
        KeepOutOfRange(writer, "STATUS", std::to_string(status), "the status code has no name");
    WriteOrganizer(writer, item.pOrganizer);
    WriteAttendees(writer, item.pAttendees);

    if (plan.rulesAsX || start.time == 0) {
        writer.XList("X-QEL2-RRULE", item.pRRules);
        writer.XList("X-QEL2-EXRULE", item.pExRules);
        writer.XList("X-QEL2-RDATE", item.pRDates);
        writer.XList("X-QEL2-EXDATE", item.pEXDates);
        if (ListSize(item.pRRules) + ListSize(item.pExRules) + ListSize(item.pRDates) +
                ListSize(item.pEXDates) !=
            0)
            writer.notes().Add(
                Outcome::kRepaired, "recurrence rules and dates kept as X-QEL2-*",
                plan.rulesAsX ? "an instance of a recurring event cannot carry its own recurrence"
                              : "recurrence needs a start");
    } else {
        WriteRules(writer, "RRULE", item.pRRules, start);
        // EXRULE left iCalendar with RFC 5545; servers and clients ignore or refuse it.
        writer.XList("X-QEL2-EXRULE", item.pExRules);
        if (ListSize(item.pExRules) != 0)
            writer.notes().Add(Outcome::kChanged, "EXRULE kept as X-QEL2-EXRULE",
                               "exclusion rules are no longer part of iCalendar");
        WriteDates(writer, "RDATE", item.pRDates, start);
        WriteDates(writer, "EXDATE", item.pEXDates, start);
    }
    for (const char* related : StringsView{item.pRelatedTo})
        writer.Emit(IcsLine("RELATED-TO").Text(writer.Utf8(related)), "RELATED-TO");
    for (const char* category : StringsView{item.pCategories})
        writer.Emit(IcsLine("CATEGORIES").Text(writer.Utf8(category)), "CATEGORIES");
    for (const char* attachment : StringsView{item.pAttachments})
        writer.Uri("ATTACH", attachment ? attachment : "");
    WriteXProperties(writer, item.pXProps);

    // Stored values iCalendar has no property for.
    writer.XStored("X-QEL2-ORGANIZER-EMAIL", item.pOrganizerEmail);
    writer.XStored("X-QEL2-CHARSET", item.pCharset);
    writer.XStored("X-QEL2-LANGUAGE", item.pLanguage);
    writer.XStored("X-QEL2-EXTRA1", item.pExtra1);
    writer.XStored("X-QEL2-EXTRA2", item.pExtra2);
    if (item.lExtra != 0) writer.Raw("X-QEL2-LEXTRA", std::to_string(item.lExtra));
    writer.XList("X-QEL2-EXTRALIST1", item.pExtraList1);
    writer.XList("X-QEL2-EXTRALIST2", item.pExtraList2);
    writer.XList("X-QEL2-EXTRALIST3", item.pExtraList3);
    // A record read through a link: the calendar that keeps it.
    writer.XStored("X-QEL2-LINKED-FROM", item.pLinkedCalID);
    WriteAlarms(writer, item.pAlarms, start, summary);
}

// The lines every component starts with: UID, DTSTAMP, RECURRENCE-ID.
template <typename Item>
void WriteIdentity(PropertyWriter& writer, const Item& item, const ItemPlan& plan,
                   uint32_t startTime) {
    writer.Emit(IcsLine("UID").Text(plan.uid), "UID");
    if (plan.uidChanged) writer.XStored("X-QEL2-ORIGINAL-UID", item.pUID ? item.pUID : "");
    const uint32_t stamp = item.dtModified  ? item.dtModified
                           : item.dtCreated ? item.dtCreated
                                            : startTime;
    writer.Raw("DTSTAMP", IcsDateTime(stamp));
    if (item.RecurrenceID == 0) return;
    if (plan.writeRecurrenceId)
        WriteTime(writer, "RECURRENCE-ID", item.RecurrenceID, plan.recurrenceIdIsDate);
    else
        writer.Raw("X-QEL2-RECURRENCE-ID", IcsDateTime(item.RecurrenceID));
}

// Flag bits with no iCalendar meaning, as a hexadecimal word.
void WriteFlagBits(PropertyWriter& writer, uint32_t bits) {
    if (bits == 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", bits);
    writer.Raw("X-QEL2-FLAGS", text);
}

}  // namespace

bool AppendEvent(std::string& out, const qEL2_VEVENT& event, const ItemPlan& plan,
                 RecordNotes& notes) {
    std::string text;
    PropertyWriter writer(text, notes, event.pCharset);
    const bool endIsDate = qel2_EventEndIsDate(event.flags);
    Start start = EventStart(event, event.dtEnd, endIsDate, notes);
    if (start.time == 0) {
        notes.Add(Outcome::kLeftOut, "event left out",
                  "it has no start, and no end, creation or modification time to take one from");
        return false;
    }
    if (event.dtStart != 0) start.isDate = qel2_EventStartIsDate(event.flags);
    AppendBegin(text, "VEVENT");
    WriteIdentity(writer, event, plan, start.time);
    WriteTime(writer, "DTSTART", start.time, start.isDate);
    if (event.dtStart == 0) writer.Raw("X-QEL2-NO-START", "1");
    // The end that became the start is not written twice.
    const uint32_t end = event.dtStart == 0 && event.dtEnd != 0
                             ? 0
                             : EndAfterStart(writer, "DTEND", event.dtEnd, endIsDate, start);
    if (end != 0) WriteTime(writer, "DTEND", end, start.isDate);
    const uint32_t status = qel2_EventStatus(event.flags);
    WriteShared(writer, event, plan, start, qel2_EventPriority(event.flags),
                qel2::cli::EventStatusName(status), status);
    if (qel2_EventTombstone(event.flags)) writer.Raw("X-QEL2-TOMBSTONE", "1");
    WriteFlagBits(writer, event.flags & ~(qEL2_EVENT_PRIORITY_MASK | qEL2_EVENT_START_IS_DATE |
                                          qEL2_EVENT_END_IS_DATE | qEL2_EVENT_STATUS_MASK |
                                          qEL2_EVENT_TOMBSTONE));
    AppendEnd(text, "VEVENT");
    out += text;
    return true;
}

bool AppendToDo(std::string& out, const qEL2_VTODO& todo, const ItemPlan& plan,
                RecordNotes& notes) {
    std::string text;
    PropertyWriter writer(text, notes, todo.pCharset);
    const Start start{todo.dtStart, todo.dtStart != 0 && qel2_ToDoStartIsDate(todo.flags)};
    AppendBegin(text, "VTODO");
    const uint32_t stampFallback = todo.dtStart ? todo.dtStart : todo.dtDue;
    WriteIdentity(writer, todo, plan, stampFallback);
    if (start.time != 0) WriteTime(writer, "DTSTART", start.time, start.isDate);
    const bool dueIsDate = qel2_ToDoDueIsDate(todo.flags);
    const uint32_t due = EndAfterStart(writer, "DUE", todo.dtDue, dueIsDate, start);
    if (due != 0) WriteTime(writer, "DUE", due, start.time != 0 ? start.isDate : dueIsDate);
    if (todo.dtCompleted != 0) writer.Raw("COMPLETED", IcsDateTime(todo.dtCompleted));
    const uint32_t status = qel2_ToDoStatus(todo.flags);
    WriteShared(writer, todo, plan, start, qel2_ToDoPriority(todo.flags),
                qel2::cli::ToDoStatusName(status), status);
    // -1 is what a new to-do holds: only another value says something.
    if (todo.lExtra2 != -1) writer.Raw("X-QEL2-LEXTRA2", std::to_string(todo.lExtra2));
    if (qel2_ToDoTombstone(todo.flags)) writer.Raw("X-QEL2-TOMBSTONE", "1");
    // The link bit only says the record came through a link, which
    // X-QEL2-LINKED-FROM tells already.
    WriteFlagBits(writer, todo.flags & ~(qEL2_TODO_PRIORITY_MASK | qEL2_TODO_START_IS_DATE |
                                         qEL2_TODO_DUE_IS_DATE | qEL2_TODO_STATUS_MASK |
                                         qEL2_TODO_TOMBSTONE | qEL2_TODO_LINK));
    AppendEnd(text, "VTODO");
    out += text;
    return true;
}

}  // namespace qel2::cli::exporter
