// Decoded records in the notation of the genuine store's manifest
// (tests/data/legacy42-store.json): every field under its record field
// name, null for an absent string, list or record, and each flag word
// also split into its named bits. The fields are walked as
// tools/common/record_fields.h lists them, so no list of them is kept here.
#pragma once

#include <bit>
#include <span>

#include <nlohmann/json.hpp>

#include <qel2/records.h>

#include "record_fields.h"

namespace qel2::test {

struct ManifestFields {
    using json = nlohmann::json;
    json fields = json::object();
    json bits = json::object();  // of the last flag word

    void Word(const char* n, uint32_t v) { fields[n] = v; }
    void SignedWord(const char* n, int32_t v) { fields[n] = v; }
    void SignedByte(const char* n, int32_t v) { fields[n] = v; }
    void Flags(const char* n, std::span<const qel2::mkstore::FlagBit> named, uint32_t v) {
        fields[n] = v;
        for (const auto& bit : named) bits[bit.name] = (v & bit.mask) >> std::countr_zero(bit.mask);
    }
    void String(const char* n, const char* v) { fields[n] = v ? json(v) : json(); }
    void List(const char* n, const array_t* list) {
        fields[n] = Each<const char>(list, [](const char* s) { return json(s); });
    }
    void Organizer(const char* n, const qEL2_ORGANIZER* o) {
        fields[n] = o ? Of(*o, [](auto& v, auto& r) { qel2::mkstore::VisitOrganizerFields(v, r); })
                      : json();
    }
    void Attendees(const char* n, const array_t* list) {
        fields[n] = Each<const qEL2_ATTENDEE>(list, [](const qEL2_ATTENDEE* a) {
            return Of(*a, [](auto& v, auto& r) { qel2::mkstore::VisitAttendeeFields(v, r); });
        });
    }
    // With the two words kept for the host, which a decoded alarm leaves 0.
    void Alarms(const char* n, const array_t* list) {
        fields[n] = Each<const qEL2_VALARM>(list, [](const qEL2_VALARM* a) {
            json alarm = Of(*a, [](auto& v, auto& r) { qel2::mkstore::VisitAlarmFields(v, r); });
            alarm.update({{"lAlarmHost1", a->lAlarmHost1}, {"lAlarmHost2", a->lAlarmHost2}});
            return alarm;
        });
    }

    template <typename Record, typename Visit>
    static json Of(const Record& r, Visit visit) {
        ManifestFields v;
        visit(v, r);
        return v.fields;
    }
    template <typename Element, typename Convert>
    static json Each(const array_t* list, Convert convert) {
        if (list == nullptr) return nullptr;
        json items = json::array();
        for (uint32_t i = 0; i < list->count; ++i)
            items.push_back(convert(static_cast<Element*>(array_elementat(list, i))));
        return items;
    }
};

// An event or to-do with what only the reads set: the link mark of an
// event, the calendar a link led to, the recurrence id from the key.
inline ManifestFields FieldsOf(const qEL2_VEVENT& e) {
    ManifestFields v;
    qel2::mkstore::VisitEventFields(v, e);
    v.fields["rtflags"] = e.rtflags;
    v.String("pLinkedCalID", e.pLinkedCalID);
    v.fields["RecurrenceID"] = e.RecurrenceID;
    return v;
}
inline ManifestFields FieldsOf(const qEL2_VTODO& t) {
    ManifestFields v;
    qel2::mkstore::VisitToDoFields(v, t);
    v.String("pLinkedCalID", t.pLinkedCalID);
    v.List("pExtraList1", t.pExtraList1);  // not stored in a to-do's value
    v.List("pExtraList2", t.pExtraList2);
    v.List("pExtraList3", t.pExtraList3);
    v.fields["RecurrenceID"] = t.RecurrenceID;
    return v;
}
// A calendar's access bits stand among its fields.
inline ManifestFields FieldsOf(const qEL2_CALPROPS& c) {
    ManifestFields v;
    qel2::mkstore::VisitCalPropsFields(v, c);
    v.fields.update(v.bits);
    return v;
}

}  // namespace qel2::test
