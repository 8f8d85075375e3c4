#include "field_copies.h"

#include <cstdlib>
#include <cstring>

namespace qel2::mapping {

bool StoreCopy(char*& field, const char* text) {
    free(field);
    field = text != nullptr ? strdup(text) : nullptr;
    return text == nullptr || field != nullptr;
}

// A failed strarray_append counts as running out of memory: a record with
// list entries silently missing would be wrong.
bool StoreListCopy(array_t*& field, const array_t* source) {
    strarray_free_and_destroy(&field);
    field = array_new();
    if (field == nullptr) return false;
    const uint32_t count = source != nullptr ? source->count : 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (strarray_append(field, strarray_elementat(source, i)) != 0) return false;
    }
    return true;
}

}  // namespace qel2::mapping
