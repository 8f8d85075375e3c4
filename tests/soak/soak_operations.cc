#include "soak_operations.h"

#include <random>

#include <qel2/qel2.h>

#include "faults/fault_fixture.h"
#include "faults/record_digest.h"

namespace qel2soak {

namespace {

using qel2test::Digest;

// Generated record times lie in the two years from here (qel2-mkstore).
constexpr int32_t kFirstTime = 1104537600;  // 2005-01-01
constexpr int32_t kTwoYears = 2 * 365 * 86400;

struct CalendarPtr {
    qEL2_CALPROPS* calendar = nullptr;
    ~CalendarPtr() { qel2_FreeCalProps(&calendar); }
};

template <typename Record, typename List, auto Window>
int RunWindow(qEL2_CALPROPS* calendar, const Operation& operation, uint64_t& digest) {
    array_t* list = nullptr;
    int result = Window(calendar, operation.from, operation.to, 0, &list);
    List owned(list);
    digest = Digest<Record>(list);
    return result;
}

template <typename Record, auto Read, auto Free>
int RunSingle(qEL2_CALPROPS* calendar, const Operation& operation, uint64_t& digest) {
    Record* record = nullptr;
    int result = Read(calendar, const_cast<char*>(operation.text.c_str()),
                      static_cast<int32_t>(operation.recurrence), 0, &record);
    digest = Digest(record);
    Free(&record);
    return result;
}

}  // namespace

std::vector<Operation> DrawOperations(const Shape& shape, size_t count, uint32_t seed) {
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
    digest = 0;
    if (operation.kind == Kind::Search) {
        array_t* list = nullptr;
        int result = qel2_pvt_SearchCalProps(operation.text.c_str(), qEL2_SEARCH_CALID, qEL2_MATCH_BEGINS, 0, &list);
        qel2::CalPropsListPtr owned(list);
        digest = qel2test::DigestCalendars(list);
        return result;
    }
    CalendarPtr calendar;
    std::string id = "user" + std::to_string(operation.calendar);
    if (int result = qel2_pvt_ReadCalProps(id.data(), &calendar.calendar)) return result;
    switch (operation.kind) {
    case Kind::SingleEvent:
        return RunSingle<qEL2_VEVENT, qel2_pvt_ReadEvent, qel2_FreeEvent>(calendar.calendar, operation, digest);
    case Kind::SingleToDo:
        return RunSingle<qEL2_VTODO, qel2_pvt_ReadToDo, qel2_FreeToDo>(calendar.calendar, operation, digest);
    case Kind::EventWindow:
        return RunWindow<qEL2_VEVENT, qel2::EventListPtr, qel2_pvt_ReadEventListByRange>(calendar.calendar,
                                                                                         operation, digest);
    case Kind::ToDoWindow:
        return RunWindow<qEL2_VTODO, qel2::ToDoListPtr, qel2_pvt_ReadToDoListByRange>(calendar.calendar,
                                                                                      operation, digest);
    case Kind::Search:
        break;
    }
    return -1;
}

std::string Describe(const Operation& operation) {
    static const char* const kNames[] = {"event", "to-do", "event window", "to-do window", "search"};
    return std::string(kNames[static_cast<int>(operation.kind)]) + " user" + std::to_string(operation.calendar) +
           " " + operation.text + " " + std::to_string(operation.from) + ".." + std::to_string(operation.to);
}

}  // namespace qel2soak
