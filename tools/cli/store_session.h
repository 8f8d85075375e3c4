// Opening a store for reading: the checks that keep a wrong path from
// becoming an empty store and a damaged file from reaching Berkeley DB, the
// one read-only open without maintenance threads, and the close when the
// command is done.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <qel2/facade.h>
#include <qel2/owned.h>

#include "sample_store.h"

namespace qel2::cli {

// Throws CliError unless `directory` holds the four database files, each
// passing CheckDatabaseFile, and a caldb.conf whose "caldb.version" the
// library accepts. Nothing is created. Returns the database files' bytes.
uint64_t CheckStoreDirectory(const std::string& directory);

// Throws CliError when region files in the store tell that it cannot be
// read as it is: another process has it open, an older Berkeley DB or a
// panic left them (recover first).
void CheckRegionFiles(const std::string& directory);

// Throws CliError naming the damaged database when Berkeley DB's
// structural check of any of the four fails.
void RefuseDamagedStructure(const std::string& directory);

// The recovery open a store last used by Berkeley DB 4.2 needs once; throws
// CliError when it fails.
void RecoverStore(const std::string& directory);

// Records of each database, in the order of qel2_asDBFiles.
struct RecordCounts {
    uint32_t records[4] = {};
};
// The records readable from the store's files as they are, without a
// recovery open, through a home folder named `home` inside RunFolder().
// Throws CliError when a file cannot be opened or read to its end.
RecordCounts CountReadableRecords(const std::string& directory, const std::string& home);

class StoreSession {
public:
    enum class Checks { All, FilesOnly };
    // Opens `store`, or a fresh copy of the bundled sample when none is
    // given (--sample). Throws CliError with the reason when the store cannot be read.
    // FilesOnly leaves the structural check to the caller (verify).
    explicit StoreSession(const std::optional<std::string>& store, Checks checks = Checks::All);
    ~StoreSession();
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;

    qel2BerkeleyDatabase& db() { return db_; }
    const std::string& directory() const { return directory_; }
    // What messages call the store: its path, marked when it is the
    // sample's temporary copy.
    std::string label() const;
    // Names the database file read from now on (events.db, ...) for the
    // report of a fault or a stall.
    void Reading(const char* file) const;

    // The calendar with this id; throws CliError when it is not stored.
    qel2::CalPropsPtr ReadCalendar(const std::string& id);

private:
    std::unique_ptr<SampleStore> sample_;
    std::string directory_;
    qel2BerkeleyDatabase db_;
};

}  // namespace qel2::cli
