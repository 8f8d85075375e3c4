// Line writers shared by the record dumps: texts, times, lists, the
// organizer, attendees and alarm blocks.

#include "dump_lines.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include <prprf.h>

#include <qel2/diag.h>

namespace qel2::diag {

namespace {

constexpr size_t kTimeTextSize = 10000;
constexpr const char* kTimeFormat = "(%Y%m%dT%H%M%SZ) [%d-%b-%y %I:%M%p GMT]";
constexpr const char* kNotPresent = "<not present>";
constexpr size_t kAlarmTextSize = 10000;

// The time's text in `text`; empty for 0 or a time that cannot be shown.
const char* TimeText(uint32_t time, char (&text)[kTimeTextSize]) {
    text[0] = '\0';
    std::tm parts{};
    if (time == 0 || mtgmtime(&time, &parts) == nullptr) return text;
    // strftime leaves the buffer undefined when the text does not fit.
    if (std::strftime(text, sizeof text, kTimeFormat, &parts) == 0) text[0] = '\0';
    return text;
}

// "Alarm <i>." and the alarm's lines, expanded by the host's alarm
// formatter. The description line grows, in the
// same buffer, by the repeat text for a repeating alarm and by the mail
// recipients for an e-mail alarm (action 0). A null alarm in the list
// shows its labels with nothing behind them.
void PrintAlarmBlock(PRFileDesc* out, uint32_t index, const qEL2_VALARM* alarm) {
    char text[kAlarmTextSize];
    PR_fprintf(out, "Alarm %lu.", PRUint32{index});
    cal_strvalarm(text, sizeof text, "  Action = %A  at %T\n    UID: %U\n    Subj: %s\n", alarm);
    PR_fprintf(out, "%s", text);

    // The text is measured, not taken from the formatter's result: the
    // host's formatter promises only a terminated text in the room given.
    cal_strvalarm(text, sizeof text, "    Description: %d ", alarm);
    size_t length = strlen(text);
    if (alarm != nullptr && alarm->iRepeat != 0) {
        cal_strvalarm(text + length, sizeof text - length, " repeats %R times every %D seconds ",
                      alarm);
        length += strlen(text + length);
    }
    if (alarm != nullptr && alarm->iAction == 0) {
        cal_strvalarm(text + length, sizeof text - length, "\n    email to: %M", alarm);
    }
    PR_fprintf(out, "%s\n", text);
}

}  // namespace

uint32_t Count(const array_t* list) { return list != nullptr ? list->count : 0; }

const char* ElementText(const array_t* list, uint32_t index) {
    const char* text = strarray_elementat(list, index);
    return text != nullptr ? text : "";
}

const char* OrNull(const char* text) { return text != nullptr ? text : kNull; }

void PrintText(PRFileDesc* out, const char* format, const char* value, const char* placeholder) {
    PR_fprintf(out, format, value != nullptr ? value : placeholder);
}

void PrintTime(PRFileDesc* out, const char* format, uint32_t time) {
    char text[kTimeTextSize];
    PR_fprintf(out, format, PRUint32{time}, TimeText(time, text));
}

void PrintTimeAndIsDate(PRFileDesc* out, const char* format, uint32_t time, int isDate) {
    char text[kTimeTextSize];
    PR_fprintf(out, format, PRUint32{time}, TimeText(time, text), isDate);
}

void PrintList(PRFileDesc* out, const char* countFormat, const array_t* list) {
    const uint32_t count = Count(list);
    PR_fprintf(out, countFormat, PRUint32{count});
    for (uint32_t i = 0; i < count; ++i) {
        PR_fprintf(out, "                     %s\n", ElementText(list, i));
    }
}

void PrintIndexedList(PRFileDesc* out, const char* countFormat, const char* itemFormat,
                      const array_t* list) {
    const uint32_t count = Count(list);
    PR_fprintf(out, countFormat, PRUint32{count});
    for (uint32_t i = 0; i < count; ++i) {
        PR_fprintf(out, itemFormat, PRUint32{i}, ElementText(list, i));
    }
}

void PrintOrganizer(PRFileDesc* out, const qEL2_ORGANIZER* organizer) {
    PR_fprintf(out, "       Organizer = %s\n", organizer != nullptr ? "present" : "not present");
    if (organizer == nullptr) return;
    // The address is the one organizer value without a placeholder of its
    // own.
    PrintText(out, "                  organizer caladdress  = %s\n", organizer->pCalAddress, kNull);
    PrintText(out, "                  organizer common name = %s\n", organizer->pCN, kNotPresent);
    PrintText(out, "                  organizer dir param   = %s\n", organizer->pDir, kNotPresent);
    PrintText(out, "                  organizer sent by     = %s\n", organizer->pSentBy,
              kNotPresent);
    PrintText(out, "                  organizer lang        = %s\n", organizer->pLanguage,
              kNotPresent);
}

void PrintAttendees(PRFileDesc* out, const array_t* attendees) {
    const uint32_t count = Count(attendees);
    PR_fprintf(out, "       attendees = %lu\n", PRUint32{count});
    for (uint32_t i = 0; i < count; ++i) {
        auto* attendee = static_cast<const qEL2_ATTENDEE*>(array_elementat(attendees, i));
        // A null attendee, or one whose text cannot be built, has no text.
        char* text = qel2dbut_FmtAttendee(attendee);
        PR_fprintf(out, "                   attendee[%lu] = %s\n", PRUint32{i}, OrNull(text));
        std::free(text);
    }
}

void PrintAlarms(PRFileDesc* out, const array_t* alarms) {
    const uint32_t count = Count(alarms);
    PR_fprintf(out, "          Alarms = %ld\n", static_cast<PRInt32>(count));
    for (uint32_t i = 0; i < count; ++i) {
        PrintAlarmBlock(out, i, static_cast<const qEL2_VALARM*>(array_elementat(alarms, i)));
    }
}

}  // namespace qel2::diag
