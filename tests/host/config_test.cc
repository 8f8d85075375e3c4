#include <qel2/standin_host.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace {

std::string take(char* text) {
    std::string copy = text != nullptr ? text : "<null>";
    std::free(text);
    return copy;
}

class HostConfig : public ::testing::Test {
protected:
    void SetUp() override { config_clear(cache); }
    void TearDown() override { config_clear(cache); }
    config_cache* cache = config_getdefaultcache();
};

TEST_F(HostConfig, SwitchesAndIntegersFallBackOnWordsTheyCannotRead) {
    const struct {
        const char* value;
        int32_t asSwitch, asInt;
    } cases[] = {
        {"1", 1, 1},           {"yes", 1, -1},
        {"ON", 1, -1},         {"  -17", 1, -17},
        {"0", 0, 0},           {"Off", 0, -1},
        {"maybe", 9, -1},      {"", 9, -1},
        {"1x", 9, -1},         {"-2147483648", 1, INT32_MIN},
        {"2147483648", 1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("value '") + c.value + "'");
        config_set(cache, "key", c.value);
        EXPECT_EQ(config_get_switch(cache, "key", 9), c.asSwitch);
        EXPECT_EQ(config_get_int(cache, "key", -1), c.asInt);
    }
    EXPECT_EQ(config_get_switch(cache, "missing", 5), 5);
    EXPECT_EQ(config_get_int(cache, "missing", 77), 77);
}

TEST_F(HostConfig, LoadsSettingsFile) {
    qel2::test::TempDir dir;
    auto path = dir.write("settings.ini",
                          "! a comment\n# another comment\n\n   \t\n"
                          "  caldb.cache = yes  \n"
                          "caldb.limit=250\r\n"
                          "caldb.name = \"  padded # not a comment \"  \n"
                          "caldb.plain = two words here   \n"
                          "caldb.limit = 300\n"
                          "no equals sign here\n"
                          "caldb.empty =\n");
    ASSERT_EQ(config_load_file(cache, path.c_str()), 0);
    EXPECT_EQ(config_get_switch(cache, "caldb.cache", 0), 1);
    EXPECT_EQ(config_get_int(cache, "caldb.limit", 0), 300);  // the later line wins
    EXPECT_EQ(take(config_get_stringcopy(cache, "caldb.name", nullptr)),
              "  padded # not a comment ");
    EXPECT_EQ(take(config_get_stringcopy(cache, "caldb.plain", nullptr)), "two words here");
    EXPECT_EQ(take(config_get_stringcopy(cache, "caldb.empty", nullptr)), "");
    EXPECT_EQ(config_get_stringcopy(cache, "no equals sign here", nullptr), nullptr);
    EXPECT_EQ(take(config_get_stringcopy(cache, "caldb.absent", "fallback")), "fallback");

    const std::string absent = dir.str() + "/absent.conf";
    EXPECT_EQ(config_load_file(cache, absent.c_str()), ENOENT);
}

}  // namespace
