#include "alarm_writer.h"

#include <climits>

#include <qel2/records.h>

#include "ics_time.h"
#include "list_view.h"

namespace qel2::cli::exporter {

namespace {

enum Action : uint32_t { kEmail = 0, kDisplay = 1, kAudio = 2, kProcedure = 3 };

void WriteTrigger(PropertyWriter& writer, const qEL2_VALARM& alarm, Start start) {
    const uint32_t lead = alarm.lAlarmWord2;
    if (lead != 0 && lead <= INT32_MAX && start.time != 0) {
        writer.Raw("TRIGGER", IcsDuration(lead, true));
        // A trigger time that is not the start minus the lead is kept too.
        if (alarm.lAlarmWord1 != start.time - lead)
            writer.Raw("X-QEL2-ALARM-TIME", IcsDateTime(alarm.lAlarmWord1));
        return;
    }
    if (lead != 0) writer.Raw("X-QEL2-ALARM-LEAD", std::to_string(lead));
    if (alarm.lAlarmWord1 == 0) {
        writer.Raw("TRIGGER", "PT0S");
        writer.notes().Add(Outcome::kChanged, "alarm without trigger time fires at the start",
                           "neither a trigger time nor a lead time is stored");
        return;
    }
    IcsLine line("TRIGGER");
    line.Param("VALUE", "DATE-TIME").Raw(IcsDateTime(alarm.lAlarmWord1));
    writer.Emit(line, "TRIGGER");
}

void WriteRepeat(PropertyWriter& writer, const qEL2_VALARM& alarm) {
    if (alarm.iRepeat == 0) {
        if (alarm.lAlarmWord5 != 0)
            writer.Raw("X-QEL2-ALARM-WORD5", std::to_string(alarm.lAlarmWord5));
        return;
    }
    if (alarm.iRepeat > INT32_MAX) {
        writer.Raw("X-QEL2-REPEAT", std::to_string(alarm.iRepeat));
        writer.Raw("X-QEL2-ALARM-WORD5", std::to_string(alarm.lAlarmWord5));
        writer.notes().Add(Outcome::kChanged, "alarm REPEAT kept as X-QEL2-REPEAT",
                           std::to_string(alarm.iRepeat) + " does not fit a signed 32-bit integer");
        return;
    }
    writer.Raw("REPEAT", std::to_string(alarm.iRepeat));
    writer.Raw("DURATION", IcsDuration(alarm.lAlarmWord5, false));
}

bool HasRecipient(const qEL2_VALARM& alarm) {
    for (const char* address : qel2::cli::StringsView{alarm.pAlarmList1})
        if (address != nullptr && *address != '\0') return true;
    return false;
}

// Mail recipients as CAL-ADDRESS values: a bare address gets "mailto:".
void WriteRecipients(PropertyWriter& writer, const qEL2_VALARM& alarm) {
    for (std::string address : writer.Utf8List(alarm.pAlarmList1)) {
        if (address.empty()) continue;
        if (address.find(':') == std::string::npos) address = "mailto:" + address;
        writer.Emit(IcsLine("ATTENDEE").Uri(address), "alarm ATTENDEE");
    }
}

void WriteAlarm(PropertyWriter& writer, const qEL2_VALARM& alarm, Start start,
                const std::string& summary) {
    std::string& out = writer.out();
    AppendBegin(out, "VALARM");
    const std::string fallback = summary.empty() ? "Reminder" : summary;
    const std::string description = alarm.pAlarmText1 ? writer.Utf8(alarm.pAlarmText1) : fallback;
    const std::string subject = alarm.pAlarmText2 ? writer.Utf8(alarm.pAlarmText2) : fallback;
    uint32_t action = alarm.iAction;
    if (action == kEmail && !HasRecipient(alarm)) {
        // A mail alarm needs a recipient; without one it can only show.
        writer.Raw("X-QEL2-ACTION", "EMAIL");
        writer.notes().Add(Outcome::kChanged, "mail alarm without recipients written as DISPLAY",
                           "an EMAIL alarm needs at least one ATTENDEE");
        action = kDisplay;
    }
    switch (action) {
        case kEmail:
            writer.Raw("ACTION", "EMAIL");
            writer.Emit(IcsLine("SUMMARY").Text(subject), "alarm SUMMARY");
            writer.Emit(IcsLine("DESCRIPTION").Text(description), "alarm DESCRIPTION");
            WriteRecipients(writer, alarm);
            break;
        case kDisplay:
            writer.Raw("ACTION", "DISPLAY");
            writer.Emit(IcsLine("DESCRIPTION").Text(description), "alarm DESCRIPTION");
            writer.XStored("X-QEL2-ALARM-SUMMARY", alarm.pAlarmText2);
            break;
        default:
            if (action == kAudio) {
                writer.Raw("ACTION", "AUDIO");
            } else {
                const std::string name = action == kProcedure
                                             ? "X-QEL2-PROCEDURE"
                                             : "X-QEL2-ACTION-" + std::to_string(action);
                writer.Raw("ACTION", name);
                writer.notes().Add(Outcome::kChanged, "alarm action written as " + name,
                                   action == kProcedure
                                       ? "PROCEDURE alarms are no longer part of iCalendar"
                                       : "the action code has no iCalendar name");
            }
            writer.XStored("X-QEL2-ALARM-DESCRIPTION", alarm.pAlarmText1);
            writer.XStored("X-QEL2-ALARM-SUMMARY", alarm.pAlarmText2);
            break;
    }
    if (action != kEmail) writer.XList("X-QEL2-ALARM-RECIPIENT", alarm.pAlarmList1);
    WriteTrigger(writer, alarm, start);
    WriteRepeat(writer, alarm);
    writer.Text("UID", alarm.pAlarmText3);
    writer.XList("X-QEL2-ALARM-LIST2", alarm.pAlarmList2);
    writer.XList("X-QEL2-ALARM-LIST3", alarm.pAlarmList3);
    AppendEnd(out, "VALARM");
}

}  // namespace

void WriteAlarms(PropertyWriter& writer, const array_t* alarms, Start start,
                 const std::string& summary) {
    for (const qEL2_VALARM* alarm : qel2::cli::ListView<qEL2_VALARM>{alarms})
        if (alarm != nullptr) WriteAlarm(writer, *alarm, start, summary);
}

}  // namespace qel2::cli::exporter
