// File names made from calendar ids and UIDs. Letters, digits and "-_.@"
// are kept, every other byte is written %XX (a leading dot too), so two
// ids never share a name; a name too long for the file system is cut and
// made unique by a digest of the whole id. The real id is inside the file.
#pragma once

#include <string>
#include <string_view>

namespace qel2::cli::exporter {

// At most kMaxFileName bytes, `extension` (".ics", "") included; room is
// left for the temporary suffix a safe write adds.
inline constexpr size_t kMaxFileName = 200;
std::string SafeFileName(std::string_view id, std::string_view extension);

}  // namespace qel2::cli::exporter
