#include "query_store.h"

#include "record_keys.h"

namespace qel2test {

using qel2mk::Database;
using qel2mk::SetString;

qel2mk::StoreWriter& QueryTest::writer() {
    if (!writer_) writer_ = std::make_unique<qel2mk::StoreWriter>(dir_.str(), qel2mk::StoreOptions{});
    return *writer_;
}

void QueryTest::addCalendar(const std::string& id, const std::string& name, const std::string& owner,
                            const std::vector<std::string_view>& others) {
    qel2mk::CalPropsPtr cal = qel2mk::NewCalProps();
    SetString(cal->pRelativeCalID, id);
    if (!name.empty()) SetString(cal->pName, name);
    if (!owner.empty()) SetString(cal->pPrimaryOwner, owner);
    if (!others.empty()) qel2mk::AppendStrings(cal->pOtherOwners, others);
    const auto key = qel2mk::MakeCalPropsKey(id);
    writer().Put(Database::CalProps, key.data(), key.size(), qel2mk::EncodeCalProps(*cal), id);
}

void QueryTest::addEvent(const std::string& calendar, const std::string& uid, uint32_t recurrence, uint32_t start,
                         uint32_t end, uint32_t flags) {
    qel2mk::EventPtr event = qel2mk::NewEvent();
    SetString(event->pUID, uid);
    event->dtStart = start;
    event->dtEnd = end;
    event->flags = flags;
    const auto key = qel2mk::MakeEventKey(calendar, uid, recurrence);
    writer().Put(Database::Events, key.data(), key.size(), qel2mk::EncodeEvent(*event), uid);
}

void QueryTest::addToDo(const std::string& calendar, const std::string& uid, uint32_t recurrence,
                        uint32_t completed, uint32_t flags) {
    qel2mk::ToDoPtr todo = qel2mk::NewToDo();
    SetString(todo->pUID, uid);
    todo->dtCompleted = completed;
    todo->flags = flags;
    const auto key = qel2mk::MakeEventKey(calendar, uid, recurrence);
    writer().Put(Database::ToDos, key.data(), key.size(), qel2mk::EncodeToDo(*todo), uid);
}

void QueryTest::addEventLink(const std::string& calendar, const std::string& uid, const std::string& target) {
    qel2mk::EventPtr link = qel2mk::NewEvent();
    SetString(link->pUID, uid);
    SetString(link->pURL, target);
    const auto key = qel2mk::MakeEventKey(calendar, uid, 0);
    writer().Put(Database::Events, key.data(), key.size(), qel2mk::EncodeEvent(*link), uid);
}

void QueryTest::addToDoLink(const std::string& calendar, const std::string& uid, const std::string& target) {
    qel2mk::ToDoPtr link = qel2mk::NewToDo();
    SetString(link->pUID, uid);
    SetString(link->pURL, target);
    link->flags |= qEL2_TODO_LINK;
    const auto key = qel2mk::MakeEventKey(calendar, uid, 0);
    writer().Put(Database::ToDos, key.data(), key.size(), qel2mk::EncodeToDo(*link), uid);
}

void QueryTest::addDamaged(Database database, const std::string& calendar, const std::string& uid) {
    // A string list whose count runs far past the end of the value.
    const qel2mk::Bytes value = {0, 0, 0, 1, 0, 0, 0, 2, 0x7f, 0xff, 0xff, 0xff};
    if (database == Database::CalProps) {
        const auto key = qel2mk::MakeCalPropsKey(calendar);
        writer().Put(database, key.data(), key.size(), value, calendar);
    } else {
        const auto key = qel2mk::MakeEventKey(calendar, uid, 0);
        writer().Put(database, key.data(), key.size(), value, uid);
    }
}

void QueryTest::openStore() {
    writer().Finish();
    writer_.reset();
    ASSERT_EQ(open(0), 0);
    log_.clear();
}

qel2mk::CalPropsPtr QueryTest::calendar(const std::string& id) {
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>(id.c_str()), &cal), 0) << id;
    return qel2mk::CalPropsPtr(cal);
}

}  // namespace qel2test

namespace qel2test {

void LinkedStoreTest::SetUp() {
    QueryTest::SetUp();
    for (const char* id : {"home", "work", "empty", "chain-1", "chain-2", "chain-3", "ring-a", "ring-b"}) {
        addCalendar(id);
    }
    addEvent("home", "meet", 0, kFrom, 2000);           // ends inside the window
    addEvent("home", "meet", kLastRecurrence, 2500, 2600);
    addEvent("home", "before", 0, 500, kFrom);          // ends at its start
    addEvent("home", "after", 0, kTo, 4000);            // starts at its end
    addEvent("home", "noend", 0, 1500, 0);
    addEvent("home", "gone", 0, 1500, 1600, qEL2_EVENT_TOMBSTONE);
    addEventLink("home", "shared", "work");
    addEventLink("home", "dead", "work");
    addEventLink("home", "self", "home");
    addEventLink("home", "lost", "nowhere");
    addEventLink("home", "orphan", "work");
    addDamaged(qel2mk::Database::Events, "home", "broken");
    addEvent("work", "shared", 0, 90000, 91000);
    addEvent("work", "dead", 0, 90000, 91000, qEL2_EVENT_TOMBSTONE);
    addEvent("work", "workonly", 0, 1500, 1600);
    addEvent("nowhere", "lost", 0, 1500, 1600);
    addEventLink("chain-1", "c", "chain-2");
    addEventLink("chain-2", "c", "chain-3");
    addEvent("chain-3", "c", 0, 1500, 1600);
    addEventLink("ring-a", "r", "ring-b");
    addEventLink("ring-b", "r", "ring-a");

    addToDo("home", "open", 0, 0);
    addToDo("home", "atstart", 0, kFrom);
    addToDo("home", "mid", 0, 2000);
    addToDo("home", "atend", 0, kTo);
    addToDo("home", "before", 0, kFrom - 1);
    addToDo("home", "late", kLastRecurrence, 0);
    addToDo("home", "gone", 0, 0, qEL2_TODO_TOMBSTONE);
    addToDoLink("home", "shared", "work");
    addToDoLink("home", "dead", "work");
    addToDoLink("home", "self", "home");
    addToDoLink("home", "lost", "nowhere");
    addToDoLink("home", "orphan", "work");
    addDamaged(qel2mk::Database::ToDos, "home", "broken");
    addToDo("work", "shared", 0, 90000);
    addToDo("work", "dead", 0, 0, qEL2_TODO_TOMBSTONE);
    addToDo("nowhere", "lost", 0, 0);
    addToDoLink("ring-a", "r", "ring-b");
    addToDoLink("ring-b", "r", "ring-a");
    openStore();
    home_ = calendar("home");
}

}  // namespace qel2test
