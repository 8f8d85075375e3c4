// The library's one report of memory running out: an ERROR line in the
// caller's words, ending in the system's words for it, and the result the
// caller returns.
#pragma once

#include <qel2/log.h>
#include <qel2/results.h>

namespace qel2 {

// Logs `format` at ERROR and returns qEL2_ERR_NOMEM. The format's last
// conversion (%s) takes the words for qEL2_ERR_NOMEM ("Cannot allocate
// memory"); `arguments` fill the conversions before it.
template <typename... Arguments>
int LogOutOfMemory(const char* format, Arguments... arguments) {
    qel2_Log(qEL2_LOG_ERROR, format, arguments..., qel2_ResultText(qEL2_ERR_NOMEM));
    return qEL2_ERR_NOMEM;
}

}  // namespace qel2
