#include "calendar_resources.h"

#include <map>

#include <libical/ical.h>

#include "ical_item.h"
#include "store_reads.h"

namespace qel2push {

namespace {

using qel2cli::ListView;

struct CalendarFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

}  // namespace

std::vector<CalendarResource> CalendarResources(qel2cli::StoreSession& store, qEL2_CALPROPS* calendar) {
    std::vector<std::unique_ptr<icalcomponent, CalendarFree>> calendars;
    std::vector<CalendarResource> resources;
    std::map<std::string, size_t> byUid;
    auto add = [&](const char* uid, icalcomponent* component) {
        std::string key = uid ? uid : "";
        auto [found, added] = byUid.emplace(key, resources.size());
        if (added) {
            icalcomponent* wrapper = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
            icalcomponent_add_property(wrapper, icalproperty_new_version("2.0"));
            icalcomponent_add_property(wrapper, icalproperty_new_prodid("-//qel2caldb//qel2caldb push " QEL2_VERSION "//EN"));
            calendars.emplace_back(wrapper);
            resources.push_back(CalendarResource{key, "", 0});
        }
        icalcomponent_add_component(calendars[found->second].get(), component);
        ++resources[found->second].records;
    };
    {
        qel2::EventListPtr list = qel2cli::ReadEvents(store, calendar, {}, 0);
        for (const qEL2_VEVENT* event : ListView<qEL2_VEVENT>{list.get()}) add(event->pUID, qel2cli::EventComponent(*event));
    }
    {
        qel2::ToDoListPtr list = qel2cli::ReadToDos(store, calendar, {}, 0);
        for (const qEL2_VTODO* todo : ListView<qEL2_VTODO>{list.get()}) add(todo->pUID, qel2cli::ToDoComponent(*todo));
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        char* text = icalcomponent_as_ical_string_r(calendars[i].get());
        resources[i].text = text ? text : "";
        icalmemory_free_buffer(text);
    }
    return resources;
}

}  // namespace qel2push
