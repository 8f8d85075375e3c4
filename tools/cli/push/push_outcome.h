// What a push did, per calendar and per refused request: the stuff of the
// summary lines and of the --report file.
#pragma once

#include <string>
#include <vector>

namespace qel2::cli::push {

// A request the server did not accept (or never answered).
struct Refusal {
    std::string calendar;
    std::string uid;  // empty for the collection itself
    std::string method;
    std::string url;
    long status = 0;     // 0: no HTTP answer
    std::string answer;  // libcurl's reason, or the first lines of the body
    size_t records = 0;  // records the refused resource held
};

struct CalendarOutcome {
    std::string id;
    std::string collection;  // the name under the push URL
    std::string url;
    // "created", "existing", "would be created" (dry run) or "refused"
    std::string collectionState;
    size_t resources = 0, records = 0;
    size_t sent = 0;          // new resources stored (or, dry run, to be sent)
    size_t updated = 0;       // replaced because their content differed (--update)
    size_t alreadyThere = 0;  // on the server before, left as they were
    size_t refused = 0;       // resources the server refused
    size_t refusedRecords = 0;
};

}  // namespace qel2::cli::push
