// Mounts for fault tests, made in a mount namespace of the test process's
// own so that the rest of the system never sees them. Needs root (or
// CAP_SYS_ADMIN); each call returns an empty string on success, else the
// reason it could not be done, for a test to skip with.
#pragma once

#include <filesystem>
#include <string>

namespace qel2test {

// Shows `source` read-only at `view` (a bind mount).
std::string MountReadOnlyView(const std::filesystem::path& source, const std::filesystem::path& view);

// Mounts a memory file system of `megabytes` at `folder`.
std::string MountSmallDisk(const std::filesystem::path& folder, int megabytes);

}  // namespace qel2test
