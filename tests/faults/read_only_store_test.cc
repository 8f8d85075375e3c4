// A store on a read-only file system. As root, permission bits are not
// enforced, so the store is shown through a read-only bind mount in a mount
// namespace of the test's own.

#include <filesystem>
#include <fstream>

#include <sys/mount.h>

#include <gtest/gtest.h>

#include <qel2/qel2.h>

#include "fault_fixture.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FaultTest, ReadOnlyStoreFailsToOpenCleanly) {
    const fs::path source = dir_.path() / "source", view = dir_.path() / "view";
    fs::create_directories(source);
    fs::create_directories(view);
    copyStore(source);
    if (std::string reason = MountReadOnlyView(source, view); !reason.empty())
        GTEST_SKIP() << "cannot make a read-only store here: " << reason;
    EXPECT_FALSE(std::ofstream(view / "probe").is_open()) << "the view is writable";

    // The environment's region files cannot be created: the library's code
    // for an environment that did not open, with Berkeley DB's reason.
    EXPECT_EQ(qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, view.c_str()), 2);
    EXPECT_TRUE(hasPrefix(3, "qel2_InitializeEnvironment: dbenv->open returned "));
    EXPECT_EQ(gCalDB.dbenv, nullptr);
    EXPECT_EQ(RunningThreads(), 0) << "no thread starts";
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
    EXPECT_EQ(fs::file_size(view / "events.db"), fs::file_size(source / "events.db"));
    umount(view.c_str());
}

}  // namespace
}  // namespace qel2::test
