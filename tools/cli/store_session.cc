#include "store_session.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <nspr.h>

#include <qel2/standin_host.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "cli_error.h"
#include "database_file_check.h"
#include "library_log.h"
#include "store_regions.h"
#include "structure_check.h"
#include "watched_command.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

// No checkpoint or deadlock thread: a reading command changes nothing.
constexpr uint32_t kNoThreads = 0;

std::string StoreVersion(const std::string& conf) {
    calconf_file* handle = nullptr;
    if (int error = calconf_Open(conf.c_str(), &handle))
        throw CliError("cannot read " + conf + ": " + std::strerror(error) +
                       (error == EFBIG ? " (settings files are at most 1 MB)" : ""));
    char* value = calconf_GetCopy(handle, "caldb.version");
    std::string version = value ? value : "";
    PR_Free(value);
    calconf_Close(&handle, 0);
    if (value == nullptr)
        throw CliError(conf + " has no caldb.version: this is not a calendar store");
    return version;
}

std::vector<char> CString(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return copy;
}

// A reading command opens the store through a home folder of its own:
// links to the four database files, caldb.conf and the log files (the
// databases' pages carry positions in that log, which Berkeley DB checks
// against the log's end). Berkeley DB keeps its regions there, not in the
// store folder, so the store stays as it is on disk, no earlier process's
// cached pages are read in place of the files, and a DB_CONFIG in the store
// folder steers nothing. The databases are opened read-only and nothing is
// logged for them, so no file behind a link is written.
std::string PrepareReadHome(const std::string& store, const std::string& name) {
    fs::path home = fs::path(RunFolder()) / name;
    fs::create_directory(home);
    fs::path absolute = fs::absolute(store);
    for (int i = 0; i <= qEL2_FILE_CONF; ++i)
        fs::create_symlink(absolute / qel2_asDBFiles[i], home / qel2_asDBFiles[i]);
    for (const fs::directory_entry& entry : fs::directory_iterator(absolute))
        if (entry.path().filename().string().rfind("log.", 0) == 0)
            fs::create_symlink(entry.path(), home / entry.path().filename());
    if (fs::exists(absolute / "DB_CONFIG"))
        std::fprintf(
            stderr,
            "qel2caldb: note: %s/DB_CONFIG is not obeyed: the store is read with the command's own "
            "settings, so the file cannot point the reads at other files or make them write\n",
            store.c_str());
    return home.string();
}

void OpenForReading(qel2BerkeleyDatabase& db, const std::string& store,
                    const std::string& homeName) {
    std::vector<char> home = CString(PrepareReadHome(store, homeName));
    NoteReading("the databases of " + store);
    HeldLogLines held;
    int result = db.OpenDB(kNoThreads, qEL2_DB42_RDONLY, home.data());
    if (result != 0) {
        db.CloseDB();
        std::string reason = held.LastError();
        // Berkeley DB's own words for pages newer than the log it can see.
        if (held.Holds("past end of log"))
            reason =
                "its database pages refer to log records the store no longer has (log files "
                "removed or cut), "
                "and Berkeley DB does not read them without those; " +
                reason;
        held.Release();
        throw CliError("cannot open the databases of " + store + ": " +
                       (reason.empty() ? ResultText(result) : reason));
    }
    held.Release();
}

}  // namespace

uint64_t CheckStoreDirectory(const std::string& directory) {
    if (!fs::is_directory(directory))
        throw CliError(directory + " is not a calendar store: " +
                       (fs::exists(directory) ? "not a directory" : "no such directory"));
    uint64_t bytes = 0;
    for (int i = 0; i <= qEL2_FILE_CONF; ++i) {
        fs::path file = fs::path(directory) / qel2_asDBFiles[i];
        std::string kind = NotARegularFile(file);
        if (kind == "missing")
            throw CliError(directory + " is not a calendar store: " + qel2_asDBFiles[i] +
                           " is missing");
        if (!kind.empty())
            throw CliError(file.string() + " is " + kind + ", not a file of a calendar store");
        if (i < qEL2_DATABASE_FILES) bytes += CheckDatabaseFile(file).size;
    }
    std::string version =
        StoreVersion((fs::path(directory) / qel2_asDBFiles[qEL2_FILE_CONF]).string());
    if (version != qEL2_STORE_VERSION)
        throw CliError(directory + " has store version \"" + version + "\"; only \"" +
                       qEL2_STORE_VERSION + "\" can be read");
    return bytes;
}

void CheckRegionFiles(const std::string& directory) {
    RefuseWhileHeld(directory, "reading it", Holders::Writers);
    switch (RegionsIn(directory)) {
        case LeftRegions::None:
        case LeftRegions::Current:
            return;
        case LeftRegions::Older:
            throw CliError(
                directory +
                " needs a recovery open first: its region files (__db.001 ...) were left by an "
                "older Berkeley DB, and its log may hold changes its database files lack. Work on "
                "a copy of the store and run \"qel2caldb recover COPY\" once");
        case LeftRegions::Panic:
            throw CliError(
                directory +
                " was left in a Berkeley DB panic by an earlier process (recorded in __db.001): "
                "its files may lack changes that only its log holds. Work on a copy of the store "
                "and run \"qel2caldb recover COPY\"");
    }
}

void RefuseDamagedStructure(const std::string& directory) {
    for (int i = 0; i < qEL2_DATABASE_FILES; ++i) {
        fs::path file = fs::path(directory) / qel2_asDBFiles[i];
        StructureFindings found = CheckStructure(file);
        if (!found.sound)
            throw CliError(file.string() + " is damaged: " + found.findings +
                           " (\"qel2caldb verify\" checks every database)");
    }
}

void RecoverStore(const std::string& directory) {
    CheckStoreDirectory(directory);
    RefuseWhileHeld(directory, "recovery", Holders::Anyone);
    std::vector<char> home = CString(directory);
    qel2BerkeleyDatabase db;
    HeldLogLines held;
    int result = db.OpenDB(kNoThreads, qEL2_DB42_RECOVER, home.data());
    db.CloseDB();
    if (result != 0) {
        held.Release();
        throw CliError("the recovery open of " + directory + " failed: " + ResultText(result));
    }
}

RecordCounts CountReadableRecords(const std::string& directory, const std::string& home) {
    constexpr uint32_t kAllRecords = qEL2_STATS_CALPROPS | qEL2_STATS_EVENTS | qEL2_STATS_TODOS;
    qel2BerkeleyDatabase db;
    OpenForReading(db, directory, home);
    size_t errorsBefore = LibraryErrorLines();
    qEL2_DB_STATISTICS stats = {};
    int result = db.GetStats(&stats, kAllRecords);
    db.CloseDB();
    // The count logs a walk that ended early and goes on.
    if (result != 0 || LibraryErrorLines() != errorsBefore)
        throw CliError(
            "cannot count the records of " + directory + ": " +
            (LibraryErrorLines() != errorsBefore ? LastLibraryError() : ResultText(result)));
    RecordCounts counts;
    counts.records[0] = stats.nEvents;
    counts.records[1] = stats.nToDos;
    counts.records[2] = stats.nCalProps;
    counts.records[3] = stats.nAlarms;
    return counts;
}

StoreSession::StoreSession(const std::optional<std::string>& store, Checks checks) {
    if (store) {
        directory_ = *store;
    } else {
        sample_ = std::make_unique<SampleStore>();
        directory_ = sample_->directory();
        RecoverStore(directory_);
    }
    AllowTimeFor(CheckStoreDirectory(directory_));
    CheckRegionFiles(directory_);
    if (checks == Checks::All) RefuseDamagedStructure(directory_);
    // The statistics measure the files of the configured home directory.
    config_set(config_getdefaultcache(), "caldb.berkeleydb.homedir.path", directory_.c_str());
    OpenForReading(db_, directory_, "home");
}

StoreSession::~StoreSession() { db_.CloseDB(); }

std::string StoreSession::label() const {
    return sample_ ? directory_ + " (a temporary copy of the bundled sample)" : directory_;
}

void StoreSession::Reading(const char* file) const {
    NoteReading((fs::path(directory_) / file).string());
}

qel2::CalPropsPtr StoreSession::ReadCalendar(const std::string& id) {
    Reading(qel2_asDBFiles[qEL2_FILE_CALPROPS]);
    qEL2_CALPROPS* calendar = nullptr;
    std::vector<char> copy = CString(id);
    int result = db_.ReadCalProps(copy.data(), &calendar);
    qel2::CalPropsPtr owned(calendar);
    if (result == qEL2_DB42_NOTFOUND) throw CliError("no calendar \"" + id + "\" in " + label());
    if (result != 0 || !owned)
        throw CliError("cannot read calendar \"" + id + "\" in " + label() + ": " +
                       ResultText(result));
    return owned;
}

}  // namespace qel2::cli
