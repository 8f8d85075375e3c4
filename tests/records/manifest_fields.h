// Decoded records in the genuine store's manifest notation, flag words also
// split into named bits, walked as tools/common/record_fields.h lists them.
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
    void List(const char* n, const array_t* l) { fields[n] = Each<const char>(l); }
    void Organizer(const char* n, const qEL2_ORGANIZER* o) { fields[n] = o ? Of(*o) : json(); }
    void Attendees(const char* n, const array_t* l) { fields[n] = Each<const qEL2_ATTENDEE>(l); }
    void Alarms(const char* n, const array_t* l) { fields[n] = Each<const qEL2_VALARM>(l); }

    static json Of(const char& text) { return json(&text); }
    static json Of(const qEL2_ORGANIZER& o) {
        return Walked(o, [](auto& v, auto& r) { mkstore::VisitOrganizerFields(v, r); });
    }
    static json Of(const qEL2_ATTENDEE& a) {
        return Walked(a, [](auto& v, auto& r) { mkstore::VisitAttendeeFields(v, r); });
    }
    // With the two words kept for the host, which a decoded alarm leaves 0.
    static json Of(const qEL2_VALARM& a) {
        json alarm = Walked(a, [](auto& v, auto& r) { mkstore::VisitAlarmFields(v, r); });
        alarm.update({{"lAlarmHost1", a.lAlarmHost1}, {"lAlarmHost2", a.lAlarmHost2}});
        return alarm;
    }
    template <typename Record, typename Visit>
    static json Walked(const Record& r, Visit visit) {
        ManifestFields v;
        visit(v, r);
        return v.fields;
    }
    template <typename Element>
    static json Each(const array_t* list) {
        if (list == nullptr) return nullptr;
        json items = json::array();
        for (uint32_t i = 0; i < list->count; ++i)
            items.push_back(Of(*static_cast<Element*>(array_elementat(list, i))));
        return items;
    }
};

// With what only reads set, and a to-do's extra lists, which it never stores.
inline ManifestFields FieldsOf(const qEL2_VEVENT& e) {
    ManifestFields v;
    mkstore::VisitEventFields(v, e);
    v.fields.update({{"rtflags", e.rtflags}, {"RecurrenceID", e.RecurrenceID}});
    v.String("pLinkedCalID", e.pLinkedCalID);
    return v;
}
inline ManifestFields FieldsOf(const qEL2_VTODO& t) {
    ManifestFields v;
    mkstore::VisitToDoFields(v, t);
    v.fields["RecurrenceID"] = t.RecurrenceID;
    v.String("pLinkedCalID", t.pLinkedCalID);
    v.List("pExtraList1", t.pExtraList1);
    v.List("pExtraList2", t.pExtraList2);
    v.List("pExtraList3", t.pExtraList3);
    return v;
}
// A calendar's access bits stand among its fields.
inline ManifestFields FieldsOf(const qEL2_CALPROPS& c) {
    ManifestFields v;
    mkstore::VisitCalPropsFields(v, c);
    v.fields.update(v.bits);
    return v;
}

}  // namespace qel2::test
