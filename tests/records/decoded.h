// Stored values decoded from an exactly-sized heap copy, so that
// AddressSanitizer reports any read past the end; the genuine store's.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <qel2/codec.h>

#include "hex.h"
#include "owned_records.h"
#include "support/legacy42_manifest.h"

namespace qel2::test::codec {

using Bytes = std::vector<unsigned char>;

// Big-endian words.
inline Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes bytes;
    for (uint32_t w : words)
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(w >> shift));
    return bytes;
}
inline Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes bytes;
    for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
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
inline auto New(qEL2_VEVENT*) { return qel2::mkstore::NewEvent(); }
inline auto New(qEL2_VTODO*) { return qel2::mkstore::NewToDo(); }
inline auto New(qEL2_CALPROPS*) { return qel2::mkstore::NewCalProps(); }
inline auto New(qEL2_VALARM*) { return qel2::mkstore::NewAlarm(); }

// The first `size` bytes of `value` (all by default) decoded into a record.
template <typename Record>
struct Decoded {
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
