// The process-wide configuration cache: string keys and values, read by the
// library through typed getters.
#include <qel2/standin_host.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <strings.h>

#include "config_syntax.h"

struct config_cache {
    std::mutex mutex;
    std::map<std::string, std::string, std::less<>> values;
};

namespace {

std::optional<std::string> lookup(config_cache* cache, const char* key) {
    if (cache == nullptr || key == nullptr) return std::nullopt;
    std::lock_guard lock(cache->mutex);
    auto found = cache->values.find(std::string_view(key));
    if (found == cache->values.end()) return std::nullopt;
    return found->second;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

struct Number {
    bool non_zero = false;
    bool fits = true;  // within int32_t
    int32_t value = 0;
};

// A decimal whole number, blanks allowed around it and a sign before it.
std::optional<Number> parse_number(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    Number number;
    int64_t magnitude = 0;
    const int64_t limit = negative ? -int64_t{INT32_MIN} : int64_t{INT32_MAX};
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (c != '0') number.non_zero = true;
        if (number.fits) {
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > limit) number.fits = false;
        }
    }
    if (number.fits) number.value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return number;
}

bool equals_ignoring_case(std::string_view a, const char* b) {
    return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

}  // namespace

config_cache* config_getdefaultcache(void) {
    static config_cache cache;
    return &cache;
}

int32_t config_get_switch(config_cache* cache, const char* key, int32_t def) {
    try {
        std::optional<std::string> value = lookup(cache, key);
        if (!value) return def;
        for (const char* on : {"yes", "on", "true"}) {
            if (equals_ignoring_case(*value, on)) return 1;
        }
        for (const char* off : {"no", "off", "false"}) {
            if (equals_ignoring_case(*value, off)) return 0;
        }
        std::optional<Number> number = parse_number(*value);
        if (!number) return def;
        return number->non_zero ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return def;
    }
}

int32_t config_get_int(config_cache* cache, const char* key, int32_t def) {
    try {
        std::optional<std::string> value = lookup(cache, key);
        if (!value) return def;
        std::optional<Number> number = parse_number(*value);
        if (!number || !number->fits) return def;
        return number->value;
    } catch (const std::bad_alloc&) {
        return def;
    }
}

char* config_get_stringcopy(config_cache* cache, const char* key, const char* def) {
    try {
        std::optional<std::string> value = lookup(cache, key);
        if (value) return strdup(value->c_str());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return def != nullptr ? strdup(def) : nullptr;
}

int config_set(config_cache* cache, const char* key, const char* value) {
    if (cache == nullptr || key == nullptr) return -1;
    try {
        std::lock_guard lock(cache->mutex);
        if (value == nullptr) {
            auto found = cache->values.find(std::string_view(key));
            if (found != cache->values.end()) cache->values.erase(found);
        } else {
            cache->values.insert_or_assign(std::string(key), std::string(value));
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

void config_clear(config_cache* cache) {
    if (cache == nullptr) return;
    std::lock_guard lock(cache->mutex);
    cache->values.clear();
}

int config_load_file(config_cache* cache, const char* path) {
    if (cache == nullptr) return EINVAL;
    try {
        std::vector<qel2::host::ConfigEntry> entries;
        int result = qel2::host::read_config_file(path, entries);
        if (result != 0) return result;
        std::lock_guard lock(cache->mutex);
        for (auto& entry : entries) {
            cache->values.insert_or_assign(std::move(entry.key), std::move(entry.value));
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}
