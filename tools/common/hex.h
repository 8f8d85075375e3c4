// Hexadecimal text of byte strings, as descriptions and manifests give them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qel2mk {

// Lower-case hex digits, two per byte.
std::string ToHex(const unsigned char* bytes, size_t size);
inline std::string ToHex(const std::vector<unsigned char>& bytes) { return ToHex(bytes.data(), bytes.size()); }
// The bytes of an even number of hex digits (either case), or nullopt.
std::optional<std::vector<unsigned char>> FromHex(std::string_view text);

}  // namespace qel2mk
