#include <qel2/standin_host.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

// Sends lines to a file in a temporary folder for the life of the test.
class HostLogFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(hxlog_set_file(path.c_str()), 0); }
    void TearDown() override { hxlog_set_file(nullptr); }
    std::vector<std::string> lines() const {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    qel2test::TempDir dir;
    std::filesystem::path path = dir.path() / "host.log";
};

TEST_F(HostLogFile, LineCarriesTimestampModuleAndLevel) {
    hxlog(0, 3, "%s: %s\n", "caldb", "text");  // the trailing line end is dropped
    hxlog(0, 4, "no module here\n\n");         // only one line end is dropped
    hxlog(0, 2, "caldb: disk %d%% full", 97);
    hxlog(0, 12, "caldb: odd level");
    const std::string payload(20000, 'z');  // longer than any fixed buffer
    hxlog(0, 6, "caldb: %s|end", payload.c_str());
    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ )";
    const std::vector<std::string> expected = {
        stamp + "caldb ERROR: text", stamp + "WARNING: no module here", "",
        stamp + "caldb CRITICAL ERROR: disk 97% full", stamp + "caldb LEVEL12: odd level",
        stamp + "caldb INFO: z{20000}\\|end"};
    auto written = lines();
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(std::regex_match(written[i], std::regex(expected[i]))) << written[i].substr(0, 80);
    }
}

}  // namespace
