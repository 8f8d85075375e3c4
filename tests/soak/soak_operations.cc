#include "soak_operations.h"

#include <random>

#include <qel2/qel2.h>

#include "support/record_digest.h"

namespace qel2::test::soak {

namespace {

// Generated record times lie in the two years from here (qel2-mkstore).
constexpr int32_t kFirstTime = 1104537600;  // 2005-01-01
constexpr int32_t kTwoYears = 2 * 365 * 86400;

}  // namespace

std::vector<Operation> DrawOperations(const qel2::mkstore::GenerateOptions& shape, size_t count,
                                      uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    std::vector<Operation> operations;
    for (size_t i = 0; i < count; ++i) {
        Operation op{};
        op.calendar = below(shape.calendars);
        std::string calendar = "user" + std::to_string(op.calendar);
        // Mostly single reads, as a server serves them; one in ten a window,
        // one in fifty a search.
        uint32_t pick = below(50);
        if (pick == 0) {
            op.kind = Kind::Search;
            op.text = "user" + std::to_string(below(shape.calendars) / 10);
        } else if (pick < 6) {
            op.kind = pick % 2 ? Kind::EventWindow : Kind::ToDoWindow;
            op.from = kFirstTime + static_cast<int32_t>(below(kTwoYears));
            op.to = op.from + static_cast<int32_t>(1 + below(90)) * 86400;
        } else if (shape.todosPerCalendar > 0 && pick < 15) {
            op.kind = Kind::SingleToDo;
            op.text = calendar + "-todo-" + std::to_string(below(shape.todosPerCalendar));
        } else {
            op.kind = Kind::SingleEvent;
            op.text = calendar + "-evt-" + std::to_string(below(shape.eventsPerCalendar));
        }
        operations.push_back(std::move(op));
    }
    return operations;
}

int Run(const Operation& operation, uint64_t& digest) {
    using namespace qel2::test;
    digest = 0;
    if (operation.kind == Kind::Search) return SearchCalendars(operation.text.c_str(), digest);
    std::string id = "user" + std::to_string(operation.calendar);
    qEL2_CALPROPS* read = nullptr;
    if (int result = qel2_pvt_ReadCalProps(id.data(), &read)) return result;
    qel2::CalPropsPtr calendar(read);
    const char* uid = operation.text.c_str();
    switch (operation.kind) {
        case Kind::SingleEvent:
            return ReadOneEvent(calendar.get(), uid, operation.recurrence, digest);
        case Kind::SingleToDo:
            return ReadOneToDo(calendar.get(), uid, operation.recurrence, digest);
        case Kind::EventWindow:
            return ReadEventWindow(calendar.get(), operation.from, operation.to, digest);
        case Kind::ToDoWindow:
            return ReadToDoWindow(calendar.get(), operation.from, operation.to, digest);
        case Kind::Search:
            break;
    }
    return -1;
}

std::string Describe(const Operation& operation) {
    static const char* const kNames[] = {"event", "to-do", "event window", "to-do window",
                                         "search"};
    return std::string(kNames[static_cast<int>(operation.kind)]) + " user" +
           std::to_string(operation.calendar) + " " + operation.text + " " +
           std::to_string(operation.from) + ".." + std::to_string(operation.to);
}

}  // namespace qel2::test::soak
