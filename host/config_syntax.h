// The settings-file syntax shared by the configuration cache and the
// calconf reader:
//   key = "value"     or     key = value
// Blank lines and lines starting with '!' or '#' are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qel2::host {

struct ConfigEntry {
    std::string key;
    std::string value;
};

// Splits one line (without its line end) into key and value. False for
// blank lines, comments and lines that carry no "key =".
bool parse_config_line(std::string_view line, ConfigEntry& entry);

// Settings files are a few lines; one larger than this is refused before it
// is read whole (a damaged file, or a path such as /dev/zero).
inline constexpr size_t kConfigFileLimit = 1u << 20;

// Reads every entry of a settings file in file order, so a later duplicate
// follows the earlier one. 0, or the errno of opening or reading the file
// (ENOMEM when memory runs out, EFBIG past kConfigFileLimit bytes).
int read_config_file(const char* path, std::vector<ConfigEntry>& entries);

}  // namespace qel2::host
