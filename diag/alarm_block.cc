// The alarm blocks of the event and to-do dumps, expanded by the host's
// alarm formatter.

#include <cstring>

#include <prprf.h>

#include "dump_lines.h"

namespace qel2::diag {

namespace {

constexpr size_t kAlarmTextSize = 10000;

// "Alarm <i>." and the alarm's lines. The description line grows, in the
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

void PrintAlarms(PRFileDesc* out, const array_t* alarms) {
    const uint32_t count = Count(alarms);
    PR_fprintf(out, "          Alarms = %ld\n", static_cast<PRInt32>(count));
    for (uint32_t i = 0; i < count; ++i) {
        PrintAlarmBlock(out, i, static_cast<const qEL2_VALARM*>(array_elementat(alarms, i)));
    }
}

}  // namespace qel2::diag
