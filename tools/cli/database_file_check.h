// The look at a database file that comes before Berkeley DB touches it:
// Berkeley DB trusts its meta page, and a page size of 0 there ends the
// process inside its open (a division by zero), a root page past the end of
// the file reads as an empty database. Each check names the file and what
// is wrong with it.
#pragma once

#include <cstdint>
#include <filesystem>

namespace qel2::cli {

struct DatabaseFileFacts {
    uint64_t size = 0;
    uint32_t pageSize = 0;
    uint32_t lastPage = 0;
};

// Throws CliError unless `file` is a regular, readable B-tree file whose
// meta page Berkeley DB 5.3 can use and whose size fits the pages it counts.
DatabaseFileFacts CheckDatabaseFile(const std::filesystem::path& file);

// "a directory", "a FIFO (named pipe)", "a symbolic link to the missing
// file T", "missing": what stands at `path` when it is not a regular file;
// "" when it is one.
std::string NotARegularFile(const std::filesystem::path& path);

}  // namespace qel2::cli
