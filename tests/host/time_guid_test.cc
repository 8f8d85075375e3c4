#include <qel2/host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

namespace {

TEST(HostTime, FormatsUtc) {
    char text[64];
    const char* iso = "%Y-%m-%dT%H:%M:%SZ";
    EXPECT_EQ(cal_strgmtime(text, sizeof text, iso, 1137596400u), 20u);
    EXPECT_STREQ(text, "2006-01-18T15:00:00Z");
    // Past 2038: the store's times are unsigned 32-bit.
    EXPECT_EQ(cal_strgmtime(text, sizeof text, "%Y", 0xFFFFFFFFu), 4u);
    EXPECT_STREQ(text, "2106");
}

TEST(HostTime, TooSmallBufferIsLeftEmpty) {
    char text[10];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(cal_strgmtime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", 1137596400u), 0u);
    EXPECT_EQ(text[0], '\0');
}

TEST(HostTime, BreaksDownUtc) {
    uint32_t when = 1137401100u;  // 2006-01-16 08:45:00 UTC, a Monday
    struct tm parts;
    ASSERT_EQ(mtgmtime(&when, &parts), &parts);
    EXPECT_EQ(parts.tm_year, 106);
    EXPECT_EQ(parts.tm_mon, 0);
    EXPECT_EQ(parts.tm_mday, 16);
    EXPECT_EQ(parts.tm_hour, 8);
    EXPECT_EQ(parts.tm_min, 45);
    EXPECT_EQ(parts.tm_wday, 1);
    EXPECT_EQ(mtgmtime(nullptr, &parts), nullptr);
    EXPECT_EQ(mtgmtime(&when, nullptr), nullptr);
}

TEST(HostGuid, RandomVersion4WithLowercaseText) {
    CALDB_GUID first, second;
    cal_GenerateGUID(&first);
    cal_GenerateGUID(&second);
    EXPECT_NE(std::memcmp(first.bytes, second.bytes, sizeof first.bytes), 0);
    EXPECT_EQ(first.bytes[6] >> 4, 4);          // version 4
    EXPECT_EQ(first.bytes[8] & 0xC0, 0x80);     // RFC 4122 variant

    char text[37];
    std::memset(text, 'x', sizeof text);
    cal_GUIDToString(&first, text);
    EXPECT_EQ(std::strlen(text), 36u);
    EXPECT_TRUE(std::regex_match(text, std::regex("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")))
        << text;

    CALDB_GUID fixed;
    for (int i = 0; i < 16; ++i) fixed.bytes[i] = static_cast<unsigned char>(i * 17);
    cal_GUIDToString(&fixed, text);
    EXPECT_STREQ(text, "00112233-4455-6677-8899-aabbccddeeff");
}

}  // namespace
