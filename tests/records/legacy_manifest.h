// The manifest of the genuine Berkeley DB 4.2 store in tests/data: every
// stored value in hex with its decoded fields.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "support/temp_dir.h"
#include "value_builder.h"

namespace codec_test {

inline const nlohmann::json& LegacyManifest() {
    static const nlohmann::json manifest = [] {
        std::ifstream in(qel2test::test_data_dir() / "legacy42-store.json");
        return nlohmann::json::parse(in);
    }();
    return manifest;
}

inline Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

inline Bytes StoredValue(const nlohmann::json& record) { return FromHex(record.at("value_hex")); }

// "calendar/uid" of an event or to-do, the id of a calendar.
inline std::string RecordName(const nlohmann::json& record) {
    if (!record.contains("uid")) return record.at("id");
    return record.at("calendar").get<std::string>() + "/" + record.at("uid").get<std::string>();
}

// The value of the first record of a section ("events", "todos",
// "calendars") with that name.
inline Bytes StoredValueOf(const char* section, const std::string& name) {
    for (const auto& record : LegacyManifest().at(section)) {
        if (RecordName(record) == name) return StoredValue(record);
    }
    throw std::runtime_error(name + " is not in the manifest");
}

}  // namespace codec_test
