// Decodes a value, copied into an exactly-sized heap buffer so that
// AddressSanitizer reports any read past its end, into a held record; and
// the genuine store's values from its manifest.
#pragma once

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include <qel2/codec.h>
#include <qel2/owned.h>

#include "hex.h"
#include "support/legacy42_manifest.h"
#include "value_builder.h"

namespace qel2::test::codec {

inline qel2::EventPtr New(qEL2_VEVENT*) { return qel2::EventPtr(qel2_NewEvent()); }
inline qel2::ToDoPtr New(qEL2_VTODO*) { return qel2::ToDoPtr(qel2_NewToDo()); }
inline qel2::AlarmPtr New(qEL2_VALARM*) { return qel2::AlarmPtr(qel2_NewAlarm()); }
// Calendar records have no constructor: the readers allocate them zeroed.
inline qel2::CalPropsPtr New(qEL2_CALPROPS*) {
    return qel2::CalPropsPtr(static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS))));
}

inline int Decode(qEL2_VEVENT* r, const unsigned char* v, uint32_t n) {
    return qel2_pvt_DeserializeEvent(r, v, n);
}
inline int Decode(qEL2_VTODO* r, const unsigned char* v, uint32_t n) {
    return qel2_pvt_DeserializeToDo(r, v, n);
}
inline int Decode(qEL2_CALPROPS* r, const unsigned char* v, uint32_t n) {
    return qel2_pvt_DeserializeCalProps(r, v, n);
}
inline int Decode(qEL2_VALARM* r, const unsigned char* v, uint32_t n) {
    const unsigned char* cursor = v;
    return qel2_pvt_DeserializeAlarm(r, v, &cursor, n);
}

template <typename Record>
struct Decoded {
    // Decodes the first `size` bytes of `value` (all of it by default).
    explicit Decoded(const Bytes& value, size_t size = SIZE_MAX) {
        size = std::min(size, value.size());
        auto copy = std::make_unique_for_overwrite<unsigned char[]>(size);
        std::copy_n(value.begin(), size, copy.get());
        result = Decode(owned.get(), copy.get(), static_cast<uint32_t>(size));
    }
    Record* operator->() const { return owned.get(); }

    decltype(New(static_cast<Record*>(nullptr))) owned = New(static_cast<Record*>(nullptr));
    int result = 0;
};

inline Bytes StoredValue(const nlohmann::json& record) {
    return qel2::tools::FromHex(record.at("value_hex").get<std::string>()).value();
}

// "calendar/uid" of an event or to-do, the id of a calendar.
inline std::string RecordName(const nlohmann::json& record) {
    if (!record.contains("uid")) return record.at("id");
    return record.at("calendar").get<std::string>() + "/" + record.at("uid").get<std::string>();
}

// The value of the first record of a section with that name.
inline Bytes StoredValueOf(const char* section, const std::string& name) {
    for (const auto& record : qel2::test::Legacy42Manifest().at(section)) {
        if (RecordName(record) == name) return StoredValue(record);
    }
    throw std::runtime_error(name + " is not in the manifest");
}

}  // namespace qel2::test::codec
