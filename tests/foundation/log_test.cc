// The library's log road: level, module prefix, trace gate, wrappers.

#include <gtest/gtest.h>

#include <string>

#include <qel2/log.h>
#include <qel2/store.h>

#include "support/log_capture.h"

namespace {

using qel2test::LogCapture;

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { gCalDB.nTraceLevel = 0; }
    LogCapture capture;
};

TEST_F(LogTest, PassesTheMessageToTheSinkUnderTheModuleName) {
    EXPECT_EQ(qel2_Log(3, "qel2_x: %d %s\n", 7, "seven"), 0);
    // A message without a line end reaches the sink unchanged too.
    qel2_Log(6, "qel2_pvt_OpenDBCore: %s: %d = %s", "events.db", 2, "No such file");
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, 3);
    EXPECT_EQ(lines[0].text, "caldb: qel2_x: 7 seven\n");
    EXPECT_EQ(lines[1].level, 6);
    EXPECT_EQ(lines[1].text, "caldb: qel2_pvt_OpenDBCore: events.db: 2 = No such file");
}

TEST_F(LogTest, CutsAMessageLongerThanItsBufferWithoutOverflow) {
    std::string huge(10000, 'x');
    qel2_Log(3, "%s", huge.c_str());
    auto messages = capture.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::string(4095, 'x'));
}

TEST_F(LogTest, TraceIsOffAtLevelZeroAndWritesDebugLinesFromLevelOne) {
    gCalDB.nTraceLevel = 0;
    qel2_pvt_TraceLog(1, "qel2_pvt_OpenDB");
    EXPECT_TRUE(capture.lines().empty());

    gCalDB.nTraceLevel = 1;
    EXPECT_EQ(qel2_pvt_TraceLog(1, "qel2_pvt_ReadEvent"), 0);
    qel2_pvt_TraceLog(2, "too deep");
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 7);
    EXPECT_EQ(lines[0].text, "caldb: qel2_pvt_ReadEvent");
}

TEST_F(LogTest, ErrorWrapperLogsAtErrorAndReturnsItsCode) {
    EXPECT_EQ(qel2_pvt_LogAndReturnError(12, "qel2_pvt_GetStats: pEventDB->cursor() returned %d\n", 5), 12);
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 3);
    EXPECT_EQ(lines[0].text, "caldb: qel2_pvt_GetStats: pEventDB->cursor() returned 5\n");
}

TEST_F(LogTest, CheckpointDebugLinesOnlyWhenEnabled) {
    qel2_CheckpointDebugMessage(0, "Starting checkpoint\n");
    EXPECT_TRUE(capture.lines().empty());
    qel2_CheckpointDebugMessage(1, "Deleting %s\n", "./log.0000000001");
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 7);
    EXPECT_EQ(lines[0].text, "caldb: Deleting ./log.0000000001\n");
}

TEST_F(LogTest, DiskSpaceAlarmAndBerkeleyErrorsHaveTheirOwnTexts) {
    operation_out_of_disk_space();
    char message[] = "mmap: Invalid argument";
    qel2_recover_err("qEL2", message);
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, 2);
    EXPECT_EQ(lines[0].text, "caldb: OUT OF DISK SPACE\n");
    EXPECT_EQ(lines[1].level, 3);
    EXPECT_EQ(lines[1].text, "caldb: Error with calendar database: mmap: Invalid argument\n");
}

TEST(LogLevels, TableNamesLevelsZeroToSevenThenNull) {
    EXPECT_STREQ(asLevels[2], "CRITICAL ERROR");
    EXPECT_STREQ(asLevels[3], "ERROR");
    EXPECT_STREQ(asLevels[6], "INFO");
    EXPECT_STREQ(asLevels[7], "DEBUG");
    EXPECT_EQ(asLevels[8], nullptr);
}

}  // namespace
