#include <qel2/host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <tuple>

namespace {

TEST(HostTime, FormatsAndBreaksDownUtc) {
    char text[64];
    EXPECT_EQ(cal_strgmtime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", 1137596400u), 20u);
    EXPECT_STREQ(text, "2006-01-18T15:00:00Z");
    // Past 2038: the store's times are unsigned 32-bit.
    EXPECT_EQ(cal_strgmtime(text, sizeof text, "%Y", 0xFFFFFFFFu), 4u);
    EXPECT_STREQ(text, "2106");
    // Too small a buffer is left empty.
    EXPECT_EQ(cal_strgmtime(text, 10, "%Y-%m-%dT%H:%M:%SZ", 1137596400u), 0u);
    EXPECT_EQ(text[0], '\0');

    uint32_t when = 1137401100u;  // 2006-01-16 08:45:00 UTC, a Monday
    struct tm parts;
    ASSERT_EQ(mtgmtime(&when, &parts), &parts);
    EXPECT_EQ(std::tuple(parts.tm_year, parts.tm_mon, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_wday),
              std::tuple(106, 0, 16, 8, 45, 1));
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
