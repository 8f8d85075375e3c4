// The manifest of the genuine Berkeley DB 4.2 store in tests/data: record
// counts, and every stored key and value in hex with its decoded fields.
#pragma once

#include <fstream>

#include <nlohmann/json.hpp>

#include "support/temp_dir.h"

namespace qel2::test {

inline const nlohmann::json& Legacy42Manifest() {
    static const nlohmann::json manifest = [] {
        std::ifstream in(test_data_dir() / "legacy42-store.json");
        return nlohmann::json::parse(in);
    }();
    return manifest;
}

}  // namespace qel2::test
