#include "fault_fixture.h"

#include "store_generator.h"

namespace qel2test {

namespace fs = std::filesystem;

namespace {

// Written once per test process, removed again at exit.
const fs::path& WrittenStore() {
    static const TempDir written;
    static const fs::path store = [] {
        fs::path path = written.path() / "store";
        qel2mk::GenerateOptions options;
        options.calendars = kFaultCalendars;
        options.eventsPerCalendar = kFaultEvents;
        options.todosPerCalendar = kFaultToDos;
        qel2mk::GenerateStore(options, path.string());
        return path;
    }();
    return store;
}

}  // namespace

void FaultTest::copyStore(const fs::path& dir) {
    // The log files go along: page LSNs must not point past the end of the
    // log. The region files (__db.*) are the writer's and are left behind.
    for (const auto& entry : fs::directory_iterator(WrittenStore())) {
        if (entry.path().filename().string().rfind("__db.", 0) == 0) continue;
        fs::copy_file(entry.path(), dir / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
}

}  // namespace qel2test
