#include "settings_check.h"

#include <charconv>
#include <cstdlib>

#include <qel2/host.h>

#include "cli_error.h"

namespace qel2::cli {

namespace {

struct Range {
    const char* key;
    long long lowest;
    long long highest;
};

// Megabyte counts become 32-bit byte counts (below 4096); the others are
// kept to what a store's server could ever have used.
constexpr Range kRanges[] = {
    {"caldb.berkeleydb.mempoolsizemb", 1, 4095},
    {"caldb.berkeleydb.logfilesizemb", 1, 4095},
    {"caldb.berkeleydb.maxthreads", 1, 100000},
    {"caldb.berkeleydb.checkpointinterval", 1, 86400},
    {"caldb.berkeleydb.deadlockinterval", 1, 60000},
    {"caldb.berkeleydb.tracelevel", 0, 10},
    {"caldb.maxdecodedrecordmb", 1, 4095},
};

}  // namespace

void CheckNumericSettings(const std::string& source) {
    config_cache* cache = config_getdefaultcache();
    for (const Range& range : kRanges) {
        char* raw = config_get_stringcopy(cache, range.key, nullptr);
        if (raw == nullptr) continue;
        std::string text = raw;
        std::free(raw);
        long long value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < range.lowest ||
            value > range.highest)
            throw CliError("the setting " + std::string(range.key) + " = \"" + text + "\" in " +
                           source + " is out of range: it takes a whole number from " +
                           std::to_string(range.lowest) + " to " + std::to_string(range.highest));
    }
}

}  // namespace qel2::cli
