// Keys of the four databases.

#include "record_keys.h"

#include <cstring>

namespace qel2::mkstore {

Hash Md5(const std::string& text) {
    Hash digest;
    qel2_pvt_MD5Hash(text.c_str(), digest.data());
    return digest;
}

CalPropsKey MakeCalPropsKey(const std::string& calendarId) { return Md5(calendarId); }

EventKey MakeEventKey(const std::string& calendarId, const std::string& uid,
                      uint32_t recurrenceId) {
    qEL2_CALPROPS calendar{};
    qel2_pvt_MD5Hash(calendarId.c_str(), calendar.idHash);
    calendar.pvtFlags = qEL2_CAL_HASH_VALID;
    EventKey key;
    qel2_pvt_CompHashCore(&calendar, uid.c_str(), recurrenceId, key.data());
    return key;
}

AlarmKey MakeAlarmKey(uint32_t leading, const Hash& identifier, uint32_t trailing) {
    AlarmKey key;
    qel2_KeyPutU32(key.data(), leading);
    memcpy(key.data() + 4, identifier.data(), identifier.size());
    qel2_KeyPutU32(key.data() + 20, trailing);
    return key;
}

}  // namespace qel2::mkstore
