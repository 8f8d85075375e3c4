// What reaches standard output: stored text converted to UTF-8 for JSON and
// escaped for a terminal (the text listings: cases.json, group tricky), and
// a listing that does not hold the calendar.

#include <gtest/gtest.h>

#include <map>

#include "cli_run.h"
#include "store_description.h"

namespace qel2::test::cli {
namespace {

using nlohmann::json;

TEST(CliOutput, StoredTextIsUtf8InJsonAndCannotForgeLinesOrEscapeOnATerminal) {
    TempDir dir;
    mkstore::WriteStore(mkstore::PlanStore(StoreDescription("tricky-store.json")),
                        dir.str() + "/tricky");
    RunCases("tricky", dir);  // the listings in text
    // A store path that is not UTF-8 either.
    const std::string store = dir.str() + "/store-\xff";
    std::filesystem::rename(dir.path() / "tricky", store);

    CliRun events = RunCli({"events", store, "mixed", "--json"});
    ASSERT_EQ(events.status, 0) << events.err;
    std::map<std::string, json> items;  // by uid; json::parse takes nothing but UTF-8
    for (const json& item : json::parse(events.out)) items[item["uid"]] = item;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items["evt-latin"]["summary"], "Caf\xC3\xA9 au lait");
    EXPECT_FALSE(items["evt-latin"].contains("text_replaced"));
    EXPECT_EQ(items["evt-broken"]["summary"], "bad \xEF\xBF\xBD byte");
    EXPECT_EQ(items["evt-broken"]["text_replaced"], json::array({"summary"}));

    for (const char* command : {"info", "verify"}) {
        CliRun run = RunCli({command, store, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        json out = json::parse(run.out);
        EXPECT_EQ(out["store"], (dir.path() / "store-\xEF\xBF\xBD").string()) << command;
        EXPECT_EQ(out["text_replaced"], json::array({"store"})) << command;
    }
}

// The peak memory of one run of the command, in kilobytes.
long PeakKilobytes(const std::vector<std::string>& arguments) {
    std::vector<std::string> call = {
        "-c",
        "import resource, subprocess, sys\n"
        "subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)\n"
        "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)",
        QEL2CALDB_PATH};
    call.insert(call.end(), arguments.begin(), arguments.end());
    CliRun run = RunProgram("/usr/bin/python3", call);
    EXPECT_EQ(run.status, 0) << run.err;
    return std::atol(run.out.c_str());
}

TEST(CliOutput, ListingALargeCalendarKeepsNeitherItsRecordsNorItsDocument) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own bookkeeping of freed memory hides what the command keeps";
#endif
    TempDir dir;
    const std::string store = (dir.path() / "large").string();
    mkstore::GenerateStore({.calendars = 1, .eventsPerCalendar = 20000}, store);
    // Against the same open store without the listing; holding 20,000
    // events and their JSON would take some 60 MB more.
    long base = PeakKilobytes({"info", store});
    for (const char* format : {"--json", "--long"})
        EXPECT_LT(PeakKilobytes({"events", store, "user0", format}) - base, 16 * 1024) << format;
}

}  // namespace
}  // namespace qel2::test::cli
