// A store on a read-only file system. Running as root, permission bits are
// not enforced, so the test shows the store through a read-only bind mount
// (in a mount namespace of its own, invisible to the rest of the system);
// as another user it takes the write bits away instead.

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <qel2/qel2.h>

#include "fault_fixture.h"
#include "private_mounts.h"

namespace qel2test {
namespace {

namespace fs = std::filesystem;

// Makes `view` a read-only window on `source`; an empty reason means done.
std::string MakeReadOnlyView(const fs::path& source, const fs::path& view) {
    if (geteuid() != 0) {
        fs::copy(source, view, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const auto& entry : fs::directory_iterator(view))
            fs::permissions(entry, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
        fs::permissions(view, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        return "";
    }
    return MountReadOnlyView(source, view);
}

class ReadOnlyStoreTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        fs::create_directories(source_ / "store");
        copyStore(source_ / "store");
        fs::create_directories(view_);
        std::string reason = MakeReadOnlyView(source_ / "store", view_);
        if (!reason.empty()) GTEST_SKIP() << "cannot make a read-only store here: " << reason;
        mounted_ = geteuid() == 0;
    }
    void TearDown() override {
        qel2_pvt_CloseDB();
        if (mounted_) umount(view_.c_str());
        else fs::permissions(view_, fs::perms::owner_all, fs::perm_options::add);
        FaultTest::TearDown();
    }
    const fs::path source_ = dir_.path() / "source";
    const fs::path view_ = dir_.path() / "view";
    bool mounted_ = false;
};

TEST_F(ReadOnlyStoreTest, OpenFailsCleanlyWhenTheEnvironmentCannotBeWritten) {
    ASSERT_FALSE(std::ofstream(view_ / "probe").is_open()) << "the view is writable";
    int result = qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, view_.c_str());
    // The environment's region files cannot be created: the library's code
    // for an environment that did not open, with Berkeley DB's reason.
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(hasPrefix(3, "qel2_InitializeEnvironment: dbenv->open returned "));
    EXPECT_EQ(gCalDB.dbenv, nullptr);
    EXPECT_EQ(__atomic_load_n(&gCalDB.nRunningThreads, __ATOMIC_ACQUIRE), 0) << "no thread starts";
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
    EXPECT_EQ(fs::file_size(view_ / "events.db"), fs::file_size(source_ / "store" / "events.db"));
}

}  // namespace
}  // namespace qel2test
