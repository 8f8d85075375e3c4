#include "item_listing.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include <qel2/diag.h>

#include "dump_output.h"
#include "item_summary.h"
#include "store_reads.h"

namespace qel2cli {

namespace {

template <typename Record>
void Print(const array_t* list, const Arguments& arguments, int (*dump)(const Record*, PRFileDesc*)) {
    ListView<Record> records{list};
    if (arguments.has("--json")) {
        nlohmann::json json = nlohmann::json::array();
        for (const Record* record : records) json.push_back(ItemJson(Summarize(*record)));
        std::printf("%s\n", json.dump(2).c_str());
    } else if (arguments.has("--long")) {
        for (const Record* record : records) {
            dump(record, DumpOutput());
            std::printf("\n");
        }
    } else {
        for (const Record* record : records) std::printf("%s\n", ItemLine(Summarize(*record)).c_str());
    }
}

}  // namespace

int ListItems(const Arguments& arguments, ItemKind kind) {
    TimeWindow window = WindowFromOptions(arguments);
    uint32_t flags = ReadFlagsFromOptions(arguments);
    StoreSession store(arguments.store);
    qel2::CalPropsPtr calendar = store.ReadCalendar(arguments.operands.at(0));
    size_t count = 0;
    if (kind == ItemKind::Event) {
        qel2::EventListPtr events = ReadEvents(store, calendar.get(), window, flags);
        Print<qEL2_VEVENT>(events.get(), arguments, qel2dbut_PrintEvent);
        count = events->count;
    } else {
        qel2::ToDoListPtr todos = ReadToDos(store, calendar.get(), window, flags);
        Print<qEL2_VTODO>(todos.get(), arguments, qel2dbut_PrintToDo);
        count = todos->count;
    }
    if (count == 0)
        std::fprintf(stderr, "qel2caldb: calendar \"%s\" has no %s%s\n", arguments.operands[0].c_str(),
                     kind == ItemKind::Event ? "events" : "to-dos", window.start ? " in that window" : "");
    return 0;
}

}  // namespace qel2cli
