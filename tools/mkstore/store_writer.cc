// Store writer on Berkeley DB 5.3.

#include "store_writer.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include <qel2/key_order.h>

#include "mkstore_error.h"

namespace qel2::mkstore {

namespace {

namespace fs = std::filesystem;

using Compare = int (*)(DB*, const DBT*, const DBT*);

struct DatabaseSetup {
    const char* file;
    Compare compare;
};

// Handle order of the library: events, to-dos, calendars, alarms; to-dos
// share the event key order.
constexpr DatabaseSetup kSetup[] = {
    {"events.db", EventKeyCompare},
    {"todos.db", EventKeyCompare},
    {"calprops.db", CalPropsKeyCompare},
    {"alarms.db", AlarmKeyCompare},
};

constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kLogFileBytes = 10u << 20;
constexpr uint32_t kMaxLocks = 50000;

void PrepareDirectory(const std::string& directory) {
    std::error_code error;
    if (fs::exists(directory, error)) {
        if (!fs::is_directory(directory, error))
            throw MkstoreError(directory + " is not a directory");
        if (!fs::is_empty(directory, error))
            throw MkstoreError(directory + " is not empty; give a new or empty directory");
        return;
    }
    if (!fs::create_directories(directory, error))
        throw MkstoreError("cannot create " + directory + ": " + error.message());
}

}  // namespace

const char* DatabaseFile(Database database) { return kSetup[static_cast<int>(database)].file; }

StoreWriter::StoreWriter(const std::string& directory, const StoreOptions& options)
    : directory_(directory), options_(options) {
    if (options_.putsPerTransaction == 0) options_.putsPerTransaction = 1;
    PrepareDirectory(directory_);
    try {
        Check(db_env_create(&env_, 0), "creating the environment");
        env_->app_private = this;
        env_->set_errcall(env_, Remember);
        env_->set_cachesize(env_, 0, options_.cacheMegabytes << 20, 0);
        env_->set_lg_max(env_, kLogFileBytes);
        env_->set_lk_max_locks(env_, kMaxLocks);
        env_->set_lk_max_objects(env_, kMaxLocks);
        env_->set_flags(env_, DB_TXN_NOSYNC, 1);
        if (options_.removeOldLogs) env_->log_set_config(env_, DB_LOG_AUTO_REMOVE, 1);
        Check(env_->open(env_, directory_.c_str(),
                         DB_CREATE | DB_INIT_LOCK | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN, 0),
              "opening the environment in " + directory_);
        for (int i = 0; i < 4; ++i) {
            Check(db_create(&databases_[i], env_, 0), "creating a database handle");
            databases_[i]->set_pagesize(databases_[i], kPageSize);
            databases_[i]->set_bt_compare(databases_[i], kSetup[i].compare);
            Check(databases_[i]->open(databases_[i], nullptr, kSetup[i].file, nullptr, DB_BTREE,
                                      DB_CREATE | DB_AUTO_COMMIT, 0664),
                  std::string("creating ") + kSetup[i].file);
        }
    } catch (...) {
        CloseAll();
        throw;
    }
}

StoreWriter::~StoreWriter() { CloseAll(); }

void StoreWriter::Remember(const DB_ENV* env, const char*, const char* message) {
    static_cast<StoreWriter*>(env->app_private)->lastMessage_ = message;
}

void StoreWriter::Check(int result, const std::string& doing) const {
    if (result == 0) return;
    std::string text = doing + " failed: " + db_strerror(result);
    if (!lastMessage_.empty()) text += " (" + lastMessage_ + ")";
    throw MkstoreError(text);
}

void StoreWriter::Begin() {
    Check(env_->txn_begin(env_, nullptr, &txn_, 0), "beginning a transaction");
    putsInTransaction_ = 0;
}

void StoreWriter::Commit() {
    if (txn_ == nullptr) return;
    DB_TXN* txn = txn_;
    txn_ = nullptr;  // a failed commit has ended the transaction too
    Check(txn->commit(txn, 0), "committing a transaction");
}

void StoreWriter::Put(Database database, const unsigned char* key, size_t keySize,
                      const std::vector<unsigned char>& value, const std::string& what) {
    if (txn_ == nullptr) Begin();
    DBT keyDbt{};
    keyDbt.data = const_cast<unsigned char*>(key);
    keyDbt.size = keyDbt.ulen = static_cast<uint32_t>(keySize);
    keyDbt.flags = DB_DBT_USERMEM;
    DBT valueDbt{};
    valueDbt.data = const_cast<unsigned char*>(value.data());
    valueDbt.size = valueDbt.ulen = static_cast<uint32_t>(value.size());
    valueDbt.flags = DB_DBT_USERMEM;
    DB* db = databases_[static_cast<int>(database)];
    int result = db->put(db, txn_, &keyDbt, &valueDbt, DB_NOOVERWRITE);
    if (result == DB_KEYEXIST)
        throw MkstoreError(std::string(DatabaseFile(database)) + " already holds the key of " +
                           what);
    Check(result, std::string("writing ") + what + " to " + DatabaseFile(database));
    if (++putsInTransaction_ >= options_.putsPerTransaction) Commit();
}

void StoreWriter::Finish() {
    Commit();
    Check(env_->txn_checkpoint(env_, 0, 0, DB_FORCE), "checkpointing");
    for (DB*& db : databases_) {
        DB* closing = db;
        db = nullptr;
        Check(closing->close(closing, 0), "closing a database");
    }
    DB_ENV* env = env_;
    env_ = nullptr;
    Check(env->close(env, 0), "closing the environment");
    if (!options_.caldbVersion) return;
    std::ofstream conf(fs::path(directory_) / "caldb.conf");
    conf << "! store version\ncaldb.version = \"" << *options_.caldbVersion << "\"\n";
    if (!conf.flush()) throw MkstoreError("cannot write " + directory_ + "/caldb.conf");
}

// Only reached on a failure: what was not committed is rolled back.
void StoreWriter::CloseAll() {
    if (txn_ != nullptr) txn_->abort(txn_);
    txn_ = nullptr;
    for (DB*& db : databases_) {
        if (db != nullptr) db->close(db, 0);
        db = nullptr;
    }
    if (env_ != nullptr) env_->close(env_, 0);
    env_ = nullptr;
}

}  // namespace qel2::mkstore
