#include <qel2/host.h>
#include <qel2/records.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/string_list.h"

namespace {

class HostAlarmFormat : public ::testing::Test {
protected:
    void SetUp() override {
        alarm.lAlarmWord1 = 1137401100u;  // 2006-01-16 08:45:00 UTC
        alarm.iAction = 1;
        alarm.iRepeat = 3;
        alarm.lAlarmWord5 = 900;
        alarm.pAlarmText1 = description;
        alarm.pAlarmText2 = subject;
        alarm.pAlarmText3 = uid;
        alarm.pAlarmList1 = recipients;
    }
    void TearDown() override { strarray_free_and_destroy(&recipients); }

    // The expansion, checked to be terminated within `size`.
    std::string expand(const char* format, size_t size = 256) {
        std::string buffer(size, '#');
        size_t length = cal_strvalarm(buffer.data(), size, format, &alarm);
        EXPECT_LT(length, size);
        EXPECT_EQ(std::strlen(buffer.c_str()), length);
        return buffer.substr(0, length);
    }

    char description[16] = "Team meeting", subject[16] = "Reminder", uid[16] = "uid-42";
    array_t* recipients = qel2::test::StringList({"a@example.org", "b@example.org"});
    qEL2_VALARM alarm{};
};

TEST_F(HostAlarmFormat, ExpandsCodesAndCutsToTheBuffer) {
    const struct {
        const char* format;
        size_t size;
        uint32_t action;
        const char* expected;
    } cases[] = {
        {"%A|%T|%U|%s|%d|%R|%D|%M", 256, 1,
         "DISPLAY|20060116T084500Z|uid-42|Reminder|Team meeting|3|900|a@example.org,b@example.org"},
        {"100%% at %T %q %", 256, 1, "100% at 20060116T084500Z %q %"},
        {"%d: %s", 5, 1, "Team"},
        {"%M", 16, 1, "a@example.org,b"},
        {"%A", 1, 1, ""},
        {"%A %A", 256, 0, "EMAIL EMAIL"},
        {"%A", 256, 2, "AUDIO"},
        {"%A", 256, 3, "PROCEDURE"},
        {"%A", 256, 0xFFFFFFFFu, "ACTION-4294967295"},
    };
    for (const auto& c : cases) {
        alarm.iAction = c.action;
        EXPECT_EQ(expand(c.format, c.size), c.expected) << c.format << " in " << c.size;
    }
    char untouched = 'z';
    EXPECT_EQ(cal_strvalarm(&untouched, 0, "%A", &alarm), 0u);
    EXPECT_EQ(untouched, 'z');
}

}  // namespace
