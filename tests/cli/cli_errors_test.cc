// Every failure a person can meet: one sentence on standard error, a
// non-zero status, and nothing created where the path was wrong.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_run.h"
#include "cli_stores.h"
#include "store_description.h"

namespace {

namespace fs = std::filesystem;
using qel2::test::cli::CliRun;
using qel2::test::cli::RunCli;
using qel2::test::cli::Stores;

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(CliErrors, EachFailureIsOneSentenceAndANonZeroStatus) {
    qel2::test::TempDir dir;
    fs::path empty = dir.path() / "empty";
    fs::create_directory(empty);
    std::string legacy = Stores().legacy.string();

    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } cases[] = {
        {{"info", (dir.path() / "missing").string()},
         1,
         "missing is not a calendar store: no such directory"},
        // Mistakes never fall back to the bundled sample: a mistyped store,
        // a forgotten one, a forgotten export folder.
        {{"calendars", "/typo"}, 1, "/typo is not a calendar store: no such directory"},
        {{"events", "jdoe"}, 2, "events needs more arguments"},
        {{"info"}, 2, "info needs a STORE (or --sample)"},
        {{"export", legacy}, 2, "export needs more arguments"},
        {{"export", "--sample"}, 2, "export needs more arguments"},
        {{"verify", empty.string()}, 1, "is not a calendar store: events.db is missing"},
        {{"events", legacy, "nosuch"}, 1, "no calendar \"nosuch\""},
        {{"show", legacy, "jdoe", "nosuch"},
         1,
         "no event or to-do \"nosuch\" in calendar \"jdoe\""},
        {{"show", legacy, "jdoe", "evt-selfref"}, 1, "is a link whose target cannot be read"},
        {{"events", legacy, "jdoe", "--from", "yesterday"}, 2, "--from needs a date"},
        {{"todos", legacy, "jdoe", "--to", "2006-02-30"}, 2, "is not a time between 1970 and 2038"},
        {{"events", legacy, "jdoe", "--from", "2006-02-01", "--to", "2006-01-01"},
         2,
         "--to must come after --from"},
        {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        {{"info", legacy, "--config", (dir.path() / "none.conf").string()},
         1,
         "cannot read the settings file"},
    };
    for (const auto& c : cases) {
        CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << c.message << ": " << run.err;
        EXPECT_EQ(FirstLine(run.err).rfind("qel2caldb: ", 0), 0u) << run.err;
        EXPECT_NE(FirstLine(run.err).find(c.message), std::string::npos) << run.err;
        if (c.status == 1) {
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "more than one line: " << run.err;
        }
    }
    // The wrong paths stayed as they were: nothing created, no empty store.
    EXPECT_TRUE(fs::is_empty(empty));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    EXPECT_FALSE(fs::exists(fs::path(legacy) / "jdoe.ics"));
}

TEST(CliErrors, AStoreFromBerkeleyDb42NamesTheRecoverCommand) {
    qel2::test::TempDir dir;
    fs::path store = qel2::test::cli::UnpackLegacyStore(dir);
    CliRun before = RunCli({"calendars", store.string()});
    EXPECT_EQ(before.status, 1);
    EXPECT_NE(before.err.find("needs a recovery open first"), std::string::npos) << before.err;
    EXPECT_NE(before.err.find("qel2caldb recover"), std::string::npos) << before.err;
    EXPECT_EQ(before.out, "");

    CliRun recover = RunCli({"recover", store.string()});
    EXPECT_EQ(recover.status, 0) << recover.err;
    EXPECT_EQ(recover.out.rfind("recovered " + store.string(), 0), 0u) << recover.out;
    EXPECT_EQ(recover.err, "");  // the expected complaints about old region files are not shown

    CliRun after = RunCli({"calendars", store.string()});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_NE(after.out.find("jdoe:tasks"), std::string::npos);

    // The panic word of the primary region (after its magic number) set,
    // as a process that stopped in a Berkeley DB panic leaves it.
    std::fstream region(store / "__db.001", std::ios::in | std::ios::out | std::ios::binary);
    region.seekp(4);
    region.put(1);
    region.close();
    CliRun panicked = RunCli({"calendars", store.string()});
    EXPECT_EQ(panicked.status, 1);
    EXPECT_NE(panicked.err.find("was left in a Berkeley DB panic"), std::string::npos)
        << panicked.err;
}

}  // namespace

namespace {

// Settings out of range, a settings file without end, and a value that
// would decode into more memory than the configured limit.
TEST(CliErrors, BoundsAreRefusedNamingWhatCrossedThem) {
    qel2::test::TempDir dir;
    std::string legacy = Stores().legacy.string();
    const struct {
        std::string settings;  // "" for /dev/zero
        std::string message;
    } settings[] = {
        {"caldb.berkeleydb.maxthreads = -5\n", "caldb.berkeleydb.maxthreads = \"-5\""},
        {"caldb.berkeleydb.mempoolsizemb = 4096\n", "caldb.berkeleydb.mempoolsizemb = \"4096\""},
        {"caldb.berkeleydb.logfilesizemb = ten\n", "caldb.berkeleydb.logfilesizemb = \"ten\""},
        {"", "settings files are at most 1 MB"},
    };
    for (const auto& c : settings) {
        std::string file =
            c.settings.empty() ? "/dev/zero" : dir.write("bad.conf", c.settings).string();
        CliRun run = RunCli({"info", legacy, "--config", file});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }

    // 300,000 empty categories: 300 KB stored, about 7.5 MB decoded.
    std::string categories;
    for (int i = 0; i < 300000; ++i) categories += i ? ",\"\"" : "\"\"";
    auto description =
        dir.write("wide.json", R"({"calendars": [{"id": "c", "fields": {"pName": "C"}}],
        "events": [{"calendar": "c", "uid": "wide", "fields": {"pCategories": [)" +
                                   categories + "]}}]}");
    std::string store = (dir.path() / "store").string();
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStoreFile(description.string()), store);
    std::string oneMegabyte = dir.write("limit.conf", "caldb.maxdecodedrecordmb = 1\n").string();

    EXPECT_EQ(RunCli({"verify", store}).status, 0);
    CliRun verify = RunCli({"verify", store, "--config", oneMegabyte});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.out.find("damaged: events.db key "), std::string::npos) << verify.out;
    CliRun exported =
        RunCli({"export", store, (dir.path() / "out").string(), "--config", oneMegabyte});
    EXPECT_EQ(exported.status, 1);
    EXPECT_NE(exported.err.find("events.db"), std::string::npos) << exported.err;
}

}  // namespace
