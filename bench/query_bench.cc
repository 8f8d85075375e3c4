// Event and to-do reads on generated stores, each beside a raw Berkeley DB
// baseline on the same handle and keys: the range reads against a cursor
// walk over the calendar's records (values copied out and freed, nothing
// decoded), the point read against one DB->get.
//
// Stores of 3 calendars with 1,000, 10,000 and 100,000 events and to-dos
// each are generated once into $QEL2_BENCH_STORES (default
// /tmp/qel2-bench-stores) and reused by later runs.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <qel2/qel2.h>

#include "query/walk_step.h"
#include "record_keys.h"
#include "store_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCalendars = 3;
const char* const kCalendar = "user1";  // has calendars on both sides in key order

std::string StoreDir(uint32_t records) {
    const char* root = std::getenv("QEL2_BENCH_STORES");
    return std::string(root ? root : "/tmp/qel2-bench-stores") + "/events-" + std::to_string(records);
}

// Opens the store of `records` records per calendar, generating it first
// if the cache does not hold it; the store stays open until another size
// is asked for.
void UseStore(uint32_t records) {
    static uint32_t open = 0;
    if (open == records) return;
    qel2_pvt_CloseDB();
    open = 0;
    const std::string dir = StoreDir(records);
    if (!fs::exists(dir + "/caldb.conf")) {
        fs::remove_all(dir);
        qel2mk::GenerateStore({kCalendars, records, records, 1}, dir);
    }
    // A cache that holds the walked calendar, as a server would give it.
    config_set(config_getdefaultcache(), "caldb.berkeleydb.mempoolsizemb", "256");
    if (qel2_pvt_OpenDB(0, 0, dir.c_str()) != 0) std::abort();
    open = records;
}

struct Calendar {
    Calendar() {
        if (qel2_pvt_ReadCalProps(const_cast<char*>(kCalendar), &cal) != 0) std::abort();
    }
    ~Calendar() { qel2_FreeCalProps(&cal); }
    qEL2_CALPROPS* cal = nullptr;
};

struct EventDb {
    static DB* Db() { return gCalDB.pEventDB; }
    static int Range(qEL2_CALPROPS* c, array_t** list) { return qel2_pvt_ReadEventListByRange(c, 0, 0, 0, list); }
    static int Scan(qel2query::WalkStep step, qEL2_CALPROPS* c, array_t** list) {
        const qEL2_RANGE_FILTER all = {0, 0, 0};
        return qel2query::ScanEventsStepping(step, c, list, 0, &all, qel2_ReadEventListByRangeCompare);
    }
    static int FreeList(array_t** list) { return qel2_FreeEventList(list); }
};

struct ToDoDb {
    static DB* Db() { return gCalDB.pToDoDB; }
    static int Range(qEL2_CALPROPS* c, array_t** list) { return qel2_pvt_ReadToDoListByRange(c, 0, 0, 0, list); }
    static int Scan(qel2query::WalkStep step, qEL2_CALPROPS* c, array_t** list) {
        const qEL2_RANGE_FILTER all = {0, 0, 0};
        return qel2query::ScanToDosStepping(step, c, list, 0, &all, qel2_ReadToDoListByRangeCompare);
    }
    static int FreeList(array_t** list) { return qel2_FreeToDoList(list); }
};

// Records listed per iteration, as the counter the ratios are read from.
void CountRecords(benchmark::State& state, uint64_t perIteration) {
    state.counters["records"] = static_cast<double>(perIteration);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * perIteration));
}

template <typename Kind>
void BM_RangeRead(benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)));
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

// The same walk with each way of stepping from one record to the next.
template <typename Kind, qel2query::WalkStep Step>
void BM_RangeReadStepping(benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)));
    Calendar calendar;
    uint32_t listed = 0;
    for (auto _ : state) {
        array_t* list = nullptr;
        if (Kind::Scan(Step, calendar.cal, &list) != 0) std::abort();
        listed = list->count;
        Kind::FreeList(&list);
    }
    CountRecords(state, listed);
}

template <typename Kind>
void BM_RawCursorWalk(benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)));
    Calendar calendar;
    uint64_t walked = 0;
    for (auto _ : state) {
        DBC* cursor = nullptr;
        DB* db = Kind::Db();
        if (db->cursor(db, nullptr, &cursor, 0) != 0) std::abort();
        unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE] = {};
        memcpy(keyBuffer, calendar.cal->idHash, qEL2_HASH_SIZE);
        DBT key{};
        key.data = keyBuffer;
        key.size = qEL2_HASH_SIZE;
        key.ulen = sizeof keyBuffer;
        key.flags = DB_DBT_USERMEM;
        DBT value{};
        value.flags = DB_DBT_MALLOC;
        walked = 0;
        for (uint32_t how = DB_SET_RANGE; cursor->get(cursor, &key, &value, how) == 0; how = DB_NEXT) {
            free(value.data);
            if (memcmp(keyBuffer, calendar.cal->idHash, qEL2_HASH_SIZE) != 0) break;
            ++walked;
        }
        cursor->close(cursor);
    }
    CountRecords(state, walked);
}

// A plain event in the middle of the calendar: not a link, not a tombstone.
const char* const kPointUid = "user1-evt-500";

void BM_ReadEvent(benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)));
    Calendar calendar;
    for (auto _ : state) {
        qEL2_VEVENT* event = nullptr;
        if (qel2_pvt_ReadEvent(calendar.cal, const_cast<char*>(kPointUid), 0, 0, &event) != 0 || !event) std::abort();
        qel2_FreeEvent(&event);
    }
}

void BM_RawGet(benchmark::State& state) {
    UseStore(static_cast<uint32_t>(state.range(0)));
    auto keyBytes = qel2mk::MakeEventKey(kCalendar, kPointUid, 0);
    for (auto _ : state) {
        DBT key{};
        key.data = keyBytes.data();
        key.size = key.ulen = qEL2_EVENT_KEY_SIZE;
        key.flags = DB_DBT_USERMEM;
        DBT value{};
        value.flags = DB_DBT_MALLOC;
        if (gCalDB.pEventDB->get(gCalDB.pEventDB, nullptr, &key, &value, 0) != 0) std::abort();
        free(value.data);
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

using qel2query::WalkStep;
BENCHMARK_TEMPLATE(BM_RangeRead, EventDb)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_RawCursorWalk, EventDb)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_RangeRead, ToDoDb)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_RawCursorWalk, ToDoDb)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_RangeReadStepping, EventDb, WalkStep::KeySearch)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_RangeReadStepping, EventDb, WalkStep::CursorNext)->Apply(Sizes);
BENCHMARK(BM_ReadEvent)->Arg(1000)->Arg(100000);
BENCHMARK(BM_RawGet)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
