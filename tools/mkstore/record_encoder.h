// Encodes decoded records back into stored values: the exact inverse of the
// library's decoders, for tests, benchmarks and whole test stores.
#pragma once

#include <cstdint>
#include <vector>

#include <qel2/records.h>

#include "value_writer.h"

namespace qel2::mkstore {

using Bytes = std::vector<unsigned char>;

struct EncodeOptions {
    // The byte after the count of every empty list (and an alarm count 0).
    uint8_t filler = 0;
    // Older stores end a calendar value right after a zero category count;
    // false writes it that way.
    bool categoryFiller = true;
};

Bytes EncodeCalProps(const qEL2_CALPROPS& calprops, const EncodeOptions& options = {});
Bytes EncodeEvent(const qEL2_VEVENT& event, const EncodeOptions& options = {});
Bytes EncodeToDo(const qEL2_VTODO& todo, const EncodeOptions& options = {});
// One alarm block, as embedded in events and to-dos.
void EncodeAlarm(ValueWriter& out, const qEL2_VALARM& alarm);

}  // namespace qel2::mkstore
