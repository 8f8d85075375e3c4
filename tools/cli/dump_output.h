// Standard output for the library's record dumps, which write through NSPR.
#pragma once

#include <prio.h>

namespace qel2cli {

// Flushes what stdio holds first, so dumps and other lines keep their order.
PRFileDesc* DumpOutput();

}  // namespace qel2cli
