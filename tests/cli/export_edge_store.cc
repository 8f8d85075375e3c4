// The store of every case export has to repair, change or leave out, as
// tests/data/cli/edge-store.json describes it, with hostile bytes (CR LF,
// control characters) in every string field of the records it marks.

#include <span>

#include "cli_run.h"
#include "record_fields.h"
#include "store_description.h"

namespace qel2::test::cli {

namespace {

using nlohmann::json;

// Sets every string and list field a visitor names to the hostile text, so
// that a field added to the records is covered without a change here.
struct HostileFields {
    json& out;
    const std::string& text;
    void Word(const char*) {}
    void SignedWord(const char*) {}
    void SignedByte(const char*) {}
    void Flags(const char*, std::span<const qel2::mkstore::FlagBit>) {}
    void String(const char* name) { out[name] = name + text; }
    void List(const char* name) { out[name] = json::array({name + text, text}); }
    void Organizer(const char* name) {
        HostileFields inner{out[name] = json::object(), text};
        qel2::mkstore::VisitOrganizerFields(inner);
    }
    void Attendees(const char* name) {
        HostileFields inner{(out[name] = json::array({json::object()}))[0], text};
        qel2::mkstore::VisitAttendeeFields(inner);
    }
    void Alarms(const char* name) {
        json alarm = {{"iAction", 0}, {"lAlarmWord1", 1137403800}, {"lAlarmWord2", 600}};
        HostileFields inner{(out[name] = json::array({alarm}))[0], text};
        qel2::mkstore::VisitAlarmFields(inner);
    }
};

}  // namespace

json WriteEdgeStore(const std::filesystem::path& directory) {
    json description = StoreDescription("edge-store.json");
    const std::string hostileText = description["hostile_text"];
    for (const std::string section : {"calendars", "events", "todos"}) {
        for (json& record : description[section]) {
            json fields = section == "calendars" ? json::object() : description["record_defaults"];
            if (section == "todos") fields.erase("dtEnd");  // a to-do ends with dtDue
            if (record.value("hostile", false)) {
                HostileFields hostile{fields, hostileText};
                if (section == "calendars")
                    qel2::mkstore::VisitCalPropsFields(hostile);
                else
                    qel2::mkstore::VisitEventFields(hostile);
                record.erase("hostile");
            }
            fields.update(record["fields"]);
            record["fields"] = fields;
        }
    }
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(description), directory.string());
    return description;
}

}  // namespace qel2::test::cli
