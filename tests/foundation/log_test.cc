// The library's log road: level, module prefix, trace gate, wrappers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qel2/log.h>
#include <qel2/store.h>

#include "support/log_capture.h"

namespace {

using qel2test::LogLine;

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { gCalDB.nTraceLevel = 0; }
    void expectLines(const std::vector<LogLine>& expected) {
        auto lines = capture.lines();
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(lines[i].level, expected[i].level) << expected[i].text;
            EXPECT_EQ(lines[i].text, expected[i].text);
        }
    }
    qel2test::LogCapture capture;
};

TEST_F(LogTest, EachRoadWritesItsLevelUnderTheModuleName) {
    EXPECT_EQ(qel2_Log(3, "qel2_x: %d %s\n", 7, "seven"), 0);
    qel2_Log(6, "qel2_pvt_OpenDBCore: %s: %d", "events.db", 2);  // no line end is added
    EXPECT_EQ(qel2_pvt_LogAndReturnError(12, "qel2_pvt_GetStats: returned %d\n", 5), 12);
    qel2_CheckpointDebugMessage(0, "Starting checkpoint\n");  // off
    qel2_CheckpointDebugMessage(1, "Deleting %s\n", "./log.0000000001");
    operation_out_of_disk_space();
    char message[] = "mmap: Invalid argument";
    qel2_recover_err("qEL2", message);
    expectLines({{3, "caldb: qel2_x: 7 seven\n"},
                 {6, "caldb: qel2_pvt_OpenDBCore: events.db: 2"},
                 {3, "caldb: qel2_pvt_GetStats: returned 5\n"},
                 {7, "caldb: Deleting ./log.0000000001\n"},
                 {2, "caldb: OUT OF DISK SPACE\n"},
                 {3, "caldb: Error with calendar database: mmap: Invalid argument\n"}});
}

TEST_F(LogTest, CutsAMessageLongerThanItsBufferWithoutOverflow) {
    qel2_Log(3, "%s", std::string(10000, 'x').c_str());
    expectLines({{3, "caldb: " + std::string(4095, 'x')}});
}

TEST_F(LogTest, TraceIsOffAtLevelZeroAndWritesDebugLinesFromLevelOne) {
    qel2_pvt_TraceLog(1, "qel2_pvt_OpenDB");
    gCalDB.nTraceLevel = 1;
    EXPECT_EQ(qel2_pvt_TraceLog(1, "qel2_pvt_ReadEvent"), 0);
    qel2_pvt_TraceLog(2, "too deep");
    expectLines({{7, "caldb: qel2_pvt_ReadEvent"}});
}

}  // namespace
