#include <qel2/standin_host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

namespace {

// The store's times are unsigned 32-bit: past 2038-01-19 they must not wrap
// to 1901 where time_t is 32-bit. Both functions, every field strftime uses.
TEST(HostTime, BreaksDownEveryUnsigned32BitTime) {
    const char* format = "%Y-%m-%dT%H:%M:%SZ %a %j";
    const struct {
        uint32_t time;
        const char* text;
    } cases[] = {
        {0u, "1970-01-01T00:00:00Z Thu 001"},
        {951782400u, "2000-02-29T00:00:00Z Tue 060"},
        {2147483647u, "2038-01-19T03:14:07Z Tue 019"},
        {2147483648u, "2038-01-19T03:14:08Z Tue 019"},
        {2179106048u, "2039-01-20T03:14:08Z Thu 020"},
        {4107542400u, "2100-03-01T00:00:00Z Mon 060"},
        {4294967295u, "2106-02-07T06:28:15Z Sun 038"},
    };
    for (const auto& c : cases) {
        char text[64];
        EXPECT_EQ(cal_strgmtime(text, sizeof text, format, c.time), std::strlen(c.text)) << c.time;
        EXPECT_STREQ(text, c.text);
        struct tm parts;
        ASSERT_EQ(mtgmtime(&c.time, &parts), &parts);
        ASSERT_GT(std::strftime(text, sizeof text, format, &parts), 0u);
        EXPECT_STREQ(text, c.text) << "mtgmtime";
    }
    char text[16];
    EXPECT_EQ(cal_strgmtime(text, 10, "%Y-%m-%dT%H:%M:%SZ", 1137596400u), 0u);
    EXPECT_EQ(text[0], '\0') << "a text that does not fit leaves the buffer empty";
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
