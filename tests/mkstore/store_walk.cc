// Reads back a written store with Berkeley DB.

#include "store_walk.h"

#include <stdexcept>

#include <qel2/bdb_holders.h>
#include <qel2/key_order.h>

#include "hex.h"
#include "support/legacy42_manifest.h"

namespace qel2::test::mkstore {

namespace {

struct Environment {
    DB_ENV* env = nullptr;
    explicit Environment(const std::string& directory) {
        if (db_env_create(&env, 0) != 0 ||
            env->open(env, directory.c_str(),
                      DB_CREATE | DB_INIT_LOCK | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN, 0) != 0)
            throw std::runtime_error("cannot open the environment in " + directory);
    }
    ~Environment() { env->close(env, 0); }
};

using Compare = int (*)(DB*, const DBT*, const DBT*);

Compare ComparisonOf(qel2::mkstore::Database database) {
    switch (database) {
        case qel2::mkstore::Database::CalProps:
            return CalPropsKeyCompare;
        case qel2::mkstore::Database::Alarms:
            return AlarmKeyCompare;
        default:
            return EventKeyCompare;
    }
}

DB* OpenDatabase(DB_ENV* env, qel2::mkstore::Database database) {
    DB* db = nullptr;
    db_create(&db, env, 0);
    db->set_bt_compare(db, ComparisonOf(database));
    if (db->open(db, nullptr, qel2::mkstore::DatabaseFile(database), nullptr, DB_BTREE, DB_RDONLY,
                 0) != 0) {
        db->close(db, 0);
        throw std::runtime_error(std::string("cannot open ") +
                                 qel2::mkstore::DatabaseFile(database));
    }
    return db;
}

Bytes Copy(const DBT& dbt) {
    auto* bytes = static_cast<const unsigned char*>(dbt.data);
    return Bytes(bytes, bytes + dbt.size);
}

}  // namespace

DatabaseContents ReadDatabase(const std::string& directory, qel2::mkstore::Database database) {
    DatabaseContents contents;
    Environment environment(directory);
    DB* db = OpenDatabase(environment.env, database);
    {
        qel2::Cursor cursor;
        cursor.open(db);
        DBT key{}, value{};
        while (cursor.read(&key, &value) == 0)
            contents.records.emplace_back(Copy(key), Copy(value));
    }
    db->close(db, 0);

    // DB->verify consumes its handle, which must not be opened.
    DB* verifier = nullptr;
    db_create(&verifier, environment.env, 0);
    verifier->set_bt_compare(verifier, ComparisonOf(database));
    contents.verifyResult =
        verifier->verify(verifier, qel2::mkstore::DatabaseFile(database), nullptr, nullptr, 0);
    return contents;
}

HexRecord ToHex(const Bytes& key, const Bytes& value) {
    return {qel2::tools::ToHex(key), qel2::tools::ToHex(value)};
}

std::vector<HexRecord> ManifestRecords() {
    std::vector<HexRecord> records;
    for (const char* section : {"calendars", "events", "todos", "alarms_db"}) {
        for (const auto& record : qel2::test::Legacy42Manifest().at(section)) {
            // Calendars name their key by the digest, the others in full.
            records.emplace_back(record.value("key_md5", record.value("key_hex", "")),
                                 record.at("value_hex"));
        }
    }
    return records;
}

}  // namespace qel2::test::mkstore
