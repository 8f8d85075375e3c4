#include <qel2/host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
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
    EXPECT_EQ(mtgmtime(nullptr, &parts), nullptr);
    EXPECT_EQ(mtgmtime(&when, nullptr), nullptr);
}

TEST(HostGuid, RandomVersion4WithLowercaseText) {
    CALDB_GUID first, second;
    cal_GenerateGUID(&first);
    cal_GenerateGUID(&second);
    EXPECT_NE(std::memcmp(first.bytes, second.bytes, sizeof first.bytes), 0);
    char text[37];
    cal_GUIDToString(&first, text);
    EXPECT_TRUE(std::regex_match(text, std::regex("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")))
        << text;

    CALDB_GUID fixed;
    for (int i = 0; i < 16; ++i) fixed.bytes[i] = static_cast<unsigned char>(i * 17);
    cal_GUIDToString(&fixed, text);
    EXPECT_STREQ(text, "00112233-4455-6677-8899-aabbccddeeff");
}

}  // namespace
