// Checkpoints that fail for want of disk space while reads go on. The store
// sits on a small memory file system; a transactional write of the test's
// own (the library itself never writes) leaves log records that the next
// checkpoint must flush, and a filler file has taken the last free block.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <qel2/qel2.h>

#include "fault_fixture.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Gives the environment's region files all their blocks now. Berkeley DB
// maps them with holes; touching a hole on a full file system would raise
// SIGBUS inside Berkeley DB, a fault the library cannot catch.
void AllocateRegions(const fs::path& home) {
    for (const auto& entry : fs::directory_iterator(home)) {
        if (!entry.path().filename().string().starts_with("__db.")) continue;
        int fd = open(entry.path().c_str(), O_RDWR);
        EXPECT_EQ(posix_fallocate(fd, 0, static_cast<off_t>(entry.file_size())), 0) << entry.path();
        close(fd);
    }
}

// Puts `records` records into a transactional database of the test's own.
void WriteSide(DB* side, uint32_t records) {
    char value[100] = {};
    for (uint32_t i = 0; i < records; ++i) {
        DBT key{}, data{};
        key.data = &i;
        key.size = sizeof i;
        data.data = value;
        data.size = sizeof value;
        side->put(side, nullptr, &key, &data, 0);
    }
}

TEST_F(FaultTest, ReadsGoOnWhileCheckpointsFailOnAFullDisk) {
    const fs::path disk = dir_.path() / "disk";
    fs::create_directories(disk);
    if (std::string reason = MountSmallDisk(disk, 64); !reason.empty())
        GTEST_SKIP() << "cannot mount a small disk here: " << reason;
    copyStore(disk);
    // A negative interval checkpoints on every one-second pass.
    set("caldb.berkeleydb.checkpointinterval", "-1");
    ASSERT_EQ(qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, disk.c_str()), 0);
    const SweepTally reference = SweepStore();
    DB* side = nullptr;
    ASSERT_EQ(db_create(&side, gCalDB.dbenv, 0), 0);
    ASSERT_EQ(side->open(side, nullptr, "side.db", nullptr, DB_BTREE,
                         DB_CREATE | DB_AUTO_COMMIT | DB_THREAD, 0664),
              0);
    WriteSide(side, 1);
    AllocateRegions(disk);
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        std::string block(1 << 16, 'f');
        while (filler.write(block.data(), std::ssize(block))) filler.flush();
    }
    WriteSide(side, 40);  // log records that stay in the log buffer until a flush

    std::atomic<bool> stop{false};
    std::atomic<int> sweeps{0}, differing{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            for (; !stop; ++sweeps) differing += SweepStore() != reference;
        });
    }
    const std::string failed = "Failed to checkpoint database, err=28\n";
    for (auto end = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < end && count(2, failed) < 2;)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(1500ms);  // reads beside a few more failing passes
    stop = true;
    for (auto& reader : readers) reader.join();

    EXPECT_GE(count(2, failed), 2);
    EXPECT_GE(count(2, "OUT OF DISK SPACE\n"), 2);
    EXPECT_GT(sweeps.load(), 4);
    EXPECT_EQ(differing.load(), 0) << "a read came back different while checkpoints failed";

    // With space again the store closes normally.
    fs::remove(disk / "filler");
    EXPECT_EQ(side->close(side, 0), 0);
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
    umount2(disk.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace qel2::test
