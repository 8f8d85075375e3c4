// The soak: eight threads read a 100,000-event store for a minute (or
// QEL2_SOAK_SECONDS) while the checkpoint thread runs every second and the
// deadlock thread at its interval. Every result must equal the one a single
// thread obtained first, resident memory must level off, and the store must
// close with both maintenance threads gone.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <qel2/qel2.h>

#include "soak_operations.h"
#include "store/store_fixture.h"
#include "store_generator.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr qel2::mkstore::GenerateOptions kShape{100, 1000, 100,
                                                1};  // 100,000 events, 10,000 to-dos
constexpr int kReaders = 8;
constexpr size_t kOperations = 20000;

// Generating takes a few seconds; the written store is kept under /tmp and
// reused by later runs, and each run works on a copy of it.
fs::path CachedStore() {
    fs::path cache = fs::temp_directory_path() / "qel2-soak-store-100x1000x100-seed1";
    if (!fs::exists(cache / "caldb.conf")) {
        fs::path partial = cache.string() + ".partial." + std::to_string(getpid());
        fs::remove_all(partial);
        qel2::mkstore::GenerateStore(kShape, partial.string());
        fs::remove_all(cache);
        fs::rename(partial, cache);
    }
    return cache;
}

size_t ResidentBytes() {
    size_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

std::chrono::seconds SoakTime() {
    const char* seconds = std::getenv("QEL2_SOAK_SECONDS");
    return std::chrono::seconds(seconds ? std::atoi(seconds) : 60);
}

class SoakTest : public StoreTest {};

TEST_F(SoakTest, EightReadersBesideTheMaintenanceThreads) {
    for (const auto& entry : fs::directory_iterator(CachedStore())) {
        if (entry.path().filename().string().rfind("__db.", 0) != 0)
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
    }
    set("caldb.berkeleydb.checkpointinterval", "1");
    set("caldb.berkeleydb.debugcheckpointing", "1");
    ASSERT_EQ(open(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK), 0);

    // The reference: every operation once, on this thread alone.
    std::vector<qel2::test::soak::Operation> operations =
        qel2::test::soak::DrawOperations(kShape, kOperations, 1);
    size_t found = 0;
    for (auto& operation : operations) {
        operation.result = qel2::test::soak::Run(operation, operation.digest);
        found += operation.result == 0 && operation.digest != 0;
    }
    ASSERT_GT(found, kOperations / 2) << "most operations find something";

    std::atomic<bool> stop{false};
    std::atomic<uint64_t> reads{0}, mismatches{0};
    std::atomic<size_t> firstMismatch{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < kReaders; ++r) {
        readers.emplace_back([&, r] {
            std::mt19937 random(100 + r);
            while (!stop.load(std::memory_order_relaxed)) {
                const size_t index = random() % operations.size();
                uint64_t digest = 0;
                int result = qel2::test::soak::Run(operations[index], digest);
                reads.fetch_add(1, std::memory_order_relaxed);
                if (result != operations[index].result || digest != operations[index].digest) {
                    if (mismatches.fetch_add(1) == 0) firstMismatch = index;
                }
            }
        });
    }

    const auto soak = SoakTime();
    const auto sampleAt = std::min<std::chrono::seconds>(10s, soak / 2);
    std::this_thread::sleep_for(sampleAt);
    const size_t early = ResidentBytes();
    const uint64_t earlyReads = reads.load();
    std::this_thread::sleep_for(soak - sampleAt);
    const size_t late = ResidentBytes();
    stop = true;
    for (auto& reader : readers) reader.join();

    EXPECT_EQ(mismatches.load(), 0u)
        << "first: " << qel2::test::soak::Describe(operations[firstMismatch]);
    EXPECT_GT(reads.load(), earlyReads);
    EXPECT_LE(late, early + early / 10) << "resident memory grew by more than 10 %";
    const int checkpoints = count(7, "Checkpoint Done\n");
    EXPECT_GE(checkpoints, 2) << "the checkpoint thread ran during the load";

    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    EXPECT_EQ(__atomic_load_n(&gCalDB.nRunningThreads, __ATOMIC_ACQUIRE), 0);
    ExpectClosed();

    std::printf(
        "soak: %s reads by %d threads in %d s, %d checkpoints; resident memory %.1f MB at %d s, "
        "%.1f MB at "
        "the end\n",
        std::to_string(reads.load()).c_str(), kReaders, static_cast<int>(soak.count()), checkpoints,
        early / 1048576.0, static_cast<int>(sampleAt.count()), late / 1048576.0);
}

}  // namespace
}  // namespace qel2::test
