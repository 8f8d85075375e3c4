// The middle of an event or to-do value, stored alike by both: organizer
// block, attendee count and blocks, the eleven strings, alarm count and
// blocks. Only the leading words and the trailing lists differ.
#pragma once

#include <qel2/records.h>

#include "value_reader.h"

namespace qel2 {

int DecodeOrganizer(ValueReader& reader, qEL2_ORGANIZER*& organizer);
int DecodeAttendees(ValueReader& reader, array_t*& attendees);
int DecodeAlarms(ValueReader& reader, array_t*& alarms);

template <typename Record>
int DecodeEventBody(ValueReader& reader, Record* record) {
    if (int result = DecodeOrganizer(reader, record->pOrganizer)) return result;
    if (int result = DecodeAttendees(reader, record->pAttendees)) return result;
    if (int result =
            reader.strings(record->pSummary, record->pUID, record->pDescription, record->pLocation,
                           record->pURL, record->pClass, record->pOrganizerEmail, record->pCharset,
                           record->pLanguage, record->pExtra1, record->pExtra2)) {
        return result;
    }
    return DecodeAlarms(reader, record->pAlarms);
}

}  // namespace qel2
