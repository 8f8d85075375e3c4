// Decoder throughput against a baseline that makes only the allocations and
// copies the decoded record needs, on realistic records.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <qel2/codec.h>

#include "record_copy.h"
#include "record_encoder.h"
#include "sample_records.h"

namespace {

using qel2::mkstore::Bytes;

// What each benchmark needs to know about one kind of record.
struct Event {
    using Record = qEL2_VEVENT;
    static qel2::EventPtr Sample() { return qel2::bench::SampleEvent(); }
    static Bytes Encode(const Record& r) { return qel2::mkstore::EncodeEvent(r); }
    static Record* New() { return qel2_NewEvent(); }
    static int Decode(Record* r, const Bytes& v) {
        return qel2_pvt_DeserializeEvent(r, v.data(), v.size());
    }
    static void Free(Record* r) { qel2_FreeEvent(&r); }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitEventFields(v, to, from);
    }
};

struct ToDo {
    using Record = qEL2_VTODO;
    static qel2::ToDoPtr Sample() { return qel2::bench::SampleToDo(); }
    static Bytes Encode(const Record& r) { return qel2::mkstore::EncodeToDo(r); }
    static Record* New() { return qel2_NewToDo(); }
    static int Decode(Record* r, const Bytes& v) {
        return qel2_pvt_DeserializeToDo(r, v.data(), v.size());
    }
    static void Free(Record* r) { qel2_FreeToDo(&r); }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitToDoFields(v, to, from);
    }
};

struct Calendar {
    using Record = qEL2_CALPROPS;
    static qel2::CalPropsPtr Sample() { return qel2::bench::SampleCalendar(); }
    static Bytes Encode(const Record& r) { return qel2::mkstore::EncodeCalProps(r); }
    static Record* New() { return qel2::NewCalProps().release(); }
    static int Decode(Record* r, const Bytes& v) {
        return qel2_pvt_DeserializeCalProps(r, v.data(), v.size());
    }
    static void Free(Record* r) { qel2_FreeCalProps(&r); }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitCalPropsFields(v, to, from);
    }
};

struct Alarm {
    using Record = qEL2_VALARM;
    static qel2::AlarmPtr Sample() { return qel2::bench::SampleAlarm(0); }
    static Bytes Encode(const Record& r) {
        qel2::mkstore::ValueWriter out;
        qel2::mkstore::EncodeAlarm(out, r);
        return std::move(out.bytes());
    }
    static Record* New() { return qel2_NewAlarm(); }
    static int Decode(Record* r, const Bytes& v) {
        const unsigned char* cursor = v.data();
        return qel2_pvt_DeserializeAlarm(r, v.data(), &cursor, v.size());
    }
    static void Free(Record* r) { qel2_FreeAlarm(&r); }
    template <typename V>
    static void Visit(V& v, Record& to, const Record& from) {
        qel2::mkstore::VisitAlarmFields(v, to, from);
    }
};

void Count(benchmark::State& state, const Bytes& value) {
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(value.size()));
    state.counters["value_bytes"] = static_cast<double>(value.size());
}

template <typename Kind>
void BM_Decode(benchmark::State& state) {
    const Bytes value = Kind::Encode(*Kind::Sample());
    for (auto _ : state) {
        typename Kind::Record* record = Kind::New();
        if (Kind::Decode(record, value) != 0) state.SkipWithError("the value did not decode");
        benchmark::DoNotOptimize(record);
        Kind::Free(record);
    }
    Count(state, value);
}

template <typename Kind>
void BM_Baseline(benchmark::State& state) {
    const auto source = Kind::Sample();
    const Bytes value = Kind::Encode(*source);
    qel2::bench::RecordCopier copier;
    for (auto _ : state) {
        typename Kind::Record* record = Kind::New();
        Kind::Visit(copier, *record, *source);
        benchmark::DoNotOptimize(record);
        Kind::Free(record);
    }
    Count(state, value);
}

BENCHMARK_TEMPLATE(BM_Decode, Event);
BENCHMARK_TEMPLATE(BM_Baseline, Event);
BENCHMARK_TEMPLATE(BM_Decode, ToDo);
BENCHMARK_TEMPLATE(BM_Baseline, ToDo);
BENCHMARK_TEMPLATE(BM_Decode, Calendar);
BENCHMARK_TEMPLATE(BM_Baseline, Calendar);
BENCHMARK_TEMPLATE(BM_Decode, Alarm);
BENCHMARK_TEMPLATE(BM_Baseline, Alarm);

}  // namespace

BENCHMARK_MAIN();
