#include <qel2/host.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Sends lines to a file in a temporary folder for the life of the test.
class HostLogFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(hxlog_set_file(path.c_str()), 0); }
    void TearDown() override { hxlog_set_file(nullptr); }
    qel2test::TempDir dir;
    std::filesystem::path path = dir.path() / "host.log";
};

TEST_F(HostLogFile, LineCarriesTimestampModuleAndLevel) {
    hxlog(0, 3, "%s: %s", "caldb", "text");
    hxlog(0, 3, "%s: %s\n", "caldb", "text");  // the trailing line end is dropped
    hxlog(0, 4, "no module here\n\n");         // only one line end is dropped
    hxlog(0, 2, "caldb: disk %d%% full", 97);
    hxlog(0, 12, "caldb: odd level");
    const std::string payload(20000, 'z');  // longer than any fixed buffer
    hxlog(0, 6, "caldb: %s|end", payload.c_str());
    auto lines = read_lines(path);
    ASSERT_EQ(lines.size(), 7u);
    const std::regex error(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ caldb ERROR: text$)");
    EXPECT_TRUE(std::regex_match(lines[0], error)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], error)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(^\S+Z WARNING: no module here$)"))) << lines[2];
    EXPECT_EQ(lines[3], "");
    EXPECT_TRUE(std::regex_match(lines[4], std::regex(R"(^\S+Z caldb CRITICAL ERROR: disk 97% full$)"))) << lines[4];
    EXPECT_TRUE(std::regex_match(lines[5], std::regex(R"(^\S+Z caldb LEVEL12: odd level$)"))) << lines[5];
    EXPECT_EQ(lines[6].substr(20), " caldb INFO: " + payload + "|end");
}

TEST_F(HostLogFile, ConcurrentWritersProduceWholeLines) {
    constexpr int kThreads = 8, kMessages = 200;
    const std::string padding(500, '.');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kMessages; ++i) hxlog(0, 7, "caldb: thread %d message %d %s\n", t, i, padding.c_str());
        });
    }
    for (auto& thread : threads) thread.join();

    auto lines = read_lines(path);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kMessages));
    const std::regex whole(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ caldb DEBUG: (thread \d+ message \d+) \.{500}$)");
    std::set<std::string> seen;
    for (const auto& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, whole)) << line.substr(0, 120);
        seen.insert(match[1]);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kMessages));
}

TEST(HostLog, SinkReceivesMessageAsFormatted) {
    qel2test::TempDir dir;
    auto path = dir.path() / "unused.log";
    ASSERT_EQ(hxlog_set_file(path.c_str()), 0);
    {
        qel2test::LogCapture capture;
        hxlog(0, 5, "%s: %s\n", "caldb", "opened");
        hxlog(0, 9, "plain %d", 3);
        auto lines = capture.lines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].level, 5);
        EXPECT_EQ(lines[0].text, "caldb: opened\n");
        EXPECT_EQ(lines[1].level, 9);
        EXPECT_EQ(lines[1].text, "plain 3");
    }
    hxlog(0, 3, "caldb: after the sink");  // the line writer is back
    hxlog_set_file(nullptr);
    auto lines = read_lines(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("caldb ERROR: after the sink"), std::string::npos);
}

TEST(HostLog, LevelNamesAndBadFile) {
    EXPECT_STREQ(hxlog_level_name(2), "CRITICAL ERROR");
    EXPECT_STREQ(hxlog_level_name(7), "DEBUG");
    EXPECT_EQ(hxlog_level_name(8), nullptr);
    EXPECT_EQ(hxlog_level_name(-1), nullptr);

    qel2test::TempDir dir;
    EXPECT_EQ(hxlog_set_file((dir.str() + "/no/such/dir/x.log").c_str()), ENOENT);
}

}  // namespace
