#include "store_cases.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "hex.h"
#include "owned_records.h"
#include "query_store.h"
#include "record_keys.h"
#include "records/manifest_fields.h"

namespace qel2::test {

namespace {

using nlohmann::json;

// The ids of a list of calendars, each after a space and followed by "#"
// when the record carries its valid hash (the MD5 digest of its id).
std::string HashedIds(const array_t* list) {
    std::string text;
    for (uint32_t i = 0; i < list->count; ++i) {
        const qEL2_CALPROPS* cal = At<qEL2_CALPROPS>(list, i);
        const bool hashed =
            qel2_CalHashValid(cal) &&
            memcmp(cal->idHash, qel2::mkstore::Md5(cal->pRelativeCalID).data(), 16) == 0;
        text += std::string(" ") + cal->pRelativeCalID + (hashed ? "#" : "");
    }
    return text;
}

char* Text(const json& c, const char* key) {
    const json& text = c.at(key);
    return text.is_null() ? nullptr : const_cast<char*>(text.get_ref<const std::string&>().c_str());
}

// The record of `section` that a case or an item names.
const json& Stored(const json& store, const char* section, const json& name) {
    for (const json& r : store.at(section)) {
        if (r.at("calendar") == name.at("calendar") && r.at("uid") == name.at("uid") &&
            r.value("recurrence_id", 0u) == name.value("recurrence_id", 0u)) {
            return r;
        }
    }
    throw std::runtime_error(std::string("not in ") + section + ": " + name.dump());
}

json Expected(const json& store, const char* section, const json& item) {
    if (item.is_null()) return nullptr;
    json fields = item.contains("record") ? Stored(store, section, item.at("record")).at("fields")
                                          : json::object();
    for (const auto& [key, value] : item.items())
        if (key != "record" && key != "uid" && key != "bLink") fields[key] = value;
    return fields;
}

// The fields of `r` that `expected` names; "a record" where none is expected.
template <typename Record>
json Actual(const Record* r, const json& expected) {
    if (r == nullptr || expected.is_null()) return r ? json("a record") : json();
    const json all = FieldsOf(*r).fields;
    json named = json::object();
    for (const auto& [key, value] : expected.items()) named[key] = all.value(key, json("none"));
    return named;
}

template <typename Kind>
void RunRecordCase(const json& store, const json& c, const char* section, const char* itemKey,
                   json& actual, json& expected) {
    qel2BerkeleyDatabase db;
    qEL2_CALPROPS* raw = nullptr;
    db.ReadCalProps(Text(c, "calendar"), &raw);
    qel2::CalPropsPtr cal(raw);
    const json& e = c.at("expect");
    const uint32_t flags = c.value("read_flags", 0u);
    const bool single = c.contains("uid");
    for (const json& item : single ? json::array({e.at(itemKey)}) : e.at("items"))
        expected.push_back(Expected(store, section, item));
    typename Kind::Record* out = nullptr;
    array_t* list = nullptr;
    std::vector<const typename Kind::Record*> records;
    if (single) {
        actual.push_back(
            (db.*Kind::Read)(cal.get(), Text(c, "uid"), c.value("recurrence_id", 0), flags, &out));
        records.push_back(out);
    } else {
        actual.push_back(
            (db.*Kind::Window)(cal.get(), c.at("window_start"), c.at("window_end"), flags, &list));
        for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
            records.push_back(At<typename Kind::Record>(list, i));
    }
    for (size_t i = 0; i < records.size(); ++i)  // after the id and the result
        actual.push_back(Actual(records[i], i + 2 < expected.size() ? expected[i + 2] : json()));
    typename Kind::Ptr held(out);
    Kind::FreeList(&list);
    if (e.value("link_step_result", json()).is_null()) return;
    // The link step alone on the stored link record: a record only with 0.
    typename Kind::Ptr link(Kind::New());
    qel2::mkstore::SetString(link->pUID, c.at("uid").get<std::string>());
    qel2::mkstore::SetString(link->pURL,
                             Stored(store, section, c).at("fields").at("pURL").get<std::string>());
    link->RecurrenceID = c.value("recurrence_id", 0u);
    typename Kind::Record* linked = nullptr;
    const int step = Kind::ReadLinked(cal.get(), link.get(), &linked, flags);
    typename Kind::Ptr heldLinked(linked);
    actual.push_back({step, linked != nullptr});
    expected.push_back({e.at("link_step_result"), e.at("link_step_result") == 0});
}

}  // namespace

std::vector<std::pair<json, json>> RunCases(const json& store, LogCapture* log) {
    std::vector<std::pair<json, json>> results;
    for (const json& c : store.at("cases")) {
        if (log != nullptr) log->clear();
        const json& e = c.at("expect");
        const std::string kind = c.at("kind");
        json actual = {c.at("id")}, expected = {c.at("id"), e.at("result")};
        if (kind == "calprops_read") {
            qEL2_CALPROPS* raw = nullptr;
            actual.push_back(qel2BerkeleyDatabase().ReadCalProps(Text(c, "calendar"), &raw));
            qel2::CalPropsPtr cal(raw);
            if (cal) {
                actual.push_back({cal->pName, qel2::tools::ToHex(cal->idHash, 16),
                                  qel2_CalHashValid(cal.get()) != 0});
            }
            if (e.contains("pName"))
                expected.push_back({e.at("pName"), e.at("idHash"), e.at("bHashValid") == 1});
        } else if (kind == "calprops_search") {
            array_t* raw = nullptr;
            actual.push_back(qel2BerkeleyDatabase().SearchCalProps(
                Text(c, "pattern"), c.at("fields"), c.at("mode"), c.at("limit"), &raw));
            qel2::CalPropsListPtr list(raw);
            actual.push_back(HashedIds(raw));
            std::string ids;
            for (const json& id : e.at("ids"))
                ids += " " + id.get<std::string>() + (e.at("hash_valid") ? "#" : "");
            expected.push_back(ids);
        } else if (kind.starts_with("event")) {
            RunRecordCase<Events>(store, c, "events", "event", actual, expected);
        } else {
            RunRecordCase<ToDos>(store, c, "todos", "todo", actual, expected);
        }
        if (log != nullptr && e.contains("logs")) {
            json lines = json::array();
            for (const LogLine& line : log->lines())
                lines.push_back({line.level, line.text.substr(0, line.text.find('\n'))});
            actual.push_back(lines);
            expected.push_back(e.at("logs"));
        }
        results.emplace_back(actual, expected);
    }
    return results;
}

}  // namespace qel2::test
