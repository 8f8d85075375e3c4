// What Berkeley DB's region files (__db.001 ...) in a store folder tell:
// whether another process has the store open, whether an older Berkeley DB
// or a process that stopped in a panic left them.
#pragma once

#include <filesystem>
#include <string>

namespace qel2::cli {

enum class LeftRegions {
    None,     // no region files
    Current,  // left by Berkeley DB 5.3 after a clean stop
    Older,    // written by another Berkeley DB version (4.2's server)
    Panic,    // a process stopped inside a Berkeley DB panic
};

LeftRegions RegionsIn(const std::filesystem::path& store);

// Who counts as holding a store: readers may share it with other readers
// (another qel2caldb opens its files read-only and maps no region of it);
// recovery rewrites its files and shares it with no one.
enum class Holders { Writers, Anyone };

// "process 1234 (calserver)" for the first other process that maps a
// region file of the store or has one of its files open (for writing, with
// Holders::Writers); "" when none. Processes this user cannot look into
// are not seen.
std::string ProcessHolding(const std::filesystem::path& store, Holders holders);

// Throws CliError when another process holds the store.
void RefuseWhileHeld(const std::filesystem::path& store, const std::string& what, Holders holders);

}  // namespace qel2::cli
