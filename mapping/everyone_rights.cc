#include "everyone_rights.h"

namespace qel2::mapping {

namespace {

bool IsPolicy(int32_t policy) { return policy >= 0 && policy <= 2; }

bool Grants(int32_t policy, bool ownerCalendar) {
    return policy == 0 || (policy == 1 && ownerCalendar);
}

}  // namespace

const char* EveryoneRights(int32_t sPolicy, int32_t fPolicy, bool ownerCalendar) {
    if (!IsPolicy(sPolicy) || !IsPolicy(fPolicy)) return nullptr;
    const bool s = Grants(sPolicy, ownerCalendar);
    const bool f = Grants(fPolicy, ownerCalendar);
    if (s && f) return "sf";
    if (s) return "s";
    if (f) return "f";
    return nullptr;
}

}  // namespace qel2::mapping
