// The qel2-mkstore command: a store for good input, one line naming the
// reason and a non-zero status for bad input.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "support/temp_dir.h"

namespace {

struct CommandRun {
    int status;
    std::string output;  // standard error
};

CommandRun Mkstore(const std::string& arguments) {
    std::string command = std::string(QEL2_MKSTORE_PATH) + " " + arguments + " 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    CommandRun run{-1, ""};
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(MkstoreCommand, WritesAndGeneratesStoresAndNamesWhatIsWrongWithBadInput) {
    qel2test::TempDir dir;
    auto description = dir.write("one.json", R"({"calendars": [{"id": "jdoe"}]})");
    CommandRun run = Mkstore("write " + description.string() + " " + (dir.path() / "written").string());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "written" / "calprops.db"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "written" / "caldb.conf"));

    run = Mkstore("generate --calendars 2 --events 5 --todos 1 --seed 3 " + (dir.path() / "generated").string());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("wrote 2 calendars, 10 events, 2 to-dos"), std::string::npos) << run.output;

    run = Mkstore("generate --calendars two --events 1 dir");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output.rfind("qel2-mkstore: --calendars needs a whole number, not \"two\"\n", 0), 0u) << run.output;
    auto broken = dir.write("broken.json", "{ \"calendars\": [");
    run = Mkstore("write " + broken.string() + " " + (dir.path() / "store").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "qel2-mkstore: " + broken.string() + " is not valid JSON\n");
}

}  // namespace
