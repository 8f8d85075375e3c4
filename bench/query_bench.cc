// Event and to-do reads on generated stores, each beside raw Berkeley DB
// baselines on the same handle and keys:
//   - the range read against a cursor walk over the calendar's records
//     (values copied out and freed, nothing decoded), and against the same
//     walk that also makes every allocation, copy and free the decoded
//     records need (bench/record_copy.h), with no parsing;
//   - the point read against one DB->get, and against the get plus the MD5
//     digest of the uid plus the decoded record's allocations.
// Every benchmark takes (records per calendar, memory pool in MB), so the
// same run shows the store's default pool (4) beside one that holds the
// whole calendar (256).
//
// Stores of 3 calendars with 1,000, 10,000 and 100,000 events and to-dos
// each are generated once into $QEL2_BENCH_STORES (default
// /tmp/qel2-bench-stores) and reused by later runs.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <qel2/qel2.h>
#include <qel2/bdb_holders.h>
#include <qel2/codec.h>
#include <qel2/query_internal.h>
#include <qel2/standin_host.h>
#include <qel2/store_internal.h>

#include "record_copy.h"
#include "record_keys.h"
#include "store_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCalendars = 3;
const char* const kCalendar = "user1";  // has calendars on both sides in key order
// A plain event in the middle of the calendar: not a link, not a tombstone.
const char* const kPointUid = "user1-evt-500";

std::string StoreDir(uint32_t records) {
    const char* root = std::getenv("QEL2_BENCH_STORES");
    return std::string(root ? root : "/tmp/qel2-bench-stores") + "/events-" +
           std::to_string(records);
}

// Each value of the calendar `idHash` in key order, as a raw cursor walk
// with DB_SET_RANGE and DB_NEXT reads it (in malloc'd memory, freed after
// `visit`). Returns the number of records walked.
template <typename Visit>
uint64_t WalkCalendar(DB* db, const unsigned char* idHash, Visit visit) {
    qel2::Cursor cursor;
    if (cursor.open(db) != 0) std::abort();
    unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE] = {};
    memcpy(keyBuffer, idHash, qEL2_HASH_SIZE);
    DBT key{};
    qel2::UserKey(key, keyBuffer, qEL2_HASH_SIZE, sizeof keyBuffer);
    qel2::MallocValue value;
    uint64_t walked = 0;
    for (uint32_t how = DB_SET_RANGE; cursor.read(&key, value.get(), how) == 0; how = DB_NEXT) {
        const bool inCalendar = memcmp(keyBuffer, idHash, qEL2_HASH_SIZE) == 0;
        if (inCalendar) visit(keyBuffer, *value.get());
        value.release();
        if (!inCalendar) break;
        ++walked;
    }
    return walked;
}

struct Calendar {
    Calendar() {
        if (qel2_pvt_ReadCalProps(const_cast<char*>(kCalendar), &cal) != 0) std::abort();
    }
    ~Calendar() { qel2_FreeCalProps(&cal); }
    qEL2_CALPROPS* cal = nullptr;
};

struct EventDb {
    using Record = qEL2_VEVENT;
    static DB* Db() { return gCalDB.pEventDB; }
    static int Range(qEL2_CALPROPS* c, array_t** list) {
        return qel2_pvt_ReadEventListByRange(c, 0, 0, 0, list);
    }
    static int FreeList(array_t** list) { return qel2_FreeEventList(list); }
    static Record* New() { return qel2_NewEvent(); }
    static void Free(Record* r) { qel2_FreeEvent(&r); }
    static int Decode(Record* r, const DBT& v) {
        return qel2_pvt_DeserializeEvent(r, static_cast<const unsigned char*>(v.data), v.size);
    }
    static bool IsLink(const Record* r) { return qel2_EventIsLink(r); }
    static int ReadLinked(qEL2_CALPROPS* c, Record* link, Record** out) {
        return qel2_pvt_ReadLinkedEvent(c, link, out, 0);
    }
    static int Keep(const Record* r) {
        const qEL2_RANGE_FILTER all = {0, 0, 0};
        return qel2_ReadEventListByRangeCompare(r, &all);
    }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitEventFields(v, to, from);
    }
};

struct ToDoDb {
    using Record = qEL2_VTODO;
    static DB* Db() { return gCalDB.pToDoDB; }
    static int Range(qEL2_CALPROPS* c, array_t** list) {
        return qel2_pvt_ReadToDoListByRange(c, 0, 0, 0, list);
    }
    static int FreeList(array_t** list) { return qel2_FreeToDoList(list); }
    static Record* New() { return qel2_NewToDo(); }
    static void Free(Record* r) { qel2_FreeToDo(&r); }
    static int Decode(Record* r, const DBT& v) {
        return qel2_pvt_DeserializeToDo(r, static_cast<const unsigned char*>(v.data), v.size);
    }
    static bool IsLink(const Record* r) { return qel2_ToDoIsLink(r->flags); }
    static int ReadLinked(qEL2_CALPROPS* c, Record* link, Record** out) {
        return qel2_pvt_ReadLinkedToDo(c, link, out, 0);
    }
    static int Keep(const Record* r) {
        const qEL2_RANGE_FILTER all = {0, 0, 0};
        return qel2_ReadToDoListByRangeCompare(r, &all);
    }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitToDoFields(v, to, from);
    }
};

// Opens the store of `records` records per calendar with a memory pool of
// `poolMb`, generating the store first if the cache does not hold it, and
// walks the calendar once so the pool is as warm as it can be. The store
// stays open until another size or pool is asked for.
void UseStore(uint32_t records, uint32_t poolMb) {
    static uint32_t openRecords = 0;
    static uint32_t openPool = 0;
    if (openRecords == records && openPool == poolMb) return;
    qel2_pvt_CloseDB();
    openRecords = 0;
    const std::string dir = StoreDir(records);
    if (!fs::exists(dir + "/caldb.conf")) {
        fs::remove_all(dir);
        qel2::mkstore::GenerateStore({kCalendars, records, records, 1}, dir);
    }
    config_set(config_getdefaultcache(), "caldb.berkeleydb.mempoolsizemb",
               std::to_string(poolMb).c_str());
    if (qel2_pvt_OpenDB(0, 0, dir.c_str()) != 0) std::abort();
    openRecords = records;
    openPool = poolMb;
    Calendar calendar;
    for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB})
        WalkCalendar(db, calendar.cal->idHash, [](auto&&...) {});
}

void UseStore(const benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(1)));
}

// Records listed per iteration, as the counter the ratios are read from.
void CountRecords(benchmark::State& state, uint64_t perIteration) {
    state.counters["records"] = static_cast<double>(perIteration);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * perIteration));
}

// A fresh record with the same allocations and copies as `from`, and the
// fields the reads set beside the decoder.
template <typename Kind>
typename Kind::Record* Copy(const typename Kind::Record& from) {
    qel2::bench::RecordCopier copier;
    typename Kind::Record* record = Kind::New();
    Kind::Visit(copier, *record, from);
    record->RecurrenceID = from.RecurrenceID;
    if (from.pLinkedCalID != nullptr) record->pLinkedCalID = strdup(from.pLinkedCalID);
    return record;
}

template <typename Kind>
void BM_RangeRead(benchmark::State& state) {
    UseStore(state);
    Calendar calendar;
    uint32_t listed = 0;
    for (auto _ : state) {
        array_t* list = nullptr;
        if (Kind::Range(calendar.cal, &list) != 0) std::abort();
        listed = list->count;
        Kind::FreeList(&list);
    }
    CountRecords(state, listed);
}

template <typename Kind>
void BM_RawCursorWalk(benchmark::State& state) {
    UseStore(state);
    Calendar calendar;
    uint64_t walked = 0;
    for (auto _ : state) walked = WalkCalendar(Kind::Db(), calendar.cal->idHash, [](auto&&...) {});
    CountRecords(state, walked);
}

// What the range read hands back for one stored record: the record as
// decoded, the record its link stands for, and whether the window keeps it.
template <typename Kind>
struct Outcome {
    typename Kind::Record* stored = nullptr;
    typename Kind::Record* linked = nullptr;
    bool kept = false;
};

// The raw walk plus the allocations of the range read: each stored record
// is built once more by copying, a link's record is built and the link
// freed, a dropped record is freed at once, the kept ones go into a list
// that is freed at the end. Only the parsing and the link's reads are
// left out.
template <typename Kind>
void BM_RawWalkAllocations(benchmark::State& state) {
    UseStore(state);
    Calendar calendar;
    std::vector<Outcome<Kind>> outcomes;
    WalkCalendar(Kind::Db(), calendar.cal->idHash, [&](const unsigned char* key, const DBT& value) {
        Outcome<Kind> outcome;
        outcome.stored = Kind::New();
        if (Kind::Decode(outcome.stored, value) != 0) std::abort();
        outcome.stored->RecurrenceID = qel2_KeyRecurrenceId(key);
        const typename Kind::Record* listed = outcome.stored;
        if (Kind::IsLink(outcome.stored)) {
            if (Kind::ReadLinked(calendar.cal, outcome.stored, &outcome.linked) != 0) std::abort();
            listed = outcome.linked;
        }
        outcome.kept = Kind::Keep(listed) != 0;
        outcomes.push_back(outcome);
    });
    uint32_t listed = 0;
    for (auto _ : state) {
        array_t* list = array_new();
        size_t next = 0;
        WalkCalendar(Kind::Db(), calendar.cal->idHash, [&](const unsigned char*, const DBT&) {
            const Outcome<Kind>& outcome = outcomes[next++];
            typename Kind::Record* record = Copy<Kind>(*outcome.stored);
            if (outcome.linked != nullptr) {
                Kind::Free(record);
                record = Copy<Kind>(*outcome.linked);
            }
            if (outcome.kept) {
                array_append(list, record);
            } else {
                Kind::Free(record);
            }
        });
        listed = list->count;
        Kind::FreeList(&list);
    }
    for (Outcome<Kind>& outcome : outcomes) {
        Kind::Free(outcome.stored);
        if (outcome.linked != nullptr) Kind::Free(outcome.linked);
    }
    CountRecords(state, listed);
}

void BM_ReadEvent(benchmark::State& state) {
    UseStore(state);
    Calendar calendar;
    for (auto _ : state) {
        qEL2_VEVENT* event = nullptr;
        if (qel2_pvt_ReadEvent(calendar.cal, const_cast<char*>(kPointUid), 0, 0, &event) != 0 ||
            !event)
            std::abort();
        qel2_FreeEvent(&event);
    }
}

// One DB->get of the point read's key, the value in malloc'd memory.
void GetEvent(unsigned char* keyBytes) {
    DBT key{};
    qel2::UserKey(key, keyBytes, qEL2_EVENT_KEY_SIZE, qEL2_EVENT_KEY_SIZE);
    qel2::MallocValue value;
    if (gCalDB.pEventDB->get(gCalDB.pEventDB, nullptr, &key, value.get(), 0) != 0) std::abort();
}

void BM_RawGet(benchmark::State& state) {
    UseStore(state);
    auto keyBytes = qel2::mkstore::MakeEventKey(kCalendar, kPointUid, 0);
    for (auto _ : state) GetEvent(keyBytes.data());
}

// The raw get plus what the point read cannot avoid: the digest of the uid
// for the key, and the event's allocations, copies and frees.
void BM_RawGetAllocations(benchmark::State& state) {
    UseStore(state);
    Calendar calendar;
    qEL2_VEVENT* source = nullptr;
    if (qel2_pvt_ReadEvent(calendar.cal, const_cast<char*>(kPointUid), 0, 0, &source) != 0)
        std::abort();
    auto keyBytes = qel2::mkstore::MakeEventKey(kCalendar, kPointUid, 0);
    for (auto _ : state) {
        qel2_pvt_MD5Hash(kPointUid, keyBytes.data() + qEL2_HASH_SIZE);
        GetEvent(keyBytes.data());
        qEL2_VEVENT* event = Copy<EventDb>(*source);
        benchmark::DoNotOptimize(event);
        qel2_FreeEvent(&event);
    }
    qel2_FreeEvent(&source);
}

// Grouped by store and pool, so each is opened and warmed once per run.
void RegisterAll() {
    using Function = void (*)(benchmark::State&);
    const std::pair<const char*, Function> walks[] = {
        {"BM_RangeRead<EventDb>", BM_RangeRead<EventDb>},
        {"BM_RawWalkAllocations<EventDb>", BM_RawWalkAllocations<EventDb>},
        {"BM_RawCursorWalk<EventDb>", BM_RawCursorWalk<EventDb>},
        {"BM_RangeRead<ToDoDb>", BM_RangeRead<ToDoDb>},
        {"BM_RawWalkAllocations<ToDoDb>", BM_RawWalkAllocations<ToDoDb>},
        {"BM_RawCursorWalk<ToDoDb>", BM_RawCursorWalk<ToDoDb>},
    };
    const std::pair<const char*, Function> points[] = {
        {"BM_ReadEvent", BM_ReadEvent},
        {"BM_RawGetAllocations", BM_RawGetAllocations},
        {"BM_RawGet", BM_RawGet},
    };
    for (int64_t pool : {4, 256}) {
        for (int64_t records : {1000, 10000, 100000}) {
            for (const auto& [name, function] : walks) {
                benchmark::RegisterBenchmark(name, function)
                    ->Args({records, pool})
                    ->Unit(benchmark::kMicrosecond);
            }
            if (records == 10000) continue;
            for (const auto& [name, function] : points)
                benchmark::RegisterBenchmark(name, function)->Args({records, pool});
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
