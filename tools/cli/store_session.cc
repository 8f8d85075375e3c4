#include "store_session.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include <nspr.h>

#include <qel2/standin_host.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "cli_error.h"

namespace qel2cli {

namespace {

namespace fs = std::filesystem;

// The host speaks Berkeley DB 4.2's flag numbers; 0x20 is its DB_RECOVER.
constexpr uint32_t kDb42Recover = 0x20;
// No checkpoint or deadlock thread: a reading command changes nothing.
constexpr uint32_t kNoThreads = 0;
constexpr const char* kAcceptedVersion = "1.0.0 [BerkeleyDB]";
constexpr int kDatabaseFiles = 4;

std::string StoreVersion(const std::string& conf) {
    calconf_file* handle = nullptr;
    if (calconf_Open(conf.c_str(), &handle) != 0) throw CliError("cannot read " + conf);
    char* value = calconf_GetCopy(handle, "caldb.version");
    std::string version = value ? value : "";
    PR_Free(value);
    calconf_Close(&handle, 0);
    if (value == nullptr) throw CliError(conf + " has no caldb.version: this is not a calendar store");
    return version;
}

// Why an open failed, in words, with what to do about it.
std::string OpenFailure(const std::string& directory, int result) {
    if (result == qEL2_ERR_STORE && fs::exists(fs::path(directory) / "__db.001"))
        return directory + " needs a recovery open first: its region files (__db.001 ...) were left by an older "
                           "Berkeley DB. Work on a copy of the store and run \"qel2caldb recover COPY\" once";
    if (result == qEL2_ERR_STORE || result == qEL2_ERR_MISSING)
        return "cannot open the Berkeley DB environment in " + directory;
    return "cannot open the databases in " + directory + ": " +
           (result > 0 ? std::string(strerror(result)) : "Berkeley DB error " + std::to_string(result));
}

// Holds the log lines of a recovery open: Berkeley DB reports the old
// region files it cannot map ("mmap: Invalid argument") before it replaces
// them, which is noise when the recovery then succeeds.
class HeldLogLines {
public:
    HeldLogLines() { hxlog_set_sink(&HeldLogLines::Hold, this); }
    ~HeldLogLines() { hxlog_set_sink(nullptr, nullptr); }
    HeldLogLines(const HeldLogLines&) = delete;
    HeldLogLines& operator=(const HeldLogLines&) = delete;

    // Writes the held lines where they would have gone.
    void Release() {
        hxlog_set_sink(nullptr, nullptr);
        for (const auto& [level, text] : lines_) hxlog(0, level, "%s", text.c_str());
        lines_.clear();
    }

private:
    static void Hold(void* self, int level, const char* text) {
        static_cast<HeldLogLines*>(self)->lines_.emplace_back(level, text);
    }
    std::vector<std::pair<int, std::string>> lines_;
};

}  // namespace

void CheckStoreDirectory(const std::string& directory) {
    if (!fs::is_directory(directory))
        throw CliError(directory + " is not a calendar store: " +
                       (fs::exists(directory) ? "not a directory" : "no such directory"));
    for (int i = 0; i <= kDatabaseFiles; ++i) {
        fs::path file = fs::path(directory) / qel2_asDBFiles[i];
        if (!fs::is_regular_file(file))
            throw CliError(directory + " is not a calendar store: " + qel2_asDBFiles[i] + " is missing");
    }
    std::string version = StoreVersion((fs::path(directory) / "caldb.conf").string());
    if (version != kAcceptedVersion)
        throw CliError(directory + " has store version \"" + version + "\"; only \"" + kAcceptedVersion +
                       "\" can be read");
}

void RecoverStore(const std::string& directory) {
    CheckStoreDirectory(directory);
    std::vector<char> home(directory.begin(), directory.end());
    home.push_back('\0');
    qel2BerkeleyDatabase db;
    HeldLogLines held;
    int result = db.OpenDB(kNoThreads, kDb42Recover, home.data());
    db.CloseDB();
    if (result != 0) {
        held.Release();
        throw CliError("the recovery open of " + directory + " failed (result " + std::to_string(result) + ")");
    }
}

StoreSession::StoreSession(const std::optional<std::string>& store) {
    if (store) {
        directory_ = *store;
    } else {
        sample_ = std::make_unique<SampleStore>();
        directory_ = sample_->directory();
        RecoverStore(directory_);
    }
    CheckStoreDirectory(directory_);
    // The statistics measure the files of the configured home directory.
    config_set(config_getdefaultcache(), "caldb.berkeleydb.homedir.path", directory_.c_str());
    std::vector<char> home(directory_.begin(), directory_.end());
    home.push_back('\0');
    int result = db_.OpenDB(kNoThreads, 0, home.data());
    if (result != 0) {
        db_.CloseDB();
        throw CliError(OpenFailure(directory_, result));
    }
}

StoreSession::~StoreSession() { db_.CloseDB(); }

std::string StoreSession::label() const {
    return sample_ ? directory_ + " (a temporary copy of the bundled sample)" : directory_;
}

qel2::CalPropsPtr StoreSession::ReadCalendar(const std::string& id) {
    qEL2_CALPROPS* calendar = nullptr;
    std::vector<char> copy(id.begin(), id.end());
    copy.push_back('\0');
    int result = db_.ReadCalProps(copy.data(), &calendar);
    qel2::CalPropsPtr owned(calendar);
    if (result == kBdb42NotFound) throw CliError("no calendar \"" + id + "\" in " + label());
    if (result != 0 || !owned)
        throw CliError("cannot read calendar \"" + id + "\" in " + label() + " (result " + std::to_string(result) +
                       ")");
    return owned;
}

}  // namespace qel2cli
