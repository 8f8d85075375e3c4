// What Berkeley DB's region files (__db.001 ...) in a store folder tell:
// whether another process has the store open, whether an older Berkeley DB
// or a process that stopped in a panic left them.
#pragma once

#include <filesystem>
#include <string>

namespace qel2cli {

enum class LeftRegions {
    None,     // no region files
    Current,  // left by Berkeley DB 5.3 after a clean stop
    Older,    // written by another Berkeley DB version (4.2's server)
    Panic,    // a process stopped inside a Berkeley DB panic
};

LeftRegions RegionsIn(const std::filesystem::path& store);

// "process 1234 (calserver)" for the first other process that maps a
// region file of the store or has one of its files open; "" when none.
// Processes this user cannot look into are not seen.
std::string ProcessHolding(const std::filesystem::path& store);

// Throws CliError when another process holds the store.
void RefuseWhileHeld(const std::filesystem::path& store, const std::string& what);

}  // namespace qel2cli
