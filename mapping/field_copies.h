// Copies of strings and string lists into host record fields.
#pragma once

#include <qel2/host.h>

namespace qel2::mapping {

// Stores a strdup copy of `text` in `field` (null stays null), releasing
// what the field held. False when the copy cannot be made.
bool StoreCopy(char*& field, const char* text);

// Stores a new string array holding copies of every string of `source`, in
// order, in `field`, releasing the array the field held. An absent source
// gives an empty array. False when the array or a copy cannot be made; the
// field then holds the array as far as it got, or null.
bool StoreListCopy(array_t*& field, const array_t* source);

// Appends a host record the caller has just made to a record array; when
// that fails the record is released, so it is never lost.
template <typename Record>
bool AppendOrRelease(array_t* list, Record* record, void (*release)(Record**)) {
    if (array_append(list, record) == 0) return true;
    release(&record);
    return false;
}

}  // namespace qel2::mapping
