#include "mapping_fixtures.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "record_json.h"
#include "support/string_list.h"
#include "support/temp_dir.h"

namespace qel2::test {

namespace {

const nlohmann::json& FullItemFields() {
    static const nlohmann::json fields =
        nlohmann::json::parse(test_data_text("mapping/full-item.json")).at("fields");
    return fields;
}

// What a description does not set: the recurrence id a read takes from the
// key, the calendar a link led to, the host's word.
template <typename Item>
Item* WithUnstoredFields(Item* item) {
    item->RecurrenceID = 1136450800;
    item->pLinkedCalID = strdup("linked_calid");
    item->lHostData = 77;
    return item;
}

}  // namespace

qEL2_VEVENT* FullEvent() {
    qEL2_VEVENT* event = WithUnstoredFields(
        qel2::mkstore::EventFromJson(FullItemFields(), nullptr, "full event").release());
    event->dtEnd = 1136454300;
    return event;
}

qEL2_VTODO* FullToDo() {
    qEL2_VTODO* todo = WithUnstoredFields(
        qel2::mkstore::ToDoFromJson(FullItemFields(), nullptr, "full to-do").release());
    todo->dtDue = 1136454300;
    todo->dtCompleted = 1136460000;
    todo->lExtra2 = -5;
    todo->pExtraList2 = StringList({"extra_list2"});
    todo->pExtraList3 = StringList({"extra_list3"});
    return todo;
}

}  // namespace qel2::test
