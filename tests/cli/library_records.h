// What the library reads from a store and what caldav_readback.py reads from
// the command's files or a server, in one form: per calendar, each event and
// to-do as a JSON object of its identity, times, texts, attendees,
// categories and alarm actions, sorted.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qel2::test::cli {

// Calendar id (or collection name) -> its items.
using Calendars = std::map<std::string, nlohmann::json>;

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
