// Decodes a value, copied into an exactly-sized heap buffer, into a fresh
// record of its kind that is released when the test is done with it.
#pragma once

#include <cstdlib>

#include <qel2/codec.h>
#include <qel2/records.h>

#include "value_builder.h"

namespace codec_test {

inline void New(qEL2_VEVENT*& r) { r = qel2_NewEvent(); }
inline void New(qEL2_VTODO*& r) { r = qel2_NewToDo(); }
inline void New(qEL2_VALARM*& r) { r = qel2_NewAlarm(); }
// Calendar records have no constructor: the readers allocate them zeroed.
inline void New(qEL2_CALPROPS*& r) { r = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof *r)); }

inline int Decode(qEL2_VEVENT* r, const unsigned char* v, uint32_t n) { return qel2_pvt_DeserializeEvent(r, v, n); }
inline int Decode(qEL2_VTODO* r, const unsigned char* v, uint32_t n) { return qel2_pvt_DeserializeToDo(r, v, n); }
inline int Decode(qEL2_CALPROPS* r, const unsigned char* v, uint32_t n) { return qel2_pvt_DeserializeCalProps(r, v, n); }
inline int Decode(qEL2_VALARM* r, const unsigned char* v, uint32_t n) {
    const unsigned char* cursor = v;
    return qel2_pvt_DeserializeAlarm(r, v, &cursor, n);
}

inline void Free(qEL2_VEVENT*& r) { qel2_FreeEvent(&r); }
inline void Free(qEL2_VTODO*& r) { qel2_FreeToDo(&r); }
inline void Free(qEL2_VALARM*& r) { qel2_FreeAlarm(&r); }
inline void Free(qEL2_CALPROPS*& r) { qel2_FreeCalProps(&r); }

template <typename Record>
struct Decoded {
    // Decodes the first `size` bytes of `value` (all of it by default).
    explicit Decoded(const Bytes& value, size_t size = SIZE_MAX) {
        size = std::min(size, value.size());
        auto copy = ExactCopy(value, size);
        New(record);
        result = Decode(record, copy.get(), static_cast<uint32_t>(size));
    }
    ~Decoded() { Free(record); }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    Record* operator->() const { return record; }

    Record* record = nullptr;
    int result = 0;
};

}  // namespace codec_test
