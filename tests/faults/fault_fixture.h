// Fault tests start from a small store written by qel2-mkstore: calendars
// "user0".."user2", each with 40 events and 20 to-dos laid out as the
// generator describes. Each test gets its own copy to damage freely.
#pragma once

#include <filesystem>

#include "store/store_fixture.h"
#include "store_generator.h"

namespace qel2::test {

class FaultTest : public StoreTest {
protected:
    // Copies the written store into `dir`, the test's own folder unless given.
    void copyStore(const std::filesystem::path& dir = {}) const {
        static const TempDir written;  // written once per test process
        static const std::filesystem::path store = [] {
            qel2::mkstore::GenerateStore({3, 40, 20}, written.str() + "/s");
            return written.path() / "s";
        }();
        // The log files go along: page LSNs must not point past the end of
        // the log. The region files (__db.*) are the writer's.
        for (const auto& entry : std::filesystem::directory_iterator(store))
            if (!entry.path().filename().string().starts_with("__db."))
                std::filesystem::copy_file(
                    entry.path(), (dir.empty() ? dir_.path() : dir) / entry.path().filename());
    }
};

}  // namespace qel2::test
