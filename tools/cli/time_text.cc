#include "time_text.h"

#include <cstdio>
#include <ctime>

#include <qel2/host.h>

#include "cli_error.h"
#include "command_line.h"

namespace qel2::cli {

std::string IsoTime(uint32_t time) {
    if (time == 0) return "-";
    char text[32];
    cal_strgmtime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", time);
    return text;
}

std::string IsoTimeOrDate(uint32_t time, bool isDate) {
    if (time == 0 || !isDate) return IsoTime(time);
    char text[16];
    cal_strgmtime(text, sizeof text, "%Y-%m-%d", time);
    return text;
}

int32_t ParseTime(const std::string& option, const std::string& text) {
    bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (digitsOnly) return static_cast<int32_t>(ParseNumber(option, text, 0, INT32_MAX));

    struct tm parts = {};
    int consumed = 0;
    int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &parts.tm_year, &parts.tm_mon,
                             &parts.tm_mday, &consumed);
    if (fields == 3 && static_cast<size_t>(consumed) < text.size()) {
        int more = 0;
        if (std::sscanf(text.c_str() + consumed, "T%2d:%2d:%2d%n", &parts.tm_hour, &parts.tm_min,
                        &parts.tm_sec, &more) != 3)
            fields = 0;
        consumed += more;
        if (static_cast<size_t>(consumed) < text.size() && text.substr(consumed) == "Z") ++consumed;
    }
    bool valid = fields == 3 && static_cast<size_t>(consumed) == text.size() && parts.tm_mon >= 1 &&
                 parts.tm_mon <= 12 && parts.tm_mday >= 1 && parts.tm_mday <= 31 &&
                 parts.tm_hour <= 23 && parts.tm_min <= 59 && parts.tm_sec <= 60;
    if (!valid)
        throw UsageError(
            option +
            " needs a date (2006-01-16), a UTC time (2006-01-16T14:00:00Z) or seconds since "
            "1970, not \"" +
            text + "\"");
    int day = parts.tm_mday;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    time_t seconds = timegm(&parts);
    // timegm rolls 2006-02-30 over into March; such a date is refused.
    if (parts.tm_mday != day || seconds < 0 || seconds > INT32_MAX)
        throw UsageError(option + ": \"" + text + "\" is not a time between 1970 and 2038");
    return static_cast<int32_t>(seconds);
}

}  // namespace qel2::cli
