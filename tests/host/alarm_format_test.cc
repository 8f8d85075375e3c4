#include <qel2/host.h>
#include <qel2/records.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class HostAlarmFormat : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&alarm, 0, sizeof alarm);
        alarm.lAlarmWord1 = 1137401100u;  // 2006-01-16 08:45:00 UTC
        alarm.iAction = 1;
        alarm.iRepeat = 3;
        alarm.lAlarmWord5 = 900;
        alarm.pAlarmText1 = description;
        alarm.pAlarmText2 = subject;
        alarm.pAlarmText3 = uid;
        recipients = array_new();
        for (const char* who : {"a@example.org", "b@example.org"}) strarray_append(recipients, who);
        alarm.pAlarmList1 = recipients;
    }
    void TearDown() override { strarray_free_and_destroy(&recipients); }

    std::string expand(const char* format, size_t size = 256) {
        std::string buffer(size, '#');
        size_t length = cal_strvalarm(buffer.data(), size, format, &alarm);
        EXPECT_LT(length, size);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(std::strlen(buffer.c_str()), length);
        return buffer.substr(0, length);
    }

    char description[16] = "Team meeting";
    char subject[16] = "Reminder";
    char uid[16] = "uid-42";
    array_t* recipients = nullptr;
    qEL2_VALARM alarm;
};

TEST_F(HostAlarmFormat, ExpandsEveryCode) {
    EXPECT_EQ(expand("%A|%T|%U|%s|%d|%R|%D|%M"),
              "DISPLAY|20060116T084500Z|uid-42|Reminder|Team meeting|3|900|a@example.org,b@example.org");
}

TEST_F(HostAlarmFormat, ActionNames) {
    std::string names;
    for (uint32_t action : {0u, 1u, 2u, 3u, 4u, 0xFFFFFFFFu}) {
        alarm.iAction = action;
        names += expand("%A ");
    }
    EXPECT_EQ(names, "EMAIL DISPLAY AUDIO PROCEDURE ACTION-4 ACTION-4294967295 ");
}

TEST_F(HostAlarmFormat, AbsentValues) {
    alarm.lAlarmWord1 = 0;
    alarm.pAlarmText1 = alarm.pAlarmText2 = alarm.pAlarmText3 = nullptr;
    alarm.pAlarmList1 = nullptr;
    EXPECT_EQ(expand("[%T][%U][%s][%d][%M]"), "[none][][][][]");
}

TEST_F(HostAlarmFormat, PercentAndUnknownCodes) {
    EXPECT_EQ(expand("100%% at %T %q %"), "100% at 20060116T084500Z %q %");
    EXPECT_EQ(expand(""), "");
}

TEST_F(HostAlarmFormat, CutsToTheBuffer) {
    EXPECT_EQ(expand("%d: %s", 5), "Team");
    EXPECT_EQ(expand("abcdef", 4), "abc");
    EXPECT_EQ(expand("%M", 16), "a@example.org,b");
    EXPECT_EQ(expand("%A", 1), "");
    char untouched = 'z';
    EXPECT_EQ(cal_strvalarm(&untouched, 0, "%A", &alarm), 0u);
    EXPECT_EQ(untouched, 'z');
}

}  // namespace
