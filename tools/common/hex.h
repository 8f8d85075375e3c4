// Hexadecimal text of byte strings: keys in the command-line tool's
// reports, keys and values in qel2-mkstore's descriptions and manifests.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qel2::tools {

// Lower-case hex digits, two per byte.
std::string ToHex(const unsigned char* bytes, size_t size);
inline std::string ToHex(const std::vector<unsigned char>& bytes) {
    return ToHex(bytes.data(), bytes.size());
}
// The bytes of an even number of hex digits (either case), or nullopt.
std::optional<std::vector<unsigned char>> FromHex(std::string_view text);

}  // namespace qel2::tools
