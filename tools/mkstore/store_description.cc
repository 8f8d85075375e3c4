// JSON store descriptions, planned into records.

#include "store_description.h"

#include <fstream>
#include <initializer_list>

#include <nlohmann/json.hpp>

#include "hex.h"
#include "mkstore_error.h"
#include "record_json.h"
#include "record_keys.h"

namespace qel2::mkstore {

namespace {

using nlohmann::json;

// Entries a fixture manifest carries for its readers, not for the writer.
constexpr std::initializer_list<const char*> kManifestNotes = {
    "purpose",   "key_md5",   "key_hex", "value_size", "value_md5",
    "value_hex", "tombstone", "is_link", "link_target"};

// One entry of "calendars", "events", "todos" or "alarms_db".
class Entry {
public:
    Entry(const json& entry, std::string where) : entry_(entry), where_(std::move(where)) {
        if (!entry_.is_object()) Fail("must be an object");
    }

    [[noreturn]] void Fail(const std::string& problem) const {
        throw MkstoreError(where_ + " " + problem);
    }
    const std::string& where() const { return where_; }

    void Allow(std::initializer_list<const char*> keys, bool manifestNotes) const {
        for (const auto& item : entry_.items()) {
            bool known = false;
            for (const char* key : keys) known = known || item.key() == key;
            for (const char* key : kManifestNotes)
                known = known || (manifestNotes && item.key() == key);
            if (!known) Fail("has an unknown entry \"" + item.key() + "\"");
        }
    }

    const json* Find(const char* key) const {
        auto it = entry_.find(key);
        return it == entry_.end() || it->is_null() ? nullptr : &*it;
    }

    const json& Fields() const {
        static const json kEmpty = json::object();
        const json* fields = Find("fields");
        return fields != nullptr ? *fields : kEmpty;
    }

    // A text given here or, failing that, as the field (if any) of that name.
    std::string Text(const char* key, const char* field) const {
        const json* value = Find(key);
        if (value == nullptr && field != nullptr) {
            auto it = Fields().find(field);
            if (it != Fields().end() && !it->is_null()) value = &*it;
        }
        if (value == nullptr)
            Fail(std::string("needs \"") + key + "\"" +
                 (field != nullptr ? std::string(" or fields.") + field : ""));
        if (!value->is_string()) Fail(std::string("\"") + key + "\" must be a string");
        return value->get<std::string>();
    }

    uint32_t Number(const char* key, uint32_t fallback) const {
        const json* value = Find(key);
        if (value == nullptr) return fallback;
        if (!value->is_number_integer() || value->get<int64_t>() < 0 ||
            value->get<uint64_t>() > UINT32_MAX)
            Fail(std::string("\"") + key + "\" must be a whole number from 0 to 4294967295");
        return value->get<uint32_t>();
    }

    Bytes Hex(const char* key) const {
        const json* value = Find(key);
        std::optional<Bytes> bytes;
        if (value != nullptr && value->is_string())
            bytes = qel2::tools::FromHex(value->get<std::string>());
        if (!bytes) Fail(std::string("\"") + key + "\" must be a string of hex digit pairs");
        return *bytes;
    }

    EncodeOptions Options() const {
        EncodeOptions options;
        uint32_t filler = Number("filler_byte", 0);
        if (filler > 255) Fail("\"filler_byte\" must be 0 to 255");
        options.filler = static_cast<uint8_t>(filler);
        if (const json* present = Find("category_filler_present")) {
            if (!present->is_boolean()) Fail("\"category_filler_present\" must be true or false");
            options.categoryFiller = present->get<bool>();
        }
        return options;
    }

    // The encoded value, or the damaged one the entry asks for.
    Bytes Damaged(Bytes encoded) const {
        if (Find("raw_value_hex") != nullptr) return Hex("raw_value_hex");
        if (Find("truncate_to") != nullptr) {
            uint32_t size = Number("truncate_to", 0);
            if (size > encoded.size())
                Fail("\"truncate_to\" " + std::to_string(size) + " is longer than the value (" +
                     std::to_string(encoded.size()) + " bytes)");
            encoded.resize(size);
        }
        return encoded;
    }

private:
    const json& entry_;
    std::string where_;
};

PlannedRecord PlanCalendar(const Entry& entry) {
    entry.Allow(
        {"id", "fields", "category_filler_present", "filler_byte", "truncate_to", "raw_value_hex"},
        true);
    std::string id = entry.Text("id", "pRelativeCalID");
    qel2::CalPropsPtr calprops = CalPropsFromJson(entry.Fields(), entry.where() + " (" + id + ")");
    if (calprops->pRelativeCalID == nullptr) SetString(calprops->pRelativeCalID, id);
    CalPropsKey key = MakeCalPropsKey(id);
    return {Database::CalProps, Bytes(key.begin(), key.end()),
            entry.Damaged(EncodeCalProps(*calprops, entry.Options())), "calendar " + id};
}

template <typename Build, typename Encode>
PlannedRecord PlanInstance(const Entry& entry, Database database, Build build, Encode encode) {
    entry.Allow({"calendar", "uid", "recurrence_id", "fields", "flags_decoded", "filler_byte",
                 "truncate_to", "raw_value_hex"},
                true);
    std::string calendar = entry.Text("calendar", nullptr);
    std::string uid = entry.Text("uid", "pUID");
    uint32_t recurrenceId = entry.Number("recurrence_id", 0);
    if (entry.Find("recurrence_id") == nullptr) {
        auto it = entry.Fields().find("RecurrenceID");
        if (it != entry.Fields().end() && it->is_number_integer())
            recurrenceId = it->get<uint32_t>();
    }
    std::string name = calendar + "/" + uid + "/" + std::to_string(recurrenceId);
    auto record =
        build(entry.Fields(), entry.Find("flags_decoded"), entry.where() + " (" + name + ")");
    if (record->pUID == nullptr) SetString(record->pUID, uid);
    EventKey key = MakeEventKey(calendar, uid, recurrenceId);
    return {database, Bytes(key.begin(), key.end()),
            entry.Damaged(encode(*record, entry.Options())),
            (database == Database::Events ? "event " : "to-do ") + name};
}

PlannedRecord PlanAlarmRecord(const Entry& entry) {
    entry.Allow({"leading", "identifier_hex", "identifier_is_md5_of", "trailing", "value_hex",
                 "value_text"},
                true);
    Hash identifier{};
    if (entry.Find("identifier_is_md5_of") != nullptr) {
        identifier = Md5(entry.Text("identifier_is_md5_of", nullptr));
    } else {
        Bytes bytes = entry.Hex("identifier_hex");
        if (bytes.size() != identifier.size()) entry.Fail("\"identifier_hex\" must be 16 bytes");
        std::copy(bytes.begin(), bytes.end(), identifier.begin());
    }
    AlarmKey key =
        MakeAlarmKey(entry.Number("leading", 0), identifier, entry.Number("trailing", 0));
    Bytes value;
    if (entry.Find("value_text") != nullptr) {
        // Stored texts of the alarm database keep their terminating NUL.
        std::string text = entry.Text("value_text", nullptr);
        value.assign(text.begin(), text.end());
        value.push_back(0);
    } else {
        value = entry.Hex("value_hex");
    }
    return {Database::Alarms, Bytes(key.begin(), key.end()), std::move(value), entry.where()};
}

template <typename Plan>
void PlanSection(const json& description, const char* section, StorePlan& plan, Plan planOne) {
    auto it = description.find(section);
    if (it == description.end() || it->is_null()) return;
    if (!it->is_array()) throw MkstoreError(std::string("\"") + section + "\" must be a list");
    for (size_t i = 0; i < it->size(); ++i)
        plan.records.push_back(
            planOne(Entry((*it)[i], std::string(section) + "[" + std::to_string(i) + "]")));
}

}  // namespace

StorePlan PlanStore(const json& description) {
    if (!description.is_object()) throw MkstoreError("the description must be a JSON object");
    StorePlan plan;
    if (auto it = description.find("caldb_version"); it != description.end()) {
        if (it->is_null())
            plan.caldbVersion.reset();
        else if (it->is_string())
            plan.caldbVersion = it->get<std::string>();
        else
            throw MkstoreError("\"caldb_version\" must be a string or null");
    }
    PlanSection(description, "calendars", plan, PlanCalendar);
    PlanSection(description, "events", plan, [](const Entry& entry) {
        return PlanInstance(
            entry, Database::Events, EventFromJson,
            [](const qEL2_VEVENT& e, const EncodeOptions& o) { return EncodeEvent(e, o); });
    });
    PlanSection(description, "todos", plan, [](const Entry& entry) {
        return PlanInstance(
            entry, Database::ToDos, ToDoFromJson,
            [](const qEL2_VTODO& t, const EncodeOptions& o) { return EncodeToDo(t, o); });
    });
    PlanSection(description, "alarms_db", plan, PlanAlarmRecord);
    return plan;
}

StorePlan PlanStoreFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw MkstoreError("cannot read " + path);
    json description = json::parse(file, nullptr, false);
    if (description.is_discarded()) throw MkstoreError(path + " is not valid JSON");
    return PlanStore(description);
}

void WriteStore(const StorePlan& plan, const std::string& directory) {
    StoreOptions options;
    options.caldbVersion = plan.caldbVersion;
    StoreWriter writer(directory, options);
    for (const PlannedRecord& record : plan.records)
        writer.Put(record.database, record.key.data(), record.key.size(), record.value,
                   record.what);
    writer.Finish();
}

}  // namespace qel2::mkstore
