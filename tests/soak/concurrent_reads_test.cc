// Reads from several threads beside the maintenance threads must each
// return what one thread alone obtained first. Built twice: a short run on
// a small store among the other tests, and the soak (QEL2_SOAK): eight
// threads for a minute (QEL2_SOAK_SECONDS) on 100,000 events, in which
// resident memory must also level off.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include <qel2/qel2.h>

#include "store/store_fixture.h"
#include "store_generator.h"
#include "support/record_digest.h"

namespace qel2::test {
namespace {

#if defined(QEL2_SOAK)
constexpr qel2::mkstore::GenerateOptions kShape{100, 1000, 100};
constexpr int kReaders = 8;
#else
constexpr qel2::mkstore::GenerateOptions kShape{3, 40, 20};
constexpr int kReaders = 4;
#endif

// One read: of an event or a to-do (kind 0, 1), a 30-day window of either
// (2, 3) from `from`, or a search (4); with a lone thread's result.
struct Read {
    uint32_t kind, calendar, record;
    int32_t from;
    int result;
    uint64_t digest;
};

int Perform(const Read& read, uint64_t& digest) {
    const std::string id = "user" + std::to_string(read.calendar);
    if (read.kind == 4)
        return SearchCalendars(("user" + std::to_string(read.calendar / 10)).c_str(), digest);
    qEL2_CALPROPS* calendar = nullptr;
    if (int result = qel2_pvt_ReadCalProps(const_cast<char*>(id.c_str()), &calendar)) return result;
    const qel2::CalPropsPtr owned(calendar);
    const std::string uid =
        id + (read.kind == 1 ? "-todo-" : "-evt-") + std::to_string(read.record);
    if (read.kind < 2)
        return (read.kind == 0 ? ReadOneEvent : ReadOneToDo)(calendar, uid.c_str(), 0, digest);
    return (read.kind == 2 ? ReadEventWindow : ReadToDoWindow)(calendar, read.from,
                                                               read.from + 30 * 86400, digest);
}

[[maybe_unused]] size_t ResidentBytes() {
    size_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

using QEL2_LOAD_SUITE = StoreTest;  // each build's own name

TEST_F(QEL2_LOAD_SUITE, ReadsFromManyThreadsBesideTheMaintenanceThreads) {
    qel2::mkstore::GenerateStore(kShape, dir_.str());
    // The writer's region files (and its larger cache) are not the store's.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        if (entry.path().filename().string().starts_with("__db.")) remove(entry.path().c_str());
    set("caldb.berkeleydb.checkpointinterval", "-1");
    set("caldb.berkeleydb.debugcheckpointing", "1");
    ASSERT_EQ(open(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK), 0);

    // Mostly single reads, as a server serves them; one in ten a window,
    // one in fifty a search.
    std::vector<Read> reads(20000);
    std::mt19937 random(1);
    size_t found = 0;
    for (Read& read : reads) {
        const uint32_t pick = random() % 50;
        read.kind = pick == 0 ? 4 : pick < 6 ? 2 + pick % 2 : pick < 15 ? 1 : 0;
        read.calendar = random() % kShape.calendars;
        read.record =
            random() % (read.kind == 1 ? kShape.todosPerCalendar : kShape.eventsPerCalendar);
        read.from = int32_t(kShape.firstStart + random() % (2 * 365 * 86400));
        read.result = Perform(read, read.digest);
        found += read.result == 0 && read.digest != 0;
    }
    ASSERT_GT(found, reads.size() / 2) << "most reads find something";

    std::atomic<bool> stop{false};
    std::atomic<uint64_t> done{0}, differing{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < kReaders; ++r) {
        readers.emplace_back([&, r] {
            for (std::mt19937 pick(100 + r); !stop; ++done) {
                const Read& read = reads[pick() % reads.size()];
                uint64_t digest = 0;
                differing += Perform(read, digest) != read.result || digest != read.digest;
            }
        });
    }
#if defined(QEL2_SOAK)
    const char* seconds = std::getenv("QEL2_SOAK_SECONDS");
    const std::chrono::seconds soak(seconds ? std::atoi(seconds) : 60), sampleAt = soak / 6;
    std::this_thread::sleep_for(sampleAt);
    const size_t early = ResidentBytes();
    const uint64_t earlyDone = done;
    std::this_thread::sleep_for(soak - sampleAt);
    const size_t late = ResidentBytes();
    EXPECT_GT(done.load(), earlyDone) << "the readers went on";
    EXPECT_LE(late, early + early / 10) << "resident memory grew by more than 10 %";
    std::printf("soak: %llu reads in %d s; resident memory %.1f MB at %d s, %.1f MB at the end\n",
                (unsigned long long)done.load(), int(soak.count()), early / 1048576.0,
                int(sampleAt.count()), late / 1048576.0);
#else
    // Two checkpoint passes; the bound only keeps a stalled thread from
    // hanging the run.
    for (int i = 0; i < 6000 && count(7, "Checkpoint Done\n") < 4; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
#endif
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(differing.load(), 0u);
    EXPECT_GE(count(7, "Checkpoint Done\n"), 4) << "the checkpoint thread ran during the load";
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
}

}  // namespace
}  // namespace qel2::test
