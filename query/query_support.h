// What every query holds while it runs: its cursor and value buffers
// (<qel2/bdb_holders.h>) and half-built records (<qel2/owned.h>), each
// released on every path; and the one report of a value that cannot be
// decoded.
#pragma once

#include <db.h>

#include <qel2/bdb_holders.h>
#include <qel2/owned.h>
#include <qel2/records.h>

namespace qel2::query {

using qel2::Cursor;
using qel2::MallocValue;
using qel2::UserKey;

// The result of a decoder that did not finish: qEL2_ERR_INVALID for a
// damaged value, qEL2_ERR_NOMEM for any shortage of memory (an alarm that
// could not be built included). Logs one ERROR line naming the function,
// the database file and the key in hex, so no damaged record passes
// silently.
int ReportUndecodable(const char* function, const char* file, const DBT& key, int decoded);

}  // namespace qel2::query
