// The library's log road: level, module prefix, no added line end, cut
// messages, the trace gate.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qel2/log.h>
#include <qel2/store.h>

#include "support/log_capture.h"

namespace {

TEST(Log, WritesItsLevelUnderTheModuleNameCutsLongLinesAndGatesTrace) {
    qel2::test::LogCapture capture;
    EXPECT_EQ(qel2_Log(3, "qel2_x: %d %s\n", 7, "seven"), 0);
    qel2_Log(6, "qel2_pvt_OpenDBCore: %s: %d", "events.db", 2);  // no line end is added
    EXPECT_EQ(qel2_pvt_LogAndReturnError(12, "qel2_pvt_GetStats: returned %d\n", 5), 12);
    qel2_Log(3, "%s", std::string(10000, 'x').c_str());
    qel2_pvt_TraceLog(1, "qel2_pvt_OpenDB");  // trace level 0: off
    gCalDB.nTraceLevel = 1;
    EXPECT_EQ(qel2_pvt_TraceLog(1, "qel2_pvt_ReadEvent"), 0);
    qel2_pvt_TraceLog(2, "too deep");
    gCalDB.nTraceLevel = 0;
    const std::vector<qel2::test::LogLine> expected = {
        {3, "caldb: qel2_x: 7 seven\n"},
        {6, "caldb: qel2_pvt_OpenDBCore: events.db: 2"},
        {3, "caldb: qel2_pvt_GetStats: returned 5\n"},
        {3, "caldb: " + std::string(4095, 'x')},
        {7, "caldb: qel2_pvt_ReadEvent"}};
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].level, expected[i].level) << expected[i].text;
        EXPECT_EQ(lines[i].text, expected[i].text);
    }
}

}  // namespace
