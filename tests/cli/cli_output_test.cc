// What reaches standard output: stored text converted to UTF-8 for JSON and
// escaped for a terminal, every write checked, 64-bit totals.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "cli_stores.h"
#include "store_description.h"
#include "store_generator.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using qel2::test::cli::CliRun;
using qel2::test::cli::RunCli;

// One calendar whose texts try every trick: ISO-8859-1 text, a byte that is
// no UTF-8, a stored line break that imitates a listing line, escape
// sequences. The description is UTF-8 JSON, so the two non-UTF-8 bytes are
// put into the encoded values afterwards ('~' becomes 0xE9, '^' 0xFF).
fs::path WriteTrickyStore(const fs::path& directory) {
    json description = json::parse(R"({
      "calendars": [{"id": "mixed", "fields": {"pName": "Mixed \u001b]0;owned\u0007 name",
                                              "pDescription": "desc\n            pUID = forged"}}],
      "events": [
        {"calendar": "mixed", "uid": "evt-latin",
         "fields": {"pSummary": "Caf~ au lait", "pCharset": "ISO-8859-1", "dtStart": 1137402000, "dtEnd": 1137405600}},
        {"calendar": "mixed", "uid": "evt-broken",
         "fields": {"pSummary": "bad ^ byte", "pCharset": "UTF-8", "dtStart": 1137488400, "dtEnd": 1137492000}},
        {"calendar": "mixed", "uid": "evt-forged",
         "fields": {"pSummary": "one\n2006-01-01T00:00:00Z  2006-01-01T01:00:00Z  evt-fake  CONFIRMED  forged\u001b[2J\n            pUID = forged",
                    "pAttendees": [{"pCalAddress": "mailto:a@example.org", "pCN": "A\n            pUID = forged"}],
                    "dtStart": 1137574800, "dtEnd": 1137578400}}]
    })");
    qel2::mkstore::StorePlan plan = qel2::mkstore::PlanStore(description);
    for (qel2::mkstore::PlannedRecord& record : plan.records)
        for (unsigned char& byte : record.value)
            byte = byte == '~' ? 0xE9 : byte == '^' ? 0xFF : byte;
    qel2::mkstore::WriteStore(plan, directory.string());
    return directory;
}

const json* Find(const json& items, const std::string& uid) {
    for (const json& item : items)
        if (item["uid"] == uid) return &item;
    return nullptr;
}

TEST(CliOutput, StoredTextIsUtf8InJsonAndCannotForgeLinesOrEscapeOnATerminal) {
    qel2::test::TempDir dir;
    // A store path that is not UTF-8 either.
    std::string store = WriteTrickyStore(dir.path() / "store-\xff").string();

    CliRun text = RunCli({"events", store, "mixed"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 3) << text.out;
    EXPECT_NE(text.out.find("Caf\xC3\xA9 au lait"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("one\\n2006-01-01T00:00:00Z"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("forged\\x1b[2J"), std::string::npos) << text.out;
    // A field line forged in the summary, an attendee and the calendar's
    // description stays inside its own field, escaped, wherever it is shown.
    const std::string forged = "\n            pUID = forged";
    for (const auto& [call, forgedFields] :
         std::vector<std::pair<std::vector<std::string>, size_t>>{
             {{"events", store, "mixed"}, 1},
             {{"events", store, "mixed", "--long"}, 2},
             {{"calendars", store}, 0},
             {{"calendars", store, "--long"}, 1},
             {{"dump", store}, 3},
             {{"show", store, "mixed", "evt-forged"}, 2}}) {
        CliRun run = RunCli(call);
        EXPECT_EQ(run.status, 0) << call[0] << ": " << run.err;
        EXPECT_EQ(run.out.find_first_of("\x1b\x07"), std::string::npos)
            << call[0] << " sent a control character";
        EXPECT_EQ(run.out.find(forged), std::string::npos) << call[0] << " printed a forged line:\n"
                                                           << run.out;
        size_t escaped = 0;
        for (size_t at = run.out.find("\\n            pUID = forged"); at != std::string::npos;
             at = run.out.find("\\n            pUID = forged", at + 1))
            ++escaped;
        EXPECT_EQ(escaped, forgedFields) << call[0] << ":\n" << run.out;
    }

    CliRun events = RunCli({"events", store, "mixed", "--json"});
    ASSERT_EQ(events.status, 0) << events.err;
    json items = json::parse(events.out);  // throws on anything but UTF-8 JSON
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ((*Find(items, "evt-latin"))["summary"], "Caf\xC3\xA9 au lait");
    EXPECT_FALSE(Find(items, "evt-latin")->contains("text_replaced"));
    EXPECT_EQ((*Find(items, "evt-broken"))["summary"], "bad \xEF\xBF\xBD byte");
    EXPECT_EQ((*Find(items, "evt-broken"))["text_replaced"], json::array({"summary"}));

    for (const char* command : {"info", "verify"}) {
        CliRun run = RunCli({command, store, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        json out = json::parse(run.out);
        EXPECT_EQ(out["store"], (dir.path() / "store-\xEF\xBF\xBD").string()) << command;
        EXPECT_EQ(out["text_replaced"], json::array({"store"})) << command;
    }
}

TEST(CliOutput, AFailedWriteFailsTheCommandAndAClosedPipeEndsItQuietly) {
    std::string legacy = qel2::test::cli::Stores().legacy.string();
    for (const auto& call :
         std::vector<std::vector<std::string>>{{"info", legacy},
                                               {"calendars", legacy, "--json"},
                                               {"events", legacy, "jdoe"},
                                               {"todos", legacy, "jdoe:tasks", "--json"},
                                               {"show", legacy, "jdoe", "evt-standup"},
                                               {"dump", legacy},
                                               {"verify", legacy},
                                               {"--help"}}) {
        CliRun run = RunCli(call, ">/dev/full");
        EXPECT_EQ(run.status, 1) << call[0];
        EXPECT_EQ(run.err, "qel2caldb: cannot write to standard output: No space left on device\n")
            << call[0];
    }
    // Far more than a pipe holds, so the command is still writing when the
    // reader goes away.
    CliRun dump =
        RunCli({"dump", qel2::test::cli::Stores().generated.string()}, "| head -c 1 >/dev/null");
    EXPECT_EQ(dump.status, 141);
    EXPECT_EQ(dump.err, "");
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
    CliRun run = qel2::test::cli::RunProgram("/usr/bin/python3", call);
    EXPECT_EQ(run.status, 0) << run.err;
    return std::atol(run.out.c_str());
}

TEST(CliOutput, ListingALargeCalendarKeepsNeitherItsRecordsNorItsDocument) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own bookkeeping of freed memory hides what the command keeps";
#endif
    qel2::test::TempDir dir;
    qel2::mkstore::GenerateOptions options;
    options.calendars = 1;
    options.eventsPerCalendar = 20000;
    options.todosPerCalendar = 0;
    std::string store = (dir.path() / "large").string();
    qel2::mkstore::GenerateStore(options, store);
    // Against the same open store without the listing; holding 20,000
    // events and their JSON would take some 60 MB more.
    long base = PeakKilobytes({"info", store});
    for (const char* format : {"--json", "--long"})
        EXPECT_LT(PeakKilobytes({"events", store, "user0", format}) - base, 16 * 1024) << format;
}

}  // namespace
