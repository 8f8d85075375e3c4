// The numeric caldb.* settings, checked before they reach Berkeley DB: an
// out-of-range value there does not fail, it asks for regions of gigabytes
// (maxthreads = -5) or wraps to a tiny cache (mempoolsizemb = 4096).
#pragma once

#include <string>

namespace qel2::cli {

// Throws CliError naming the first setting that is not a whole number
// within its range; `source` names where the settings came from.
void CheckNumericSettings(const std::string& source);

}  // namespace qel2::cli
