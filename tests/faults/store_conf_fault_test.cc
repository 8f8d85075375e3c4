// Damaged or hostile caldb.conf files and home paths: the open must refuse
// the store with 2 and one clear ERROR line, never crash, hang or read
// another file than the store's own.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include <qel2/qel2.h>

#include "fault_fixture.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

const std::string kLocateFailed =
    "Failed to locate caldb.conf.  File must exist for opening the Database\n";
const std::string kVersionFailed =
    "Failed dbversion check. Database may be corrupted or version numbers are mismatched\n";

std::string VersionLine(const std::string& version) {
    return "caldb.version = \"" + version + "\"\n";
}

std::string RandomBytes(size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

constexpr size_t kHuge = 10u << 20;
constexpr size_t kJustUnderTheLimit = (1u << 20) - 200;

std::string CommentsThenVersion(size_t size) {
    std::string text;
    while (text.size() + 100 < size) text += "# " + std::string(97, '-') + "\n";
    return text + VersionLine(kStoreVersion);
}

TEST_F(FaultTest, HostileConfFilesAreAnsweredWithoutCrashOrHang) {
    copyStore();
    const struct {
        const char* name;
        std::string text;
        int result;              // of the open
        int versionFailedLines;  // none when the file is refused unread for its size
    } cases[] = {{"empty", "", 2, 1},
                 {"binary", RandomBytes(64 << 10), 2, 1},
                 {"huge single line", std::string(kHuge, 'x'), 2, 0},
                 {"huge comments, then the version", CommentsThenVersion(kHuge), 2, 0},
                 {"comments just under 1 MB, then the version",
                  CommentsThenVersion(kJustUnderTheLimit), 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir_.write("caldb.conf", c.text);
        auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(open(0), c.result);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20))
            << "read in one pass";
        EXPECT_EQ(count(3, kVersionFailed), c.versionFailedLines);
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
        ExpectClosed();
        log_.clear();
    }
}

// ---- home directories longer than the 511 characters of the version check ----

constexpr size_t kCheckedPath = 511;

// A folder under `base` whose path is exactly `length` characters long, each
// name below the 255-byte limit.
fs::path NestedFolder(fs::path path, size_t length) {
    while (path.string().size() < length) {
        size_t left = length - path.string().size() - 1;  // one for the separator
        path /= std::string(left > 250 ? 200 : left, 'd');
    }
    fs::create_directories(path);
    return path;
}

TEST_F(FaultTest, HomePathBeyondTheVersionCheckIsRefused) {
    fs::path home = NestedFolder(dir_.path(), kCheckedPath + 100);
    copyStore(home);
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, home.c_str()), 2);
    EXPECT_EQ(count(3, kLocateFailed) + count(3, kVersionFailed), 1);
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();
}

// The cut path of the version check names a sibling file holding the right
// version, while the store's own caldb.conf holds a wrong one: the store must
// still be refused, never accepted on another file's version.
TEST_F(FaultTest, CutVersionPathNeverReadsASiblingFile) {
    fs::path parent = NestedFolder(dir_.path(), kCheckedPath - 100);
    fs::path home = NestedFolder(parent, kCheckedPath + 51);
    copyStore(home);
    std::ofstream(home / "caldb.conf") << VersionLine("0.9.0 [BerkeleyDB]");
    fs::path cut = (home / "caldb.conf").string().substr(0, kCheckedPath);
    ASSERT_EQ(cut.parent_path(), parent);
    std::ofstream(cut) << VersionLine(kStoreVersion);

    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, home.c_str()), 2)
        << "the store was accepted on another file's version";
    EXPECT_EQ(count(3, kLocateFailed) + count(3, kVersionFailed), 1);
    qel2_pvt_CloseDB();
    ExpectClosed();
}

}  // namespace
}  // namespace qel2::test
