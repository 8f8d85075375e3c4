// Recurrence rules and dates (RRULE, RDATE, EXDATE) written in the
// kind of their component's start: a DATE start gets DATE values and a
// date-only UNTIL, a DATE-TIME start gets UTC DATE-TIME values (a date
// becomes that day at the start's time of day), since clients refuse the
// mix. Text libical cannot read is kept as X-QEL2-<NAME>.
#pragma once

#include <cstdint>
#include <string_view>

#include <qel2/host.h>

#include "property_writer.h"

namespace qel2::cli::exporter {

struct Start {
    uint32_t time = 0;
    bool isDate = false;
};

// `name` is RRULE.
void WriteRules(PropertyWriter& writer, std::string_view name, const array_t* rules, Start start);
// `name` is RDATE or EXDATE.
void WriteDates(PropertyWriter& writer, std::string_view name, const array_t* dates, Start start);

}  // namespace qel2::cli::exporter
