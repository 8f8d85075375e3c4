#include "file_names.h"

#include <cctype>
#include <string>

#include <qel2/keys.h>

#include "hex.h"

namespace qel2::cli::exporter {

std::string SafeFileName(std::string_view id, std::string_view extension) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : id) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '@' || (c == '.' && !name.empty())) {
            name += static_cast<char>(c);
        } else {
            name += '%';
            name += kHex[c >> 4];
            name += kHex[c & 15];
        }
    }
    if (name.empty()) name.push_back('%');
    if (name.size() + extension.size() > kMaxFileName) {
        const std::string whole(id);
        unsigned char digest[qEL2_HASH_SIZE];
        qel2_pvt_MD5Hash(whole.c_str(), digest);
        std::string tag(1, '~');
        tag.append(qel2::tools::ToHex(digest, 8));
        size_t cut = kMaxFileName - extension.size() - tag.size();
        // Never inside a %XX escape.
        while (cut > 0 && (name[cut - 1] == '%' || (cut > 1 && name[cut - 2] == '%'))) --cut;
        name = name.substr(0, cut) + tag;
    }
    return name + std::string(extension);
}

}  // namespace qel2::cli::exporter
