// What the library reads from a store, and what an independent iCalendar
// reader (caldav_readback.py) reads from the command's files or a server, in
// one form for comparing: each event and to-do by identity, times, texts,
// attendees, categories and alarm actions.
#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace qel2::test::cli {

struct Item {
    std::string kind, uid, recurrenceId, start, end, summary, description, location, status;
    std::vector<std::string> attendees, categories, alarms;
    auto operator<=>(const Item&) const = default;
    friend void PrintTo(const Item& i, std::ostream* out) {
        *out << i.kind << " " << i.uid << "@" << i.recurrenceId;
    }
};
// Calendar id (or collection name) -> its items, sorted.
using Calendars = std::map<std::string, std::vector<Item>>;

// Every calendar with its events and to-dos, read as export and push read
// them (no window, no deleted records). A failed read is a test failure.
Calendars ReadWithLibrary(const std::filesystem::path& store);

// caldav_readback.py's answer: per collection its items, its number of
// resources and what python3-vobject's validation refused.
struct Readback {
    Calendars items;
    std::map<std::string, size_t> resources;
    std::vector<std::string> invalid;
};
Readback ReadBack(const std::vector<std::string>& arguments);

}  // namespace qel2::test::cli
