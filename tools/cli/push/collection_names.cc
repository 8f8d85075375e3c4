#include "collection_names.h"

#include <cctype>
#include <cstdio>

#include <qel2/keys.h>

#include "hex.h"

namespace qel2::cli::push {

namespace {

constexpr size_t kLongestName = 64;
constexpr size_t kKeptWhenCut = 40;

std::string SafeName(std::string_view id) {
    if (id.empty()) return "_";
    std::string name;
    for (unsigned char c : id) {
        if (std::isalnum(c) || c == '-') {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02X", c);
            name += escaped;
        }
    }
    if (name.size() <= kLongestName) return name;
    const std::string whole(id);
    unsigned char digest[qEL2_HASH_SIZE];
    qel2_pvt_MD5Hash(whole.c_str(), digest);
    // Cut at a whole character of the encoding, never inside an _XX.
    size_t cut = kKeptWhenCut;
    if (size_t escape = name.rfind('_', cut - 1); escape != std::string::npos && escape + 3 > cut)
        cut = escape;
    return name.substr(0, cut) + "~" + qel2::tools::ToHex(digest, 8);
}

}  // namespace

std::string CollectionName(std::string_view calendarId) { return SafeName(calendarId); }

std::string ResourceName(std::string_view uid) { return SafeName(uid) + ".ics"; }

}  // namespace qel2::cli::push
