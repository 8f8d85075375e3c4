// Keys of the four databases, built with the library's own key functions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <qel2/keys.h>

namespace qel2::mkstore {

using Hash = std::array<unsigned char, qEL2_HASH_SIZE>;
using CalPropsKey = std::array<unsigned char, qEL2_CALPROPS_KEY_SIZE>;
using EventKey = std::array<unsigned char, qEL2_EVENT_KEY_SIZE>;
using AlarmKey = std::array<unsigned char, qEL2_ALARM_KEY_SIZE>;

Hash Md5(const std::string& text);
// MD5 of the calendar id.
CalPropsKey MakeCalPropsKey(const std::string& calendarId);
// Calendar hash, MD5 of the unique id, recurrence id (little-endian); the
// same for events.db and todos.db.
EventKey MakeEventKey(const std::string& calendarId, const std::string& uid, uint32_t recurrenceId);
// Leading value, 16-byte identifier, trailing value (both little-endian).
AlarmKey MakeAlarmKey(uint32_t leading, const Hash& identifier, uint32_t trailing);

}  // namespace qel2::mkstore
