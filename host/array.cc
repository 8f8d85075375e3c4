// Growable pointer arrays and the string arrays built on them.
#include <qel2/host.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

constexpr uint32_t kFirstCapacity = 8;
// ARRAY_NOT_FOUND must never be a valid index, so the count stops below it.
constexpr uint32_t kMaxCount = ARRAY_NOT_FOUND - 1;

// Makes room for one more element; false when memory or indexes run out.
bool reserve_one(array_t* array) {
    if (array->count < array->capacity) return true;
    if (array->count >= kMaxCount) return false;
    uint32_t capacity = kFirstCapacity;
    if (array->capacity != 0) {
        capacity = array->capacity > kMaxCount / 2 ? kMaxCount : array->capacity * 2;
    }
    // Only a 32-bit size_t can overflow the byte count of a 32-bit capacity.
    if constexpr (sizeof(size_t) <= sizeof(uint32_t)) {
        if (capacity > SIZE_MAX / sizeof(void*)) return false;
    }
    void* grown = realloc(array->elements, capacity * sizeof(void*));
    if (grown == nullptr) return false;
    array->elements = static_cast<void**>(grown);
    array->capacity = capacity;
    return true;
}

}  // namespace

array_t* array_new(void) { return static_cast<array_t*>(calloc(1, sizeof(array_t))); }

int array_append(array_t* array, void* element) {
    if (array == nullptr || !reserve_one(array)) return -1;
    array->elements[array->count++] = element;
    return 0;
}

void* array_elementat(const array_t* array, uint32_t index) {
    if (array == nullptr || index >= array->count) return nullptr;
    return array->elements[index];
}

uint32_t array_locate(const array_t* array, const void* key, array_compare_fn compare) {
    if (array == nullptr || compare == nullptr) return ARRAY_NOT_FOUND;
    for (uint32_t i = 0; i < array->count; ++i) {
        if (compare(array->elements[i], key) == 0) return i;
    }
    return ARRAY_NOT_FOUND;
}

// Also gives back the element storage: the library empties a record list
// with this call and then releases the array record itself with free().
void array_removeall(array_t* array) {
    if (array == nullptr) return;
    free(array->elements);
    array->elements = nullptr;
    array->capacity = 0;
    array->count = 0;
}

void array_free_and_destroy(array_t** array) {
    if (array == nullptr || *array == nullptr) return;
    array_t* doomed = *array;
    for (uint32_t i = 0; i < doomed->count; ++i) free(doomed->elements[i]);
    free(doomed->elements);
    free(doomed);
    *array = nullptr;
}

int strarray_append(array_t* array, const char* text) {
    if (array == nullptr) return -1;
    char* copy = nullptr;
    if (text != nullptr) {
        copy = strdup(text);
        if (copy == nullptr) return -1;
    }
    if (array_append(array, copy) != 0) {
        free(copy);
        return -1;
    }
    return 0;
}

char* strarray_elementat(const array_t* array, uint32_t index) {
    return static_cast<char*>(array_elementat(array, index));
}

void strarray_free_and_destroy(array_t** array) { array_free_and_destroy(array); }
