// push: what a real CalDAV server (Radicale) holds afterwards, read back
// with a calendar-query REPORT by an independent client, is what the
// library reads from the store, and for the store of every hard case what
// export --layout vdir writes; runs after an interrupted one and repeated
// runs leave no duplicate; a failure before anything is sent is one line.
// (The same server accepting export's files: HardCasesArriveAsTheExportWritesThem.)

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "cli_run.h"
#include "library_records.h"
#include "support/radicale_server.h"
#include "value_text.h"

namespace qel2::test::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Calendar id -> the collection the push report says it went to.
std::map<std::string, std::string> CollectionOf(const json& report) {
    std::map<std::string, std::string> collections;
    for (const json& calendar : report["calendars"])
        collections[calendar["id"]] = calendar["collection"];
    return collections;
}

// What the server holds under `user`'s home (password: user-secret).
Readback ReadServer(const RadicaleServer& server, const std::string& user) {
    return ReadBack({server.home(user), user, user + "-secret"});
}

// Password files and reports.
const TempDir& Scratch() {
    static TempDir scratch;
    return scratch;
}

std::vector<std::string> PushArguments(const fs::path& store, const RadicaleServer& server,
                                       const std::string& user,
                                       const std::vector<std::string>& extra = {}) {
    const std::string password = Scratch().write(user, user + "-secret\n");
    std::vector<std::string> arguments = {
        "push", store, server.home(user), "--user", user, "--password-file", password};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

// A push ending with `status`; returns its report.
json Push(const fs::path& store, const RadicaleServer& server, const std::string& user,
          std::vector<std::string> extra = {}, int status = 0) {
    const fs::path report = Scratch().path() / "report.json";
    fs::remove(report);
    extra.insert(extra.end(), {"--report", report.string()});
    CliRun run = RunCli(PushArguments(store, server, user, extra));
    EXPECT_EQ(run.status, status) << run.err;
    return json::parse(ReadFile(report));
}

// The server holds what the library reads, each UID in one resource.
void ExpectServerHoldsStore(const RadicaleServer& server, const std::string& user,
                            const fs::path& store, const json& report) {
    const Calendars read = ReadWithLibrary(store);
    const std::map<std::string, std::string> collectionOf = CollectionOf(report);
    ASSERT_EQ(collectionOf.size(), read.size());
    Calendars library;
    std::map<std::string, size_t> uids;
    for (const auto& [id, collection] : collectionOf) {
        std::set<std::string> distinct;
        for (const json& item : library[collection] = read.at(id)) distinct.insert(item["uid"]);
        uids[collection] = distinct.size();
    }
    const Readback view = ReadServer(server, user);
    EXPECT_EQ(view.items, library);
    EXPECT_EQ(view.resources, uids);
}

// The resources Radicale keeps under a user's home. Its own cache files,
// also named *.ics, sit in folders whose names start with a dot.
std::vector<fs::path> StoredResources(const fs::path& home) {
    // A walk that meets a folder the server is renaming ends early with an
    // error: walk again until one sees a settled tree.
    std::vector<fs::path> resources;
    for (int attempt = 0; attempt < 100; ++attempt) {
        resources.clear();
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(home, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            if (it->path().extension() == ".ics" &&
                it->path().string().find("/.") == std::string::npos)
                resources.push_back(it->path());
        if (!error || !fs::exists(home)) break;
    }
    return resources;
}

TEST(CliPush, ServerHoldsWhatTheLibraryReadsAndRepeatedRunsSendNothing) {
    RadicaleServer server({{"alice", "alice-secret"}, {"bob", "bob-secret"}});
    for (const auto& [store, user] :
         {std::pair{Stores().legacy, "alice"}, {Stores().generated, "bob"}}) {
        SCOPED_TRACE(store.string());
        json first = Push(store, server, user);
        EXPECT_EQ(first["refusals"], json::array());
        ExpectServerHoldsStore(server, user, store, first);
        // Again: everything is there; with --update nothing differs.
        for (const std::vector<std::string>& again : {std::vector<std::string>{}, {"--update"}}) {
            json second = Push(store, server, user, again);
            EXPECT_EQ(second["totals"]["sent"], 0);
            EXPECT_EQ(second["totals"]["updated"], 0);
            EXPECT_EQ(second["totals"]["already_there"], first["totals"]["resources"]);
        }
        // A SUMMARY changed on the server, as another client could, is put
        // back by --update, alone.
        bool changed = false;
        for (const fs::path& resource : StoredResources(server.collections(user))) {
            std::string text = ReadFile(resource);
            size_t summary = text.find("\nSUMMARY:");
            if (summary == std::string::npos) continue;
            std::ofstream(resource, std::ios::binary) << text.insert(summary + 9, "changed ");
            changed = true;
            break;
        }
        ASSERT_TRUE(changed);
        json updated = Push(store, server, user, {"--update"});
        EXPECT_EQ(updated["totals"]["updated"], 1);
        ExpectServerHoldsStore(server, user, store, updated);
    }
}

// The store of every hard case: the server ends up with what export
// --layout vdir writes as an independent client (caldav_put.py) uploads it,
// repairs included, with nothing refused, and the push report carries the
// export's own report.
TEST(CliPush, HardCasesArriveAsTheExportWritesThem) {
    TempDir dir;
    const fs::path store = dir.path() / "store", out = dir.path() / "vdir";
    const json edge = WriteEdgeStore(store);
    CliRun exported = RunCli({"export", store, out, "--layout", "vdir"});
    RadicaleServer server({{"erin", "erin-secret"}, {"frank", "frank-secret"}});
    CliRun put = RunProgram("/usr/bin/python3", {QEL2_CALDAV_PUT_SCRIPT, server.home("frank"), out,
                                                 "frank", "frank-secret"});
    ASSERT_EQ(put.status, 0) << put.err;
    EXPECT_EQ(json::parse(put.out)["refused"], json::array());
    // Records the export leaves out make both exit with 1.
    json pushed = Push(store, server, "erin", {}, exported.status);
    EXPECT_EQ(pushed["refusals"], json::array());
    EXPECT_EQ(pushed["export"], json::parse(ReadFile(out / "report.json")));

    // Each vdir folder against the collection its calendar was pushed to.
    const std::map<std::string, std::string> collectionOf = CollectionOf(pushed);
    EXPECT_TRUE(collectionOf.contains(edge["long_calendar_id"]));
    Readback uploaded = ReadServer(server, "frank"), view = ReadServer(server, "erin");
    ASSERT_EQ(uploaded.items.size(), view.items.size());
    for (const json& calendar : json::parse(ReadFile(out / "calendars.json"))) {
        const std::string collection = collectionOf.at(calendar["id"]), folder = calendar["folder"];
        EXPECT_EQ(view.items[collection], uploaded.items[folder]) << collection;
        EXPECT_EQ(view.resources[collection], uploaded.resources[folder]) << collection;
    }
}

TEST(CliPush, KilledHalfWayThenRunAgainEndsWithTheWholeStoreOnce) {
    TempDir dir;
    fs::path store = dir.path() / "store";
    mkstore::GenerateStore({.calendars = 1, .eventsPerCalendar = 300, .seed = 9}, store);
    RadicaleServer server(std::vector<RadicaleUser>{{"carol", "carol-secret"}});
    std::vector<std::string> arguments = PushArguments(store, server, "carol", {"--jobs", "1"});

    pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        std::vector<char*> argv = {const_cast<char*>(QEL2CALDB_PATH)};
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(QEL2CALDB_PATH, argv.data());
        _exit(127);
    }
    auto stored = [&] { return StoredResources(server.collections("carol")).size(); };
    for (int wait = 0; wait < 600 && stored() < 40; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    size_t before = stored();
    ASSERT_GE(before, 40u);

    json resumed = Push(store, server, "carol");
    const json& totals = resumed["totals"];
    ASSERT_LT(before, totals["resources"].get<size_t>()) << "the first run was not cut short";
    EXPECT_EQ(totals["sent"].get<size_t>() + totals["already_there"].get<size_t>(),
              totals["resources"].get<size_t>());
    EXPECT_EQ(resumed["refusals"], json::array());
    ExpectServerHoldsStore(server, "carol", store, resumed);
}

// Over HTTPS with a certificate no system trusts: every failure before
// anything is sent (cases.json, group push) is one line and leaves nothing
// on the server; --ca with the authority that signed the certificate lets
// the push through.
TEST(CliPush, FailuresBeforeSendingAreOneLineAndHttpsTrustsWhatCaNames) {
    RadicaleServer server(std::vector<RadicaleUser>{{"alice", "alice-secret"}}, true);
    TempDir dir;
    dir.write("alice", "alice-secret\n");
    dir.write("wrong", "not-the-password\n");
    const std::string ca = server.certificate().string();
    RunCases("push", dir, {{"$HOME", server.home("alice")}, {"$CA", ca}});
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(server.collections("alice"), error))
        EXPECT_FALSE(entry.is_directory()) << entry.path() << " was made";

    json pushed = Push(Stores().legacy, server, "alice", {"--ca", ca});
    EXPECT_EQ(pushed["totals"]["sent"], pushed["totals"]["resources"]);
    EXPECT_EQ(pushed["refusals"], json::array());
}

}  // namespace
}  // namespace qel2::test::cli
