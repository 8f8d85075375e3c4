#include <qel2/standin_host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Ordinary dates are in every dump's expected text; these are the edges.
TEST(HostTime, FormatsPast2038AndLeavesATooSmallBufferEmpty) {
    char text[64];
    EXPECT_EQ(cal_strgmtime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", 0xFFFFFFFFu), 20u);
    EXPECT_STREQ(text, "2106-02-07T06:28:15Z");  // the store's times are unsigned 32-bit
    EXPECT_EQ(cal_strgmtime(text, 10, "%Y-%m-%dT%H:%M:%SZ", 1137596400u), 0u);
    EXPECT_EQ(text[0], '\0');
    uint32_t when = 0xFFFFFFFFu;
    struct tm parts;
    ASSERT_EQ(mtgmtime(&when, &parts), &parts);
    EXPECT_EQ(parts.tm_year, 206);
}

TEST(HostGuid, TwoGuidsDifferAndPrintAsLowercaseGroups) {
    CALDB_GUID first, second;
    cal_GenerateGUID(&first);
    cal_GenerateGUID(&second);
    EXPECT_NE(std::memcmp(first.bytes, second.bytes, sizeof first.bytes), 0);
    char text[37];
    CALDB_GUID fixed;
    for (int i = 0; i < 16; ++i) fixed.bytes[i] = static_cast<unsigned char>(i * 17);
    cal_GUIDToString(&fixed, text);
    EXPECT_STREQ(text, "00112233-4455-6677-8899-aabbccddeeff");
}

}  // namespace
