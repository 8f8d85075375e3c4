#include "ics_time.h"

#include <cstdio>

namespace qel2::cli::exporter {

namespace {

struct Civil {
    unsigned year, month, day, hour, minute, second;
};

// The UTC calendar date and time of a stored time, by days since 1970
// (Howard Hinnant's days-to-civil), so times past 2038 come out right where
// time_t has 32 bits too.
Civil Utc(uint32_t time) {
    const uint32_t z = time / kSecondsPerDay + 719468;  // days since 0000-03-01
    const uint32_t era = z / 146097;
    const uint32_t dayOfEra = z - era * 146097;
    const uint32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const uint32_t mp = (5 * dayOfYear + 2) / 153;
    const uint32_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const uint32_t month = mp < 10 ? mp + 3 : mp - 9;
    const uint32_t rest = time % kSecondsPerDay;
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0),
            month,
            day,
            rest / 3600,
            rest % 3600 / 60,
            rest % 60};
}

}  // namespace

std::string IcsDateTime(uint32_t time) {
    const Civil t = Utc(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04u%02u%02uT%02u%02u%02uZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string IcsDate(uint32_t time) {
    const Civil t = Utc(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04u%02u%02u", t.year, t.month, t.day);
    return text;
}

std::string IcsDuration(uint32_t seconds, bool before) {
    std::string text = before && seconds != 0 ? "-P" : "P";
    const uint32_t days = seconds / kSecondsPerDay;
    const uint32_t rest = seconds % kSecondsPerDay;
    if (days != 0) text += std::to_string(days) + "D";
    if (rest != 0 || days == 0) {
        text += "T";
        if (rest / 3600 != 0) text += std::to_string(rest / 3600) + "H";
        if (rest % 3600 / 60 != 0) text += std::to_string(rest % 3600 / 60) + "M";
        if (rest % 60 != 0 || rest == 0) text += std::to_string(rest % 60) + "S";
    }
    return text;
}

}  // namespace qel2::cli::exporter
