// The calendar, event and to-do dumps: the record of tests/data/dumps/
// NAME.json (as tools/mkstore/record_json.h reads it) dumps to NAME.txt.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <qel2/diag.h>

#include "record_json.h"
#include "support/pr_capture.h"
#include "support/temp_dir.h"

namespace qel2::test {
namespace {

using nlohmann::json;

// What a read sets, and null elements, which JSON cannot describe, ending
// a full record's lists: one list, each delegated-to list, the attendees.
template <typename Record>
void SetReadFields(Record* r, const json& fields, bool full) {
    r->RecurrenceID = fields.value("RecurrenceID", 0u);
    if (full) {
        strarray_append(r->pRDates, nullptr);
        for (uint32_t i = 0; i < r->pAttendees->count; ++i) {
            auto* attendee = static_cast<qEL2_ATTENDEE*>(array_elementat(r->pAttendees, i));
            if (attendee->pDelegatedTo != nullptr) strarray_append(attendee->pDelegatedTo, nullptr);
        }
        array_append(r->pAttendees, nullptr);
    }
}

std::string Dump(const std::string& name) {
    const json fields = json::parse(test_data_text("dumps/" + name + ".json"));
    const bool full = name.ends_with("-full");
    PrCapture out;
    if (name.starts_with("calendar")) {
        qel2::CalPropsPtr cal = qel2::mkstore::CalPropsFromJson(fields, name);
        if (full) strarray_append(cal->pChildList, nullptr);
        qel2dbut_PrintCalProps(cal.get(), out.fd());
    } else if (name.starts_with("event")) {
        qel2::EventPtr event = qel2::mkstore::EventFromJson(fields, nullptr, name);
        event->rtflags = fields.value("rtflags", 0u);
        SetReadFields(event.get(), fields, full);
        EXPECT_EQ(qel2dbut_PrintEvent(event.get(), out.fd()), 0) << name;
    } else {
        qel2::ToDoPtr todo = qel2::mkstore::ToDoFromJson(fields, nullptr, name);
        SetReadFields(todo.get(), fields, full);
        EXPECT_EQ(qel2dbut_PrintToDo(todo.get(), out.fd()), 0) << name;
    }
    return out.text();
}

// Full records hold an attendee with every parameter, one longer than any
// fixed buffer and an empty one; an empty organizer shows "(null)".
TEST(RecordDump, EachRecordDumpsToItsExpectedText) {
    for (const std::string name :
         {"calendar-bare", "calendar-full", "calendar-unnamed-access", "event-empty", "event-full",
          "todo-empty", "todo-full", "todo-null-organizer"}) {
        EXPECT_EQ(Dump(name), test_data_text("dumps/" + name + ".txt")) << name;
    }
}

}  // namespace
}  // namespace qel2::test
