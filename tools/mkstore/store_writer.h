// Writes a whole store: a transactional Berkeley DB environment with the
// four B-tree databases, keyed in the library's own orders, and caldb.conf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <db.h>

#include <qel2/store.h>

namespace qel2::mkstore {

enum class Database { Events, ToDos, CalProps, Alarms };

// "events.db", "todos.db", "calprops.db", "alarms.db".
const char* DatabaseFile(Database database);

// The version the library reads.
inline constexpr const char* kCaldbVersion = qEL2_STORE_VERSION;

struct StoreOptions {
    // The "caldb.version" value; nullopt writes no caldb.conf at all.
    std::optional<std::string> caldbVersion = std::string(kCaldbVersion);
    // Puts per transaction: large stores commit in batches.
    uint32_t putsPerTransaction = 1000;
    uint32_t cacheMegabytes = 32;
    // Let Berkeley DB delete log files once a checkpoint no longer needs
    // them, so generated stores do not carry their whole history.
    bool removeOldLogs = false;
};

class StoreWriter {
public:
    // Creates `directory` if needed; refuses one that is not empty, since
    // records would mix with an older store.
    StoreWriter(const std::string& directory, const StoreOptions& options);
    ~StoreWriter();
    StoreWriter(const StoreWriter&) = delete;
    StoreWriter& operator=(const StoreWriter&) = delete;

    // Adds one record; a key already written is refused. `what` names the
    // record in error messages.
    void Put(Database database, const unsigned char* key, size_t keySize,
             const std::vector<unsigned char>& value, const std::string& what);
    // Commits, checkpoints, closes everything cleanly and writes caldb.conf.
    void Finish();

private:
    void Check(int result, const std::string& doing) const;
    void Begin();
    void Commit();
    void CloseAll();
    static void Remember(const DB_ENV* env, const char* prefix, const char* message);

    std::string directory_;
    StoreOptions options_;
    DB_ENV* env_ = nullptr;
    DB* databases_[4] = {};
    DB_TXN* txn_ = nullptr;
    uint32_t putsInTransaction_ = 0;
    std::string lastMessage_;
};

}  // namespace qel2::mkstore
