// Builds records from the "fields" object of a store description, under the
// record field names. null (or a missing field) is an absent string, list,
// organizer, attendee list or alarm list; a missing number keeps the value
// the record's constructor gives it. A flag word is a number or an object of
// its named bits (record_fields.h). Unknown field names are refused, so a
// misspelt field cannot be silently dropped.
#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

#include "owned_records.h"

namespace qel2::mkstore {

// `where` names the record in error messages. `flagBits` (may be null) holds
// the flag word as named bits when `fields` has no flag word of its own.
qel2::CalPropsPtr CalPropsFromJson(const nlohmann::json& fields, const std::string& where);
qel2::EventPtr EventFromJson(const nlohmann::json& fields, const nlohmann::json* flagBits,
                             const std::string& where);
qel2::ToDoPtr ToDoFromJson(const nlohmann::json& fields, const nlohmann::json* flagBits,
                           const std::string& where);

}  // namespace qel2::mkstore
