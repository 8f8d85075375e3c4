// The host log file as a person reads it: one stamped line per message,
// module and level named, whether the message came straight to the host or
// through the library's own log calls.

#include <qel2/log.h>
#include <qel2/standin_host.h>
#include <qel2/store.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

// "YYYY-MM-DDTHH:MM:SSZ " at the start of `line`.
bool StartsWithStamp(const std::string& line) {
    const std::string shape = "dddd-dd-ddTdd:dd:ddZ ";
    if (line.size() < shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !isdigit(static_cast<unsigned char>(line[i])) : line[i] != shape[i])
            return false;
    }
    return true;
}

TEST(HostLogFile, LineCarriesTimestampModuleAndLevel) {
    qel2::test::TempDir dir;
    const std::filesystem::path path = dir.path() / "host.log";
    ASSERT_EQ(hxlog_set_file(path.c_str()), 0);
    hxlog(0, 3, "%s: %s\n", "caldb", "text");  // the trailing line end is dropped
    hxlog(0, 4, "no module here\n\n");         // only one line end is dropped
    hxlog(0, 12, "caldb: odd level");
    const std::string payload(20000, 'z');  // longer than any fixed buffer
    hxlog(0, 6, "caldb: %s|end", payload.c_str());
    // The library's messages: under its module name, cut at 4095 characters,
    // trace lines only up to the store's trace level.
    EXPECT_EQ(qel2_pvt_LogAndReturnError(12, "disk %d%% full\n", 97), 12);
    qel2_Log(qEL2_LOG_CRITICAL, "%s|end", payload.c_str());
    qel2_pvt_TraceLog(1, "trace off");
    gCalDB.nTraceLevel = 1;
    qel2_pvt_TraceLog(1, "trace on");
    qel2_pvt_TraceLog(2, "too deep");
    gCalDB.nTraceLevel = 0;
    hxlog_set_file(nullptr);
    const std::vector<std::string> expected = {"caldb ERROR: text",
                                               "WARNING: no module here",
                                               "",
                                               "caldb LEVEL12: odd level",
                                               "caldb INFO: " + payload + "|end",
                                               "caldb ERROR: disk 97% full",
                                               "caldb CRITICAL ERROR: " + payload.substr(0, 4095),
                                               "caldb DEBUG: trace on"};
    std::ifstream in(path);
    std::vector<std::string> written;
    for (std::string line; std::getline(in, line);) written.push_back(line);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(expected[i].empty() ? written[i].empty() : StartsWithStamp(written[i]));
        EXPECT_EQ(written[i].substr(std::min<size_t>(written[i].size(), 21)), expected[i]);
    }
}

}  // namespace
