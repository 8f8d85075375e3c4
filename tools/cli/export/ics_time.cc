#include "ics_time.h"

#include <cstdio>
#include <ctime>

namespace qel2export {

namespace {

std::tm Utc(uint32_t time) {
    std::tm parts{};
    const time_t seconds = static_cast<time_t>(time);
    gmtime_r(&seconds, &parts);
    return parts;
}

}  // namespace

std::string IcsDateTime(uint32_t time) {
    const std::tm t = Utc(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string IcsDate(uint32_t time) {
    const std::tm t = Utc(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
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

}  // namespace qel2export
