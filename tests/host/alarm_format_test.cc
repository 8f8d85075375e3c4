#include <qel2/host.h>
#include <qel2/records.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/string_list.h"

namespace {

// Every code, and a text always terminated inside the room given however
// long the expansion.
TEST(HostAlarmFormat, ExpandsCodesAndCutsToTheBuffer) {
    char description[] = "Team meeting", subject[] = "Reminder", uid[] = "uid-42";
    qEL2_VALARM alarm{};
    alarm.lAlarmWord1 = 1137401100u;  // 2006-01-16 08:45:00 UTC
    alarm.iRepeat = 3;
    alarm.lAlarmWord5 = 900;
    alarm.pAlarmText1 = description;
    alarm.pAlarmText2 = subject;
    alarm.pAlarmText3 = uid;
    alarm.pAlarmList1 = qel2::test::StringList({"a@example.org", "b@example.org"});
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
        std::string buffer(c.size + 1, '#');  // one guard byte past the room
        const size_t length = cal_strvalarm(buffer.data(), c.size, c.format, &alarm);
        EXPECT_EQ(buffer.substr(0, length + 1), std::string(c.expected) + '\0') << c.format;
        EXPECT_EQ(buffer.back(), '#') << c.format;
    }
    char untouched = 'z';
    EXPECT_EQ(cal_strvalarm(&untouched, 0, "%A", &alarm), 0u);
    EXPECT_EQ(untouched, 'z');
    strarray_free_and_destroy(&alarm.pAlarmList1);
}

}  // namespace
