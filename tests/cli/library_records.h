// What the library reads from a store, for comparing with what the
// command wrote or sent: every calendar with its events and to-dos, read
// as export and push read them (no window, no deleted records).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include <qel2/records.h>

namespace qel2::test::cli {

struct LibraryVisitor {
    std::function<void(const qEL2_CALPROPS&)> calendar;
    std::function<void(const qEL2_CALPROPS&, const qEL2_VEVENT&)> event;
    std::function<void(const qEL2_CALPROPS&, const qEL2_VTODO&)> todo;
};

// Opens `store` through the library, calls `visit` for each calendar and
// then each of its events and to-dos, and closes the store. A failed read
// is a test failure.
void ReadStoreWithLibrary(const std::filesystem::path& store, const LibraryVisitor& visit);

// iCalendar's basic form: 20060116T090000Z, or 20060116 for a date; "" for 0.
std::string IcsTime(uint32_t time, bool isDate);

}  // namespace qel2::test::cli
