// Berkeley DB's own structural check of a database file (DB->verify) with
// the store's key order installed, run in a child process under a
// watchdog: the check reads every page, and a damaged page may still crash
// or stall it.
#pragma once

#include <filesystem>
#include <string>

namespace qel2::cli {

struct StructureFindings {
    bool sound = true;
    std::string findings;  // what the check found, when not sound
};

// `file` must have passed CheckDatabaseFile. Its name (events.db, ...)
// chooses the key order.
StructureFindings CheckStructure(const std::filesystem::path& file);

}  // namespace qel2::cli
