// Reads back a written store with Berkeley DB: the environment opened
// without recovery and each database with the library's key comparison;
// and the genuine store's records, to compare a written store with.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "record_encoder.h"
#include "store_writer.h"

namespace qel2::test::mkstore {

using qel2::mkstore::Bytes;
using Record = std::pair<Bytes, Bytes>;  // key, value

// Every record of one database in cursor order, and the result of
// DB->verify on it with the comparison installed.
struct DatabaseContents {
    std::vector<Record> records;
    int verifyResult = -1;
};

DatabaseContents ReadDatabase(const std::string& directory, qel2::mkstore::Database database);

// A record as hex key and hex value.
using HexRecord = std::pair<std::string, std::string>;
HexRecord ToHex(const Bytes& key, const Bytes& value);

// The genuine store's records as its manifest lists them: calendars,
// events, to-dos, then alarms, each database in its key order.
std::vector<HexRecord> ManifestRecords();

}  // namespace qel2::test::mkstore
