#include "value_text.h"

#include <array>

#include <qel2/host.h>

namespace qel2::cli {

namespace {

template <size_t N>
const char* Lookup(const std::array<const char*, N>& names, uint32_t code) {
    return code < names.size() ? names[code] : nullptr;
}

}  // namespace

std::string IsoTime(uint32_t time) {
    if (time == 0) return "-";
    char text[32];
    cal_strgmtime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", time);
    return text;
}

std::string IsoTimeOrDate(uint32_t time, bool isDate) {
    if (time == 0 || !isDate) return IsoTime(time);
    char text[16];
    cal_strgmtime(text, sizeof text, "%Y-%m-%d", time);
    return text;
}

const char* EventStatusName(uint32_t code) {
    static constexpr std::array<const char*, 4> kNames = {nullptr, "TENTATIVE", "CONFIRMED",
                                                          "CANCELLED"};
    return Lookup(kNames, code);
}

const char* ToDoStatusName(uint32_t code) {
    static constexpr std::array<const char*, 5> kNames = {nullptr, "NEEDS-ACTION", "COMPLETED",
                                                          "IN-PROCESS", "CANCELLED"};
    return Lookup(kNames, code);
}

std::string StatusText(const char* name, uint32_t code) {
    if (name != nullptr) return name;
    return code == 0 ? "-" : "STATUS-" + std::to_string(code);
}

}  // namespace qel2::cli
