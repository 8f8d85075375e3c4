#include "recurrence_values.h"

#include <string>

#include <libical/ical.h>

#include "ics_time.h"
#include "list_view.h"

namespace qel2::cli::exporter {

namespace {

const char* KindName(bool isDate) { return isDate ? "DATE" : "DATE-TIME"; }

void KeepAsX(PropertyWriter& writer, std::string_view name, const std::string& text,
             const char* why) {
    const std::string xName = "X-QEL2-" + std::string(name);
    writer.X(xName, text);
    writer.notes().Add(Outcome::kChanged, std::string(name) + " kept as " + xName, why);
}

// Seconds since 1970 of a libical time read as UTC, or -1 outside the
// stored range.
long long Seconds(const icaltimetype& time) {
    icaltimetype utc = time;
    utc.zone = nullptr;
    const long long seconds = static_cast<long long>(icaltime_as_timet(utc));
    return seconds < 0 || seconds > 0xFFFFFFFFLL ? -1 : seconds;
}

}  // namespace

void WriteRules(PropertyWriter& writer, std::string_view name, const array_t* rules, Start start) {
    for (const char* stored : qel2::cli::StringsView{rules}) {
        const std::string text = writer.Utf8(stored);
        icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
        icalerror_clear_errno();
        if (rule.freq == ICAL_NO_RECURRENCE) {
            KeepAsX(writer, name, text, "libical cannot read the rule");
            continue;
        }
        if (!icaltime_is_null_time(rule.until)) {
            if (rule.until.is_date != (start.isDate ? 1 : 0)) {
                writer.notes().Add(
                    Outcome::kRepaired,
                    std::string(name) + " UNTIL written as " + KindName(start.isDate),
                    "UNTIL must have the kind of DTSTART");
                if (start.isDate) {
                    rule.until.is_date = 1;
                    rule.until.hour = rule.until.minute = rule.until.second = 0;
                } else {
                    const uint32_t timeOfDay = start.time % kSecondsPerDay;
                    rule.until.is_date = 0;
                    rule.until.hour = static_cast<int>(timeOfDay / 3600);
                    rule.until.minute = static_cast<int>(timeOfDay % 3600 / 60);
                    rule.until.second = static_cast<int>(timeOfDay % 60);
                }
            }
            rule.until.zone = start.isDate ? nullptr : icaltimezone_get_utc_timezone();
        }
        char* normal = icalrecurrencetype_as_string_r(&rule);
        if (normal == nullptr) {
            KeepAsX(writer, name, text, "libical cannot write the rule");
            continue;
        }
        writer.Raw(name, normal);
        icalmemory_free_buffer(normal);
    }
}

void WriteDates(PropertyWriter& writer, std::string_view name, const array_t* dates, Start start) {
    for (const char* stored : qel2::cli::StringsView{dates}) {
        const std::string text = writer.Utf8(stored);
        const icaltimetype time = icaltime_from_string(text.c_str());
        icalerror_clear_errno();
        const long long seconds = icaltime_is_null_time(time) ? -1 : Seconds(time);
        if (seconds < 0) {
            KeepAsX(writer, name, text, "not a date or UTC date-time libical can read");
            continue;
        }
        uint32_t value = static_cast<uint32_t>(seconds);
        if ((time.is_date != 0) != start.isDate) {
            writer.notes().Add(Outcome::kRepaired,
                               std::string(name) + " written as " + KindName(start.isDate),
                               std::string("a ") + KindName(time.is_date != 0) + " beside a " +
                                   KindName(start.isDate) + " start");
            if (!start.isDate) value = DayOf(value) + start.time % kSecondsPerDay;
        }
        IcsLine line(name);
        if (start.isDate) line.Param("VALUE", "DATE");
        writer.Emit(line.Raw(IcsTime(value, start.isDate)), name);
    }
}

}  // namespace qel2::cli::exporter
