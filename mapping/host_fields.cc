#include "host_fields.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace qel2::mapping {

bool StoreCopy(char*& field, const char* text) {
    field = text != nullptr ? strdup(text) : nullptr;
    return text == nullptr || field != nullptr;
}

// A failed strarray_append counts as running out of memory: a record with
// list entries silently missing would be wrong.
bool StoreListCopy(array_t*& field, const array_t* source) {
    field = array_new();
    if (field == nullptr) return false;
    const uint32_t count = source != nullptr ? source->count : 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (strarray_append(field, strarray_elementat(source, i)) != 0) return false;
    }
    return true;
}

void ReleaseUnattached(CALDB_ATTENDEE* a) {
    if (a == nullptr) return;
    for (char* text : {a->cal_address, a->cutype, a->role, a->cn, a->dir, a->sent_by,
                       a->extra_param, a->partstat}) {
        free(text);
    }
    for (array_t** list : {&a->member, &a->delegated_to, &a->delegated_from}) {
        strarray_free_and_destroy(list);
    }
    free(a);
}

void ReleaseUnattached(CALDB_ALARM* a) {
    if (a == nullptr) return;
    for (char* text : {a->alarm_text1, a->alarm_text2, a->alarm_text3}) free(text);
    for (array_t** list : {&a->alarm_list1, &a->alarm_list2, &a->alarm_list3}) {
        strarray_free_and_destroy(list);
    }
    free(a);
}

void ReleaseUnattached(CALDB_ACE* ace) {
    if (ace == nullptr) return;
    free(ace->principal);
    free(ace->rights);
    free(ace);
}

}  // namespace qel2::mapping
