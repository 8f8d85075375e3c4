#include "item_listing.h"

#include <cstdio>
#include <functional>

#include <nlohmann/json.hpp>

#include "display_text.h"
#include "item_order.h"
#include "item_summary.h"
#include "standard_output.h"
#include "store_reads.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

// Prints each record as it comes, in the form the options ask for. JSON is
// written element by element, so no document of the whole calendar is
// ever held.
template <typename Record>
class ItemPrinter {
public:
    explicit ItemPrinter(const Arguments& arguments)
        : json_(arguments.has("--json")), long_(arguments.has("--long")) {}

    void operator()(Record& record) {
        if (json_) {
            std::string element = ItemJson(Summarize(record)).dump(2);
            std::string indented;
            for (char c : element) indented += c == '\n' ? "\n  " : std::string(1, c);
            std::printf("%s\n  %s", first_ ? "[" : ",", indented.c_str());
        } else if (long_) {
            DumpRecord(record);
            std::printf("\n");
        } else {
            std::printf("%s\n", ItemLine(Summarize(record)).c_str());
        }
        first_ = false;
        CheckOutput();
    }

    void Finish() {
        if (json_) std::printf("%s\n", first_ ? "[]" : "\n]");
    }

private:
    bool json_;
    bool long_;
    bool first_ = true;
};

}  // namespace

int ListItems(const Arguments& arguments, ItemKind kind) {
    TimeWindow window = WindowFromOptions(arguments);
    uint32_t flags = ReadFlagsFromOptions(arguments);
    StoreSession store(arguments.store);
    qel2::CalPropsPtr calendar = store.ReadCalendar(arguments.operands.at(0));
    size_t count = 0;
    if (kind == ItemKind::Event) {
        ItemPrinter<qEL2_VEVENT> printer(arguments);
        count = ForEachEventInTimeOrder(store, calendar.get(), window, flags, std::ref(printer));
        printer.Finish();
    } else {
        ItemPrinter<qEL2_VTODO> printer(arguments);
        count = ForEachToDoInTimeOrder(store, calendar.get(), window, flags, std::ref(printer));
        printer.Finish();
    }
    if (count == 0)
        std::fprintf(stderr, "qel2caldb: calendar \"%s\" has no %s%s\n",
                     qel2::tools::TerminalText(arguments.operands[0]).c_str(),
                     kind == ItemKind::Event ? "events" : "to-dos",
                     window.start ? " in that window" : "");
    return 0;
}

}  // namespace qel2::cli
