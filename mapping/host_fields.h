// Writing into host record fields: copies of strings and string lists,
// release of records that never got attached, and re-packing of flag words
// into the host's layout.
//
// The mapping stores into the host's fields and never releases what the
// host left there: a field may hold a static string or memory the host
// keeps elsewhere, and no host service releases a record of its model.
#pragma once

#include <cstdint>

#include <qel2/host_records.h>

namespace qel2::mapping {

// Stores a strdup copy of `text` in `field` (null stays null). False when
// the copy cannot be made.
bool StoreCopy(char*& field, const char* text);

// Stores a new string array holding copies of every string of `source`, in
// order, in `field`. An absent source gives an empty array. False when the
// array or a copy cannot be made; the field then holds the array as far as
// it got, or null.
bool StoreListCopy(array_t*& field, const array_t* source);

// A host record the mapping made but could not attach to the target is
// nobody's: it is released the way the host releases its records (free on
// every string, list and the record), so running out of memory loses
// nothing.
void ReleaseUnattached(CALDB_ATTENDEE* attendee);
void ReleaseUnattached(CALDB_ALARM* alarm);
void ReleaseUnattached(CALDB_ACE* ace);

// `mask` when `set` is nonzero, else 0.
constexpr uint32_t BitIf(int set, uint32_t mask) { return set ? mask : 0; }

// `word` with the bits of `mask` replaced by those of `bits`.
constexpr uint32_t ReplaceBits(uint32_t word, uint32_t mask, uint32_t bits) {
    return (word & ~mask) | (bits & mask);
}

}  // namespace qel2::mapping
