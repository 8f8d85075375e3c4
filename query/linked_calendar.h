// The calendar a link leads into, kept while the next link leads into the
// same one: a calendar's links mostly point into one or two others, and
// reading a calendar costs a digest of its id, a fetch and a decode.
#pragma once

#include <memory>

#include <qel2/records.h>

#include "query/query_support.h"

namespace qel2query {

class LinkedCalendar {
public:
    // The calendar `id` as qel2_pvt_ReadCalProps reads it, or null when it
    // cannot be read. Valid until the next call with another id.
    qEL2_CALPROPS* read(const char* id);

private:
    struct FreeText {
        void operator()(char* text) const { free(text); }
    };
    std::unique_ptr<char, FreeText> id_;  // the id asked for, not the record's own
    HeldCalProps calendar_;
};

}  // namespace qel2query
