// The manifest of the genuine Berkeley DB 4.2 store in tests/data.
#pragma once

#include <fstream>

#include <nlohmann/json.hpp>

#include "support/temp_dir.h"

namespace mkstore_test {

inline nlohmann::json LoadManifest() {
    std::ifstream in(qel2test::test_data_dir() / "legacy42-store.json");
    return nlohmann::json::parse(in);
}

}  // namespace mkstore_test
