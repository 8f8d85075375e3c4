// Words for the library's results, so a host prints "not found" rather
// than a bare number.

#include <qel2/results.h>

#include <cstring>

#include "store/bdb_compat.h"

extern "C" const char* qel2_ResultText(int result) {
    // The library's own codes first: 1 to 3 keep the library's meaning over
    // the system error numbers they share.
    switch (result) {
        case qEL2_OK:
            return "success";
        case qEL2_ERR_MISSING:
            return "something it needs is missing or cannot be read";
        case qEL2_ERR_STORE:
            return "the store or a linked record cannot be read";
        case qEL2_ERR_SELF_LINK:
            return "a link leads back into its own calendar";
        case qEL2_ERR_FAILED:
            return "an alarm or list of the record could not be built";
        case qEL2_ERR_NOT_FOUND:
            return "not found";
        default:
            break;
    }
    if (result > 0) {
        // strerror's words without its buffer: the same text for every
        // thread and locale.
        const char* words = strerrordesc_np(result);
        return words ? words : "unknown system error";
    }
    const char* words = qel2_pvt_ResultText42(result);
    return words ? words : "unknown result";
}
