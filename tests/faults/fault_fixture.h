// Fault tests start from a small store written by qel2-mkstore, copied into
// the test's own folder so that each test may damage it freely.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "query/query_store.h"
#include "store/store_fixture.h"

namespace qel2::test {

// The written store: calendars "user0".."user2", each with 40 events and
// 20 to-dos laid out as qel2-mkstore's generator describes.
inline constexpr uint32_t kFaultCalendars = 3;

class FaultTest : public StoreTest {
protected:
    // Copies the written store into `dir`, the test's own folder unless given.
    static void copyStore(const std::filesystem::path& dir);
    void copyStore() const { copyStore(dir_.path()); }
    std::filesystem::path file(const std::string& name) const { return dir_.path() / name; }
};

// What every kind of read over every calendar of the open fault store came
// back with, so that a damaged copy can be compared with an intact one.
struct SweepTally {
    uint32_t calendars = 0;  // read by id
    uint32_t searched = 0;   // listed by the search without pattern
    uint32_t events = 0;     // listed by the time-window walks
    uint32_t todos = 0;
    uint32_t singleReadMisses = 0;  // walked records a read by key did not return with 0
    std::set<int> results;          // every result code seen
    bool operator==(const SweepTally&) const = default;
};

// Reads each calendar by id, lists its events and to-dos (tombstones too),
// reads every listed record again by its key, and searches all calendars.
SweepTally SweepStore();

// Mounts in a mount namespace of the process's own, unseen by the rest of
// the system (root only). Each returns "" when done, else why it could not.
std::string MountReadOnlyView(const std::filesystem::path& source,
                              const std::filesystem::path& view);
std::string MountSmallDisk(const std::filesystem::path& folder, int megabytes);

}  // namespace qel2::test
