// Stored times (seconds since 1970, UTC) as iCalendar DATE and DATE-TIME
// values, and the day arithmetic the date repairs need.
#pragma once

#include <cstdint>
#include <string>

namespace qel2::cli::exporter {

inline constexpr uint32_t kSecondsPerDay = 86400;

// 20060116T090000Z
std::string IcsDateTime(uint32_t time);
// 20060116
std::string IcsDate(uint32_t time);
// DATE when `isDate`, else DATE-TIME.
inline std::string IcsTime(uint32_t time, bool isDate) {
    return isDate ? IcsDate(time) : IcsDateTime(time);
}

// Midnight UTC of the day `time` falls on.
inline uint32_t DayOf(uint32_t time) { return time - time % kSecondsPerDay; }

// A duration in seconds as -P1DT2H or PT15M (negative when `before`).
std::string IcsDuration(uint32_t seconds, bool before);

}  // namespace qel2::cli::exporter
