#include "cli_stores.h"

#include <stdexcept>

#include "cli_run.h"
#include "store_generator.h"

namespace qel2::test::cli {

const CliStores& Stores() {
    static CliStores stores;
    static const bool ready = [] {
        CliStores* made = &stores;  // the lambda may not capture a static
        made->generated = made->dir.path() / "generated";
        qel2::mkstore::GenerateOptions options;
        options.calendars = 3;
        options.eventsPerCalendar = 40;
        options.todosPerCalendar = 6;
        options.seed = 5;
        qel2::mkstore::GenerateSummary summary =
            qel2::mkstore::GenerateStore(options, made->generated.string());
        made->calendars = summary.calendars;
        made->events = summary.events;
        made->todos = summary.todos;
        made->alarmRecords = summary.alarmRecords;

        made->legacy = UnpackLegacyStore(made->dir);
        CliRun recover = RunCli({"recover", made->legacy.string()});
        if (recover.status != 0) throw std::runtime_error("recover failed: " + recover.err);
        return true;
    }();
    (void)ready;
    return stores;
}

}  // namespace qel2::test::cli
