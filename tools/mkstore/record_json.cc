// Records from their JSON description.

#include "record_json.h"

#include <bit>
#include <cstdint>
#include <set>
#include <span>

#include <nlohmann/json.hpp>

#include "mkstore_error.h"
#include "record_fields.h"

namespace qel2::mkstore {

namespace {

using nlohmann::json;

class JsonFieldReader {
public:
    JsonFieldReader(const json& fields, const json* flagBits, std::string where)
        : fields_(fields), flagBits_(flagBits), where_(std::move(where)) {
        if (!fields_.is_object()) Fail("", "must be an object");
    }

    void Word(const char* name, uint32_t& field) {
        if (const json* value = Find(name))
            field = static_cast<uint32_t>(Integer(name, *value, 0, UINT32_MAX));
    }
    void SignedWord(const char* name, int32_t& field) {
        if (const json* value = Find(name))
            field = static_cast<int32_t>(Integer(name, *value, INT32_MIN, INT32_MAX));
    }
    void SignedByte(const char* name, int32_t& field) {
        if (const json* value = Find(name))
            field = static_cast<int32_t>(Integer(name, *value, INT8_MIN, INT8_MAX));
    }

    // A flag word: a number, or an object of named bits. Without either,
    // named bits beside the fields are used (a decoded dump's layout: the
    // record's "flags_decoded", or a calendar's ReadAccess and the like
    // among its own fields).
    void Flags(const char* name, std::span<const FlagBit> bits, uint32_t& field) {
        const json* named = flagBits_ != nullptr ? flagBits_ : &fields_;
        if (named == &fields_)
            for (const FlagBit& bit : bits) seen_.insert(bit.name);
        if (const json* value = Find(name)) {
            field = value->is_object()
                        ? PackBits(name, bits, *value)
                        : static_cast<uint32_t>(Integer(name, *value, 0, UINT32_MAX));
            return;
        }
        if (!named->is_object()) return;
        json present = json::object();
        for (const FlagBit& bit : bits)
            if (named->contains(bit.name)) present[bit.name] = (*named)[bit.name];
        if (!present.empty()) field = PackBits(name, bits, present);
    }

    void String(const char* name, char*& field) {
        const json* value = Find(name);
        if (value == nullptr || value->is_null()) return;
        if (!value->is_string()) Fail(name, "must be a string or null");
        SetString(field, value->get_ref<const std::string&>());
    }

    void List(const char* name, array_t*& field) {
        const json* value = Find(name);
        if (value != nullptr) ReadList(name, *value, field);
    }

    void Organizer(const char* name, qEL2_ORGANIZER*& field) {
        const json* value = Find(name);
        if (value == nullptr || value->is_null()) return;
        qel2::OrganizerPtr organizer = NewOrganizer();
        JsonFieldReader reader(*value, nullptr, where_ + "." + name);
        VisitOrganizerFields(reader, *organizer);
        reader.RefuseUnknown({});
        field = organizer.release();
    }

    void Attendees(const char* name, array_t*& field) {
        ForEachElement(name, [&](const json& element, const std::string& where) {
            qel2::AttendeePtr attendee = NewAttendee();
            JsonFieldReader reader(element, nullptr, where);
            VisitAttendeeFields(reader, *attendee);
            reader.RefuseUnknown({});
            AppendRecord(field, std::move(attendee));
        });
    }

    void Alarms(const char* name, array_t*& field) {
        ForEachElement(name, [&](const json& element, const std::string& where) {
            qel2::AlarmPtr alarm = NewAlarm();
            JsonFieldReader reader(element, nullptr, where);
            VisitAlarmFields(reader, *alarm);
            reader.RefuseUnknown({"lAlarmHost1", "lAlarmHost2"});
            AppendRecord(field, std::move(alarm));
        });
    }

    // Fields a decoded dump carries that are not stored are accepted and
    // ignored; any other name is an error.
    void RefuseUnknown(std::initializer_list<const char*> notStored) {
        for (const char* name : notStored) seen_.insert(name);
        for (const auto& item : fields_.items())
            if (!seen_.contains(item.key()))
                Fail(item.key(), "is not a stored field of this record");
    }

private:
    [[noreturn]] void Fail(const std::string& name, const std::string& problem) const {
        throw MkstoreError(where_ + (name.empty() ? "" : ": field " + name) + " " + problem);
    }

    const json* Find(const char* name) {
        seen_.insert(name);
        auto it = fields_.find(name);
        return it == fields_.end() ? nullptr : &*it;
    }

    int64_t Integer(const std::string& name, const json& value, int64_t lowest,
                    int64_t highest) const {
        if (!value.is_number_integer()) Fail(name, "must be a whole number");
        int64_t number = value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX
                             ? INT64_MAX
                             : value.get<int64_t>();
        if (number < lowest || number > highest)
            Fail(name, "is out of range (" + std::to_string(lowest) + " to " +
                           std::to_string(highest) + ")");
        return number;
    }

    uint32_t PackBits(const std::string& name, std::span<const FlagBit> bits,
                      const json& named) const {
        uint32_t word = 0;
        for (const auto& item : named.items()) {
            const FlagBit* bit = nullptr;
            for (const FlagBit& candidate : bits)
                if (item.key() == candidate.name) bit = &candidate;
            if (bit == nullptr) Fail(name, "has no bit named " + item.key());
            int shift = std::countr_zero(bit->mask);
            word |= static_cast<uint32_t>(
                        Integer(name + "." + item.key(), item.value(), 0, bit->mask >> shift))
                    << shift;
        }
        return word;
    }

    void ReadList(const std::string& name, const json& value, array_t*& field) const {
        if (value.is_null()) return;
        if (!value.is_array()) Fail(name, "must be a list of strings or null");
        std::vector<std::string_view> texts;
        for (const json& element : value) {
            if (!element.is_string()) Fail(name, "must hold only strings");
            texts.push_back(element.get_ref<const std::string&>());
        }
        if (!texts.empty()) AppendStrings(field, texts);
    }

    template <typename Read>
    void ForEachElement(const char* name, Read read) {
        const json* value = Find(name);
        if (value == nullptr || value->is_null()) return;
        if (!value->is_array()) Fail(name, "must be a list or null");
        for (size_t i = 0; i < value->size(); ++i)
            read((*value)[i], where_ + "." + name + "[" + std::to_string(i) + "]");
    }

    const json& fields_;
    const json* flagBits_;
    std::string where_;
    std::set<std::string> seen_;
};

}  // namespace

qel2::CalPropsPtr CalPropsFromJson(const json& fields, const std::string& where) {
    qel2::CalPropsPtr calprops = NewCalProps();
    JsonFieldReader reader(fields, nullptr, where);
    VisitCalPropsFields(reader, *calprops);
    reader.RefuseUnknown({});
    return calprops;
}

qel2::EventPtr EventFromJson(const json& fields, const json* flagBits, const std::string& where) {
    qel2::EventPtr event = NewEvent();
    JsonFieldReader reader(fields, flagBits, where);
    VisitEventFields(reader, *event);
    reader.RefuseUnknown({"rtflags", "pLinkedCalID", "RecurrenceID"});
    return event;
}

qel2::ToDoPtr ToDoFromJson(const json& fields, const json* flagBits, const std::string& where) {
    qel2::ToDoPtr todo = NewToDo();
    JsonFieldReader reader(fields, flagBits, where);
    VisitToDoFields(reader, *todo);
    reader.RefuseUnknown(
        {"pLinkedCalID", "RecurrenceID", "pExtraList1", "pExtraList2", "pExtraList3"});
    return todo;
}

}  // namespace qel2::mkstore
