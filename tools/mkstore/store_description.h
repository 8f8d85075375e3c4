// A store described in JSON, planned into the records to write.
//
//   {
//     "caldb_version": "1.0.0 [BerkeleyDB]",   (null: no caldb.conf)
//     "calendars": [ {"id": "jdoe", "fields": {...},
//                     "category_filler_present": true} ],
//     "events":    [ {"calendar": "jdoe", "uid": "evt-1", "recurrence_id": 0,
//                     "fields": {...}, "flags_decoded": {...}} ],
//     "todos":     [ same as events ],
//     "alarms_db": [ {"leading": 1, "identifier_hex": "<32 digits>" or
//                     "identifier_is_md5_of": "text", "trailing": 0,
//                     "value_hex": "..." or "value_text": "..."} ]
//   }
//
// "fields" are the record fields by name (record_json.h). The calendar id
// defaults to fields.pRelativeCalID and the other way round; so do an
// event's uid and fields.pUID. The manifest of a fixture store has this
// shape, so its records can be written back; its value_hex, key_hex and
// bookkeeping entries are ignored, since values are encoded from "fields".
//
// Damaged values, for tests of damaged stores: "filler_byte" sets the byte
// after empty lists, "truncate_to" cuts the encoded value to that many
// bytes, and "raw_value_hex" stores exactly the given bytes instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "record_encoder.h"
#include "store_writer.h"

namespace qel2::mkstore {

struct PlannedRecord {
    Database database;
    Bytes key;
    Bytes value;
    std::string what;  // names the record in messages
};

struct StorePlan {
    std::optional<std::string> caldbVersion = std::string(kCaldbVersion);
    std::vector<PlannedRecord> records;
};

StorePlan PlanStore(const nlohmann::json& description);
// Reads and plans a description file; a file that cannot be read or parsed
// is an error naming it.
StorePlan PlanStoreFile(const std::string& path);
void WriteStore(const StorePlan& plan, const std::string& directory);

}  // namespace qel2::mkstore
