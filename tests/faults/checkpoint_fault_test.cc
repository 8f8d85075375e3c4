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
#include "private_mounts.h"
#include "store_sweep.h"

namespace qel2test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Gives the environment's region files all their blocks now. Berkeley DB
// maps them with holes; touching a hole on a full file system would raise
// SIGBUS inside Berkeley DB, a fault the library cannot catch (see
// docs/reliability.md).
void AllocateRegions(const fs::path& home) {
    for (const auto& entry : fs::directory_iterator(home)) {
        if (entry.path().filename().string().rfind("__db.", 0) != 0) continue;
        int fd = open(entry.path().c_str(), O_RDWR);
        ASSERT_GE(fd, 0) << entry.path();
        EXPECT_EQ(posix_fallocate(fd, 0, static_cast<off_t>(entry.file_size())), 0) << entry.path();
        close(fd);
    }
}

// Writes to `file` until the file system is full.
void FillDisk(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    std::string block(1 << 16, 'f');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) out.flush();
}

class CheckpointFaultTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        disk_ = dir_.path() / "disk";
        fs::create_directories(disk_);
        if (std::string reason = MountSmallDisk(disk_, 64); !reason.empty())
            GTEST_SKIP() << "cannot mount a small disk here: " << reason;
        mounted_ = true;
        copyStore(disk_);
    }
    void TearDown() override {
        if (side_ != nullptr) side_->close(side_, 0);
        qel2_pvt_CloseDB();
        if (mounted_) umount2(disk_.c_str(), MNT_DETACH);
        FaultTest::TearDown();
    }
    // A transactional database of the test's own in the store's environment.
    void openSideDatabase() {
        ASSERT_EQ(db_create(&side_, gCalDB.dbenv, 0), 0);
        ASSERT_EQ(side_->open(side_, nullptr, "side.db", nullptr, DB_BTREE, DB_CREATE | DB_AUTO_COMMIT | DB_THREAD,
                              0664), 0);
    }
    void writeSide(uint32_t records) {
        char value[100] = {};
        for (uint32_t i = 0; i < records; ++i) {
            DBT key{}, data{};
            key.data = &i;
            key.size = sizeof i;
            data.data = value;
            data.size = sizeof value;
            side_->put(side_, nullptr, &key, &data, 0);
        }
    }
    fs::path disk_;
    bool mounted_ = false;
    DB* side_ = nullptr;
};

TEST_F(CheckpointFaultTest, ReadsGoOnWhileCheckpointsFailOnAFullDisk) {
    // A negative interval checkpoints on every one-second pass.
    set("caldb.berkeleydb.checkpointinterval", "-1");
    ASSERT_EQ(qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, disk_.c_str()), 0);
    const SweepTally reference = SweepStore(kFaultCalendars);
    openSideDatabase();
    writeSide(1);
    AllocateRegions(disk_);
    FillDisk(disk_ / "filler");
    writeSide(40);  // log records that stay in the log buffer until a flush

    std::atomic<bool> stop{false};
    std::atomic<int> sweeps{0}, differing{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            while (!stop) {
                differing += SweepStore(kFaultCalendars) != reference;
                ++sweeps;
            }
        });
    }
    const std::string failed = "Failed to checkpoint database, err=28\n";
    for (auto end = Clock::now() + 10s; Clock::now() < end && count(2, failed) < 2;) std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(1500ms);  // reads beside a few more failing passes
    stop = true;
    for (auto& reader : readers) reader.join();

    EXPECT_GE(count(2, failed), 2);
    EXPECT_GE(count(2, "OUT OF DISK SPACE\n"), 2);
    EXPECT_GT(sweeps.load(), 4);
    EXPECT_EQ(differing.load(), 0) << "a read came back different while checkpoints failed";

    // With space again the store closes normally.
    fs::remove(disk_ / "filler");
    EXPECT_EQ(side_->close(side_, 0), 0);
    side_ = nullptr;
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
}

}  // namespace
}  // namespace qel2test
