// Fault tests start from a small store written by qel2-mkstore, copied into
// the test's own folder so that each test may damage it freely.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "query/query_store.h"
#include "store/store_fixture.h"

namespace qel2test {

// The written store: calendars "user0".."user2", each with 40 events and
// 20 to-dos laid out as qel2-mkstore's generator describes.
inline constexpr uint32_t kFaultCalendars = 3;
inline constexpr uint32_t kFaultEvents = 40;
inline constexpr uint32_t kFaultToDos = 20;

class FaultTest : public StoreTest {
protected:
    // Copies the written store into `dir`, the test's own folder unless
    // given.
    static void copyStore(const std::filesystem::path& dir);
    void copyStore() const { copyStore(dir_.path()); }
    std::filesystem::path file(const std::string& name) const { return dir_.path() / name; }
};

}  // namespace qel2test
