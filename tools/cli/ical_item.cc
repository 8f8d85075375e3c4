#include "ical_item.h"

#include <cstdio>
#include <ctime>
#include <string>

#include <qel2/host.h>

#include "list_view.h"
#include "status_names.h"

namespace qel2cli {

namespace {

// From the host's UTC breakdown rather than time_t: the store's times run to
// 2106, and a 32-bit time_t would turn those past 2038 into 1901.
icaltimetype UtcTime(uint32_t time, bool isDate = false) {
    struct tm parts;
    mtgmtime(&time, &parts);
    icaltimetype result = icaltime_null_time();
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.is_date = isDate ? 1 : 0;
    if (!isDate) {
        result.hour = parts.tm_hour;
        result.minute = parts.tm_min;
        result.second = parts.tm_sec;
    }
    result.zone = icaltimezone_get_utc_timezone();
    return result;
}

void Add(icalcomponent* component, icalproperty* property) {
    if (property != nullptr) icalcomponent_add_property(component, property);
}

// An X- property holding `value` as text.
void AddX(icalcomponent* component, const char* name, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, name);
    Add(component, property);
}

void AddXIfSet(icalcomponent* component, const char* name, const char* value) {
    if (value != nullptr) AddX(component, name, value);
}

void AddXList(icalcomponent* component, const char* name, const array_t* list) {
    for (const char* value : StringsView{list}) AddX(component, name, value ? value : "");
}

void AddText(icalcomponent* component, icalproperty* (*make)(const char*), const char* value) {
    if (value != nullptr) Add(component, make(value));
}

// A property whose value libical reads from its text (CLASS, ...); values it
// has no name for become its X values, spelled as stored.
void AddParsedValue(icalcomponent* component, icalproperty_kind kind, const char* value) {
    if (value == nullptr) return;
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value_from_string(property, value, "NO");
    Add(component, property);
}

void AddParameter(icalproperty* property, icalparameter_kind kind, const char* value) {
    if (value != nullptr) icalproperty_add_parameter(property, icalparameter_new_from_value_string(kind, value));
}

// libical 3 writes one parameter per value (MEMBER="a";MEMBER="b"); it has
// no value lists.
void AddParameterList(icalproperty* property, icalparameter_kind kind, const array_t* values) {
    for (const char* value : StringsView{values}) AddParameter(property, kind, value ? value : "");
}

void AddXParameter(icalproperty* property, const char* name, const char* value) {
    if (value == nullptr) return;
    icalparameter* parameter = icalparameter_new_x(value);
    icalparameter_set_xname(parameter, name);
    icalproperty_add_parameter(property, parameter);
}

void AddOrganizer(icalcomponent* component, const qEL2_ORGANIZER* organizer) {
    if (organizer == nullptr || organizer->pCalAddress == nullptr) return;
    icalproperty* property = icalproperty_new_organizer(organizer->pCalAddress);
    AddParameter(property, ICAL_CN_PARAMETER, organizer->pCN);
    AddParameter(property, ICAL_DIR_PARAMETER, organizer->pDir);
    AddParameter(property, ICAL_SENTBY_PARAMETER, organizer->pSentBy);
    AddParameter(property, ICAL_LANGUAGE_PARAMETER, organizer->pLanguage);
    Add(component, property);
}

void AddAttendees(icalcomponent* component, const array_t* attendees) {
    for (const qEL2_ATTENDEE* attendee : ListView<qEL2_ATTENDEE>{attendees}) {
        if (attendee == nullptr) continue;
        icalproperty* property = icalproperty_new_attendee(attendee->pCalAddress ? attendee->pCalAddress : "");
        AddParameter(property, ICAL_CUTYPE_PARAMETER, attendee->pCUType);
        AddParameter(property, ICAL_ROLE_PARAMETER, attendee->pRole);
        AddParameter(property, ICAL_PARTSTAT_PARAMETER, attendee->pPartStat);
        AddParameter(property, ICAL_CN_PARAMETER, attendee->pCN);
        AddParameter(property, ICAL_DIR_PARAMETER, attendee->pDir);
        AddParameter(property, ICAL_SENTBY_PARAMETER, attendee->pSentBy);
        // The stored byte is 0 for "no reply asked"; any other value asks.
        if (attendee->bRSVP != 0) icalproperty_add_parameter(property, icalparameter_new_rsvp(ICAL_RSVP_TRUE));
        AddParameterList(property, ICAL_MEMBER_PARAMETER, attendee->pMember);
        AddParameterList(property, ICAL_DELEGATEDTO_PARAMETER, attendee->pDelegatedTo);
        AddParameterList(property, ICAL_DELEGATEDFROM_PARAMETER, attendee->pDelegatedFrom);
        AddXParameter(property, "X-QEL2-EXTRAPARAM", attendee->pExtraParam);
        Add(component, property);
    }
}

// Alarm words: 1 the trigger time, 2 kept as X-QEL2-ALARM-WORD2, 5 the
// seconds between repeats; the first list holds the mail recipients.
void AddAlarms(icalcomponent* component, const array_t* alarms) {
    static const icalproperty_action kActions[] = {ICAL_ACTION_EMAIL, ICAL_ACTION_DISPLAY, ICAL_ACTION_AUDIO,
                                                   ICAL_ACTION_PROCEDURE};
    for (const qEL2_VALARM* alarm : ListView<qEL2_VALARM>{alarms}) {
        if (alarm == nullptr) continue;
        icalcomponent* valarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        if (alarm->iAction < std::size(kActions)) {
            Add(valarm, icalproperty_new_action(kActions[alarm->iAction]));
        } else {
            Add(valarm, icalproperty_new_action(ICAL_ACTION_X));
            AddX(valarm, "X-QEL2-ACTION", std::to_string(alarm->iAction));
        }
        icaltriggertype trigger = icaltriggertype_from_int(0);
        trigger.time = UtcTime(alarm->lAlarmWord1);
        Add(valarm, icalproperty_new_trigger(trigger));
        if (alarm->iRepeat != 0) {
            Add(valarm, icalproperty_new_repeat(static_cast<int>(alarm->iRepeat)));
            Add(valarm, icalproperty_new_duration(icaldurationtype_from_int(static_cast<int>(alarm->lAlarmWord5))));
        } else if (alarm->lAlarmWord5 != 0) {
            AddX(valarm, "X-QEL2-ALARM-WORD5", std::to_string(alarm->lAlarmWord5));
        }
        AddText(valarm, icalproperty_new_description, alarm->pAlarmText1);
        AddText(valarm, icalproperty_new_summary, alarm->pAlarmText2);
        AddText(valarm, icalproperty_new_uid, alarm->pAlarmText3);
        for (const char* recipient : StringsView{alarm->pAlarmList1})
            if (recipient != nullptr) Add(valarm, icalproperty_new_attendee(recipient));
        if (alarm->lAlarmWord2 != 0) AddX(valarm, "X-QEL2-ALARM-WORD2", std::to_string(alarm->lAlarmWord2));
        AddXList(valarm, "X-QEL2-ALARM-LIST2", alarm->pAlarmList2);
        AddXList(valarm, "X-QEL2-ALARM-LIST3", alarm->pAlarmList3);
        icalcomponent_add_component(component, valarm);
    }
}

// Rules that libical cannot read are kept as text.
void AddRules(icalcomponent* component, icalproperty* (*make)(struct icalrecurrencetype), const char* fallback,
              const array_t* rules) {
    for (const char* rule : StringsView{rules}) {
        if (rule == nullptr) continue;
        icalrecurrencetype parsed = icalrecurrencetype_from_string(rule);
        icalerror_clear_errno();
        if (parsed.freq == ICAL_NO_RECURRENCE) AddX(component, fallback, rule);
        else Add(component, make(parsed));
    }
}

void AddDates(icalcomponent* component, bool exclusions, const array_t* dates) {
    for (const char* text : StringsView{dates}) {
        if (text == nullptr) continue;
        icaltimetype time = icaltime_from_string(text);
        icalerror_clear_errno();
        if (icaltime_is_null_time(time)) {
            AddX(component, exclusions ? "X-QEL2-EXDATE" : "X-QEL2-RDATE", text);
        } else if (exclusions) {
            Add(component, icalproperty_new_exdate(time));
        } else {
            icaldatetimeperiodtype value = {};
            value.time = time;
            value.period = icalperiodtype_null_period();
            Add(component, icalproperty_new_rdate(value));
        }
    }
}

// Stored x-properties are whole content lines ("X-ROOM:101").
void AddXProperties(icalcomponent* component, const array_t* lines) {
    for (const char* line : StringsView{lines}) {
        if (line == nullptr) continue;
        icalproperty* property = icalproperty_new_from_string(line);
        icalerror_clear_errno();
        if (property != nullptr && icalproperty_isa(property) == ICAL_X_PROPERTY) {
            Add(component, property);
            continue;
        }
        if (property != nullptr) icalproperty_free(property);
        AddX(component, "X-QEL2-XPROP", line);
    }
}

// What events and to-dos share, field for field.
template <typename Item>
void AddShared(icalcomponent* component, const Item& item, bool startIsDate, const char* statusName,
               uint32_t status, uint32_t priority) {
    AddText(component, icalproperty_new_uid, item.pUID);
    if (item.dtStart != 0) Add(component, icalproperty_new_dtstart(UtcTime(item.dtStart, startIsDate)));
    if (item.RecurrenceID != 0)
        Add(component, icalproperty_new_recurrenceid(UtcTime(item.RecurrenceID, startIsDate)));
    AddText(component, icalproperty_new_summary, item.pSummary);
    AddText(component, icalproperty_new_description, item.pDescription);
    AddText(component, icalproperty_new_location, item.pLocation);
    AddText(component, icalproperty_new_url, item.pURL);
    AddParsedValue(component, ICAL_CLASS_PROPERTY, item.pClass);
    Add(component, icalproperty_new_sequence(static_cast<int>(item.iSequence)));
    if (item.dtCreated != 0) Add(component, icalproperty_new_created(UtcTime(item.dtCreated)));
    if (item.dtModified != 0) Add(component, icalproperty_new_lastmodified(UtcTime(item.dtModified)));
    if (item.lGeoLat != 0 || item.lGeoLon != 0) {
        icalgeotype geo = {};
        geo.lat = item.lGeoLat / 1000000.0;
        geo.lon = item.lGeoLon / 1000000.0;
        Add(component, icalproperty_new_geo(geo));
    }
    if (priority != 0) Add(component, icalproperty_new_priority(static_cast<int>(priority)));
    if (statusName != nullptr) AddParsedValue(component, ICAL_STATUS_PROPERTY, statusName);
    else if (status != 0) AddX(component, "X-QEL2-STATUS", std::to_string(status));
    AddOrganizer(component, item.pOrganizer);
    AddAttendees(component, item.pAttendees);
    AddRules(component, icalproperty_new_rrule, "X-QEL2-RRULE", item.pRRules);
    AddRules(component, icalproperty_new_exrule, "X-QEL2-EXRULE", item.pExRules);
    AddDates(component, false, item.pRDates);
    AddDates(component, true, item.pEXDates);
    for (const char* related : StringsView{item.pRelatedTo})
        if (related != nullptr) Add(component, icalproperty_new_relatedto(related));
    for (const char* category : StringsView{item.pCategories})
        if (category != nullptr) Add(component, icalproperty_new_categories(category));
    for (const char* attachment : StringsView{item.pAttachments}) {
        if (attachment == nullptr) continue;
        icalattach* attach = icalattach_new_from_url(attachment);
        Add(component, icalproperty_new_attach(attach));
        icalattach_unref(attach);
    }
    AddXProperties(component, item.pXProps);
    AddAlarms(component, item.pAlarms);

    // Stored values iCalendar has no property for.
    AddXIfSet(component, "X-QEL2-ORGANIZER-EMAIL", item.pOrganizerEmail);
    AddXIfSet(component, "X-QEL2-CHARSET", item.pCharset);
    AddXIfSet(component, "X-QEL2-LANGUAGE", item.pLanguage);
    AddXIfSet(component, "X-QEL2-EXTRA1", item.pExtra1);
    AddXIfSet(component, "X-QEL2-EXTRA2", item.pExtra2);
    if (item.lExtra != 0) AddX(component, "X-QEL2-LEXTRA", std::to_string(item.lExtra));
    AddXList(component, "X-QEL2-EXTRALIST1", item.pExtraList1);
    AddXList(component, "X-QEL2-EXTRALIST2", item.pExtraList2);
    AddXList(component, "X-QEL2-EXTRALIST3", item.pExtraList3);
    // A record read through a link: the calendar that keeps it.
    AddXIfSet(component, "X-QEL2-LINKED-FROM", item.pLinkedCalID);
}

// Flag bits with no iCalendar meaning, as a hexadecimal word.
void AddFlagBits(icalcomponent* component, uint32_t bits) {
    if (bits == 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", bits);
    AddX(component, "X-QEL2-FLAGS", text);
}

}  // namespace

icalcomponent* EventComponent(const qEL2_VEVENT& event) {
    icalcomponent* component = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    uint32_t status = qel2_EventStatus(event.flags);
    AddShared(component, event, qel2_EventStartIsDate(event.flags), EventStatusName(status), status,
              qel2_EventPriority(event.flags));
    if (event.dtEnd != 0) Add(component, icalproperty_new_dtend(UtcTime(event.dtEnd, qel2_EventEndIsDate(event.flags))));
    if (qel2_EventTombstone(event.flags)) AddX(component, "X-QEL2-TOMBSTONE", "1");
    AddFlagBits(component, event.flags & ~(qEL2_EVENT_PRIORITY_MASK | qEL2_EVENT_START_IS_DATE |
                                           qEL2_EVENT_END_IS_DATE | qEL2_EVENT_STATUS_MASK | qEL2_EVENT_TOMBSTONE));
    return component;
}

icalcomponent* ToDoComponent(const qEL2_VTODO& todo) {
    icalcomponent* component = icalcomponent_new(ICAL_VTODO_COMPONENT);
    uint32_t status = qel2_ToDoStatus(todo.flags);
    AddShared(component, todo, qel2_ToDoStartIsDate(todo.flags), ToDoStatusName(status), status,
              qel2_ToDoPriority(todo.flags));
    if (todo.dtDue != 0) Add(component, icalproperty_new_due(UtcTime(todo.dtDue, qel2_ToDoDueIsDate(todo.flags))));
    if (todo.dtCompleted != 0) Add(component, icalproperty_new_completed(UtcTime(todo.dtCompleted)));
    // -1 is what a new to-do holds: only another value says something.
    if (todo.lExtra2 != -1) AddX(component, "X-QEL2-LEXTRA2", std::to_string(todo.lExtra2));
    if (qel2_ToDoTombstone(todo.flags)) AddX(component, "X-QEL2-TOMBSTONE", "1");
    // The link bit only says the record came through a link, which
    // X-QEL2-LINKED-FROM tells already.
    AddFlagBits(component, todo.flags & ~(qEL2_TODO_PRIORITY_MASK | qEL2_TODO_START_IS_DATE | qEL2_TODO_DUE_IS_DATE |
                                          qEL2_TODO_STATUS_MASK | qEL2_TODO_TOMBSTONE | qEL2_TODO_LINK));
    return component;
}

}  // namespace qel2cli
