// The baseline of the decoder benchmarks: builds the same record a decoder
// builds, with the same allocations (constructors, strdup of each non-empty
// string, array_new and strarray_append for each list, array_append for
// attendees and alarms) but copied from a finished record, with no parsing.
#pragma once

#include <cstring>
#include <span>

#include "record_fields.h"

namespace qel2::bench {

class RecordCopier {
public:
    void Word(const char*, uint32_t& to, uint32_t from) { to = from; }
    void SignedWord(const char*, int32_t& to, int32_t from) { to = from; }
    void SignedByte(const char*, int32_t& to, int32_t from) { to = from; }
    void Flags(const char*, std::span<const qel2::mkstore::FlagBit>, uint32_t& to, uint32_t from) {
        to = from;
    }
    void String(const char*, char*& to, const char* from) {
        if (from != nullptr && *from != '\0') to = strdup(from);
    }
    void List(const char*, array_t*& to, const array_t* from) {
        if (from == nullptr || from->count == 0) return;
        to = array_new();
        for (uint32_t i = 0; i < from->count; ++i) strarray_append(to, strarray_elementat(from, i));
    }
    void Organizer(const char*, qEL2_ORGANIZER*& to, const qEL2_ORGANIZER* from) {
        if (from == nullptr) return;
        to = qel2_NewOrganizer();
        qel2::mkstore::VisitOrganizerFields(*this, *to, *from);
    }
    void Attendees(const char*, array_t*& to, const array_t* from) {
        CopyRecords<qEL2_ATTENDEE>(to, from, qel2_NewAttendee, [this](auto& x, auto& y) {
            qel2::mkstore::VisitAttendeeFields(*this, x, y);
        });
    }
    void Alarms(const char*, array_t*& to, const array_t* from) {
        CopyRecords<qEL2_VALARM>(to, from, qel2_NewAlarm, [this](auto& x, auto& y) {
            qel2::mkstore::VisitAlarmFields(*this, x, y);
        });
    }

private:
    template <typename Record, typename Copy>
    void CopyRecords(array_t*& to, const array_t* from, Record* (*create)(), Copy copy) {
        if (from == nullptr || from->count == 0) return;
        to = array_new();
        for (uint32_t i = 0; i < from->count; ++i) {
            Record* record = create();
            copy(*record, *static_cast<const Record*>(array_elementat(from, i)));
            array_append(to, record);
        }
    }
};

}  // namespace qel2::bench
