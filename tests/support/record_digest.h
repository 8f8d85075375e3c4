// A 64-bit digest (FNV-1a) of what a read returned, computed without
// allocating, so that results can be compared across runs and threads and
// inside code whose allocations are being counted.
#pragma once

#include <cstdint>

#include <qel2/qel2.h>

namespace qel2test {

inline constexpr uint64_t kDigestStart = 14695981039346656037u;

inline void Mix(uint64_t& digest, uint32_t number) { digest = (digest ^ number) * 1099511628211u; }

inline void Mix(uint64_t& digest, const char* text) {
    for (const char* c = text ? text : ""; *c != '\0'; ++c) Mix(digest, static_cast<unsigned char>(*c));
    Mix(digest, 0x100u);  // ends the text, so that "ab"+"c" differs from "a"+"bc"
}

// An event or to-do: identity, times, flags and summary; 0 for none.
template <typename Record>
uint64_t Digest(const Record* record) {
    if (record == nullptr) return 0;
    uint64_t digest = kDigestStart;
    Mix(digest, record->pUID);
    Mix(digest, static_cast<uint32_t>(record->RecurrenceID));
    Mix(digest, record->pSummary);
    Mix(digest, record->dtStart);
    Mix(digest, record->flags);
    Mix(digest, record->pLinkedCalID);
    return digest;
}

// A list of events or to-dos, in order.
template <typename Record>
uint64_t Digest(const array_t* list) {
    uint64_t digest = kDigestStart;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        uint64_t one = Digest(static_cast<const Record*>(array_elementat(list, i)));
        Mix(digest, static_cast<uint32_t>(one));
        Mix(digest, static_cast<uint32_t>(one >> 32));
    }
    return digest;
}

// A list of calendars: ids and names, in order.
inline uint64_t DigestCalendars(const array_t* list) {
    uint64_t digest = kDigestStart;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        auto* calendar = static_cast<const qEL2_CALPROPS*>(array_elementat(list, i));
        Mix(digest, calendar->pRelativeCalID);
        Mix(digest, calendar->pName);
    }
    return digest;
}

}  // namespace qel2test
