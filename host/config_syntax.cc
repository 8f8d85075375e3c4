// Parsing of settings files; see config_syntax.h for the syntax.
#include "config_syntax.h"

#include <cerrno>
#include <cstdio>
#include <new>

namespace qel2::host {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// The value part after '='. A quoted value runs to the closing quote; a
// quote that is never closed keeps the rest of the line.
std::string_view parse_value(std::string_view text) {
    text = trim(text);
    if (text.empty() || text.front() != '"') return text;
    text.remove_prefix(1);
    size_t close = text.find('"');
    return close == std::string_view::npos ? text : text.substr(0, close);
}

}  // namespace

bool parse_config_line(std::string_view line, ConfigEntry& entry) {
    std::string_view text = trim(line);
    if (text.empty() || text.front() == '!' || text.front() == '#') return false;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) return false;
    std::string_view key = trim(text.substr(0, equals));
    if (key.empty()) return false;
    entry.key.assign(key);
    entry.value.assign(parse_value(text.substr(equals + 1)));
    return true;
}

int read_config_file(const char* path, std::vector<ConfigEntry>& entries) {
    if (path == nullptr) return EINVAL;
    FILE* file = std::fopen(path, "re");
    if (file == nullptr) return errno != 0 ? errno : ENOENT;
    int result = 0;
    try {
        std::string content;
        char chunk[4096];
        size_t got;
        while (content.size() <= kConfigFileLimit &&
               (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        if (content.size() > kConfigFileLimit) {
            result = EFBIG;
        } else if (std::ferror(file)) {
            result = errno != 0 ? errno : EIO;
        } else {
            std::string_view rest(content);
            while (!rest.empty()) {
                size_t end = rest.find('\n');
                std::string_view line = rest.substr(0, end);
                rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
                ConfigEntry entry;
                if (parse_config_line(line, entry)) entries.push_back(std::move(entry));
            }
        }
    } catch (const std::bad_alloc&) {
        result = ENOMEM;
    }
    std::fclose(file);
    return result;
}

}  // namespace qel2::host
