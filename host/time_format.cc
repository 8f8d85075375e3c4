// UTC time formatting and breakdown of the store's 32-bit timestamps.
#include <qel2/host.h>

#include <chrono>
#include <ctime>

namespace {

// The store's times are unsigned 32-bit seconds since 1970, up to 2106. They
// are broken down with the calendar arithmetic of <chrono>, whose seconds
// are 64-bit, never through time_t: on a 32-bit host time_t is signed 32-bit
// and every time past 2038-01-19 would come out in 1901.
void BreakDown(uint32_t time, std::tm& parts) {
    using namespace std::chrono;
    const sys_seconds when{seconds{time}};
    const sys_days day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss clock{when - day};
    parts = std::tm{};
    parts.tm_year = static_cast<int>(date.year()) - 1900;
    parts.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    parts.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    parts.tm_hour = static_cast<int>(clock.hours().count());
    parts.tm_min = static_cast<int>(clock.minutes().count());
    parts.tm_sec = static_cast<int>(clock.seconds().count());
    parts.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    parts.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
    parts.tm_zone = "GMT";  // what gmtime_r gives, for a %Z in the format
}

}  // namespace

size_t cal_strgmtime(char* buffer, size_t size, const char* format, uint32_t time) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (format == nullptr) return 0;
    std::tm parts;
    BreakDown(time, parts);
    size_t length = std::strftime(buffer, size, format, &parts);
    // strftime leaves the buffer undefined when the text does not fit.
    if (length == 0) buffer[0] = '\0';
    return length;
}

struct tm* mtgmtime(const uint32_t* time, struct tm* tm) {
    if (time == nullptr || tm == nullptr) return nullptr;
    BreakDown(*time, *tm);
    return tm;
}
