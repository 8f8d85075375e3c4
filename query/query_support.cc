// The report of a stored value that its decoder could not read.

#include "query_support.h"

#include <qel2/keys.h>
#include <qel2/log.h>

namespace qel2::query {

int ReportUndecodable(const char* function, const char* file, const DBT& key, int decoded) {
    // Keys are at most 36 bytes; a longer one is shown by its first 36.
    char hex[2 * qEL2_EVENT_KEY_SIZE + 1];
    static constexpr char kDigits[] = "0123456789abcdef";
    const auto* bytes = static_cast<const unsigned char*>(key.data);
    uint32_t shown = key.size < qEL2_EVENT_KEY_SIZE ? key.size : qEL2_EVENT_KEY_SIZE;
    for (uint32_t i = 0; i < shown; ++i) {
        hex[2 * i] = kDigits[bytes[i] >> 4];
        hex[2 * i + 1] = kDigits[bytes[i] & 0xf];
    }
    hex[2 * shown] = '\0';
    const int result = decoded == qEL2_ERR_INVALID ? qEL2_ERR_INVALID : qEL2_ERR_NOMEM;
    qel2_Log(qEL2_LOG_ERROR, "%s: %s: value of key %s cannot be decoded (%d)\n", function, file,
             hex, decoded);
    return result;
}

}  // namespace qel2::query
