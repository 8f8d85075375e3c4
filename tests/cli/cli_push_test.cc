// push: what a real CalDAV server (Radicale) holds afterwards, read back
// with a calendar-query REPORT by an independent client, is what the
// library reads from the store, and for the store of every hard case what
// export --layout vdir writes; runs after an interrupted one and repeated
// runs leave no duplicate; a failure before anything is sent is one line.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include <qel2/qel2.h>

#include "cli_run.h"
#include "cli_stores.h"
#include "export_edge_store.h"
#include "library_records.h"
#include "store_generator.h"
#include "support/radicale_server.h"
#include "value_text.h"

namespace {

namespace fs = std::filesystem;
using qel2::test::RadicaleServer;
using qel2::test::cli::CliRun;
using qel2::test::cli::IcsTime;

struct Item {
    std::string kind, uid, recurrenceId, start, end, summary, description, location, status;
    std::vector<std::string> attendees, categories, alarms;
    auto operator<=>(const Item&) const = default;
    friend void PrintTo(const Item& i, std::ostream* out) {
        *out << i.kind << " " << i.uid << "@" << i.recurrenceId;
    }
};
// Collection name -> its items, sorted.
using Collections = std::map<std::string, std::vector<Item>>;

std::vector<std::string> Sorted(const array_t* list, std::string (*text)(void*)) {
    std::vector<std::string> items;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
        items.push_back(text(list->elements[i]));
    std::sort(items.begin(), items.end());
    return items;
}

std::string Text(const char* text) { return text ? text : ""; }

template <typename Record>
Item FromRecord(const char* kind, const Record& record, bool startIsDate, uint32_t end,
                bool endIsDate, const char* status) {
    static const char* const kActions[] = {"EMAIL", "DISPLAY", "AUDIO", "PROCEDURE"};
    return Item{kind,
                Text(record.pUID),
                IcsTime(record.RecurrenceID, startIsDate),
                IcsTime(record.dtStart, startIsDate),
                IcsTime(end, endIsDate),
                Text(record.pSummary),
                Text(record.pDescription),
                Text(record.pLocation),
                Text(status),
                Sorted(record.pAttendees,
                       [](void* a) { return Text(static_cast<qEL2_ATTENDEE*>(a)->pCalAddress); }),
                Sorted(record.pCategories, [](void* c) { return Text(static_cast<char*>(c)); }),
                Sorted(record.pAlarms, [](void* a) {
                    uint32_t action = static_cast<qEL2_VALARM*>(a)->iAction;
                    return std::string(action < 4 ? kActions[action] : "");
                })};
}

// What the library reads, each calendar under the collection the push
// report gives it.
Collections ReadWithLibrary(const fs::path& store, const nlohmann::json& report) {
    std::map<std::string, std::string> collectionOf;
    for (const nlohmann::json& calendar : report["calendars"])
        collectionOf[calendar["id"]] = calendar["collection"];
    Collections collections;
    auto items = [&](const qEL2_CALPROPS& calendar) -> std::vector<Item>& {
        EXPECT_TRUE(collectionOf.contains(calendar.pRelativeCalID)) << calendar.pRelativeCalID;
        return collections[collectionOf[calendar.pRelativeCalID]];
    };
    qel2::test::cli::ReadStoreWithLibrary(
        store,
        {items,
         [&](const qEL2_CALPROPS& calendar, const qEL2_VEVENT& e) {
             items(calendar).push_back(FromRecord(
                 "VEVENT", e, qel2_EventStartIsDate(e.flags), e.dtEnd, qel2_EventEndIsDate(e.flags),
                 qel2::cli::EventStatusName(qel2_EventStatus(e.flags))));
         },
         [&](const qEL2_CALPROPS& calendar, const qEL2_VTODO& t) {
             items(calendar).push_back(FromRecord(
                 "VTODO", t, qel2_ToDoStartIsDate(t.flags), t.dtDue, qel2_ToDoDueIsDate(t.flags),
                 qel2::cli::ToDoStatusName(qel2_ToDoStatus(t.flags))));
         }});
    for (auto& [name, list] : collections) std::sort(list.begin(), list.end());
    return collections;
}

struct ServerView {
    Collections collections;
    std::map<std::string, size_t> resources;
};

// caldav_readback.py's answer.
ServerView ReadBackWith(const std::vector<std::string>& arguments) {
    CliRun run = qel2::test::cli::RunProgram("/usr/bin/python3", arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    ServerView view;
    nlohmann::json answer = nlohmann::json::parse(run.out);
    for (const auto& [name, collection] : answer.items()) {
        std::vector<Item>& items = view.collections[name];
        view.resources[name] = collection["resources"];
        for (const nlohmann::json& c : collection["components"])
            items.push_back(Item{c["kind"], c["uid"], c["recurrence_id"], c["start"], c["end"],
                                 c["summary"], c["description"], c["location"], c["status"],
                                 c["attendees"], c["categories"], c["alarms"]});
        std::sort(items.begin(), items.end());
    }
    return view;
}

ServerView ReadBack(const RadicaleServer& server, const std::string& user) {
    return ReadBackWith({QEL2_CALDAV_READBACK_SCRIPT, server.home(user), user, user + "-secret"});
}

// One resource per UID: as many resources as the library has UIDs.
std::map<std::string, size_t> UidCounts(const Collections& collections) {
    std::map<std::string, size_t> counts;
    for (const auto& [name, items] : collections) {
        std::set<std::string> uids;
        for (const Item& item : items) uids.insert(item.uid);
        counts[name] = uids.size();
    }
    return counts;
}

// Password files and reports.
const qel2::test::TempDir& Scratch() {
    static qel2::test::TempDir scratch;
    return scratch;
}

std::vector<std::string> PushArguments(const fs::path& store, const RadicaleServer& server,
                                       const std::string& user,
                                       const std::vector<std::string>& extra = {}) {
    fs::path password = Scratch().write(user + ".password", user + "-secret\n");
    std::vector<std::string> arguments = {"push", store.string(),    server.home(user), "--user",
                                          user,   "--password-file", password.string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

// A push ending with `status`; returns its report.
nlohmann::json Push(const fs::path& store, const RadicaleServer& server, const std::string& user,
                    std::vector<std::string> extra = {}, int status = 0) {
    fs::path report = Scratch().path() / "report.json";
    fs::remove(report);
    extra.insert(extra.end(), {"--report", report.string()});
    CliRun run = qel2::test::cli::RunCli(PushArguments(store, server, user, extra));
    EXPECT_EQ(run.status, status) << run.err;
    return nlohmann::json::parse(qel2::test::cli::ReadFile(report));
}

// The server's content is the library's, each UID in one resource.
void ExpectServerHoldsStore(const RadicaleServer& server, const std::string& user,
                            const fs::path& store, const nlohmann::json& report) {
    Collections library = ReadWithLibrary(store, report);
    ServerView view = ReadBack(server, user);
    EXPECT_EQ(view.collections, library);
    EXPECT_EQ(view.resources, UidCounts(library));
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

// Edits a SUMMARY in one of the server's stored files, as another client
// could have.
bool ChangeOneStoredSummary(const fs::path& home) {
    for (const fs::path& resource : StoredResources(home)) {
        std::string text = qel2::test::cli::ReadFile(resource);
        size_t summary = text.find("\nSUMMARY:");
        if (summary == std::string::npos) continue;
        text.insert(summary + 9, "changed ");
        std::ofstream(resource, std::ios::binary | std::ios::trunc) << text;
        return true;
    }
    return false;
}

TEST(CliPush, ServerHoldsWhatTheLibraryReadsAndRepeatedRunsSendNothing) {
    RadicaleServer server({{"alice", "alice-secret"}, {"bob", "bob-secret"}});
    const std::pair<fs::path, std::string> cases[] = {{qel2::test::cli::Stores().legacy, "alice"},
                                                      {qel2::test::cli::Stores().generated, "bob"}};
    for (const auto& [store, user] : cases) {
        SCOPED_TRACE(store.string());
        nlohmann::json first = Push(store, server, user);
        EXPECT_EQ(first["refusals"], nlohmann::json::array());
        ExpectServerHoldsStore(server, user, store, first);
        // Again: everything is there; with --update nothing differs.
        for (const std::vector<std::string>& again : {std::vector<std::string>{}, {"--update"}}) {
            nlohmann::json second = Push(store, server, user, again);
            EXPECT_EQ(second["totals"]["sent"], 0);
            EXPECT_EQ(second["totals"]["updated"], 0);
            EXPECT_EQ(second["totals"]["already_there"], first["totals"]["resources"]);
        }
        // A resource changed on the server is put back by --update, alone.
        ASSERT_TRUE(ChangeOneStoredSummary(server.collections(user)));
        nlohmann::json updated = Push(store, server, user, {"--update"});
        EXPECT_EQ(updated["totals"]["updated"], 1);
        ExpectServerHoldsStore(server, user, store, updated);
    }
}

// The store of every hard case: the server ends up with what export
// --layout vdir writes, repairs included, with nothing refused, and the
// push report carries the export's own report.
TEST(CliPush, HardCasesArriveAsTheExportWritesThem) {
    qel2::test::TempDir dir;
    const qel2::test::cli::EdgeStore edge = qel2::test::cli::WriteEdgeStore(dir.path() / "store");
    const fs::path out = dir.path() / "vdir";
    CliRun exported =
        qel2::test::cli::RunCli({"export", edge.path.string(), out.string(), "--layout", "vdir"});
    RadicaleServer server(std::vector<qel2::test::RadicaleUser>{{"erin", "erin-secret"}});
    // Records the export leaves out make both exit with 1.
    nlohmann::json pushed = Push(edge.path, server, "erin", {}, exported.status);
    EXPECT_EQ(pushed["refusals"], nlohmann::json::array());
    EXPECT_EQ(pushed["export"],
              nlohmann::json::parse(qel2::test::cli::ReadFile(out / "report.json")));

    // The vdir folders under the names of the collections they went to.
    std::map<std::string, std::string> collectionOf;
    for (const nlohmann::json& calendar : pushed["calendars"])
        collectionOf[calendar["id"]] = calendar["collection"];
    std::vector<std::string> arguments = {QEL2_CALDAV_READBACK_SCRIPT, "--folders"};
    std::map<std::string, std::string> renamed;
    for (const nlohmann::json& calendar :
         nlohmann::json::parse(qel2::test::cli::ReadFile(out / "calendars.json"))) {
        arguments.push_back((out / calendar["folder"].get<std::string>()).string());
        renamed[calendar["folder"]] = collectionOf.at(calendar["id"]);
    }
    ServerView files = ReadBackWith(arguments), view = ReadBack(server, "erin");
    ASSERT_EQ(files.collections.size(), view.collections.size());
    for (const auto& [folder, collection] : renamed) {
        EXPECT_EQ(view.collections[collection], files.collections[folder]) << collection;
        EXPECT_EQ(view.resources[collection], files.resources[folder]) << collection;
    }
    EXPECT_TRUE(collectionOf.contains(edge.longCalendarId));
}

TEST(CliPush, KilledHalfWayThenRunAgainEndsWithTheWholeStoreOnce) {
    qel2::test::TempDir dir;
    fs::path store = dir.path() / "store";
    qel2::mkstore::GenerateStore(
        {.calendars = 1, .eventsPerCalendar = 300, .todosPerCalendar = 0, .seed = 9},
        store.string());
    RadicaleServer server(std::vector<qel2::test::RadicaleUser>{{"carol", "carol-secret"}});
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

    nlohmann::json resumed = Push(store, server, "carol");
    ASSERT_LT(before, resumed["totals"]["resources"].get<size_t>())
        << "the first run was not cut short";
    EXPECT_EQ(
        resumed["totals"]["sent"].get<size_t>() + resumed["totals"]["already_there"].get<size_t>(),
        resumed["totals"]["resources"].get<size_t>());
    EXPECT_EQ(resumed["refusals"], nlohmann::json::array());
    ExpectServerHoldsStore(server, "carol", store, resumed);
}

TEST(CliPush, FailuresBeforeSendingAreOneLineAndLeaveNothing) {
    RadicaleServer server(std::vector<qel2::test::RadicaleUser>{{"alice", "alice-secret"}});
    std::vector<std::string> good =
        PushArguments(qel2::test::cli::Stores().legacy, server, "alice");
    auto changed = [&](size_t index, const std::string& value) {
        std::vector<std::string> arguments = good;
        arguments[index] = value;
        return arguments;
    };
    const struct {
        std::vector<std::string> arguments;
        std::string says;
    } cases[] = {
        {changed(6, Scratch().write("wrong", "not-the-password\n").string()),
         "refused the password of user \"alice\" (401"},
        // Nothing listens on port 1 of the loopback.
        {changed(2, "http://127.0.0.1:1/alice/"), "cannot reach http://127.0.0.1:1/alice/: "},
        {changed(2, server.home("alice") + "missing/"),
         "/alice/missing/ is not a WebDAV collection (the server answered 404"},
    };
    for (const auto& [arguments, says] : cases) {
        CliRun run = qel2::test::cli::RunCli(arguments);
        EXPECT_EQ(run.status, 1) << says;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
    }
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(server.collections("alice"), error))
        EXPECT_FALSE(entry.is_directory()) << entry.path() << " was made";
}

// HTTPS: a certificate no system trusts is refused before anything is sent;
// --ca with the authority that signed it lets the push through.
TEST(CliPush, HttpsTrustsWhatCaNames) {
    RadicaleServer server(std::vector<qel2::test::RadicaleUser>{{"alice", "alice-secret"}}, true);
    const fs::path store = qel2::test::cli::Stores().legacy;
    CliRun untrusted = qel2::test::cli::RunCli(PushArguments(store, server, "alice"));
    EXPECT_EQ(untrusted.status, 1);
    EXPECT_EQ(std::count(untrusted.err.begin(), untrusted.err.end(), '\n'), 1) << untrusted.err;
    EXPECT_NE(untrusted.err.find("cannot trust the certificate of " + server.home("alice")),
              std::string::npos)
        << untrusted.err;
    nlohmann::json pushed = Push(store, server, "alice", {"--ca", server.certificate().string()});
    EXPECT_EQ(pushed["totals"]["sent"], pushed["totals"]["resources"]);
    EXPECT_EQ(pushed["refusals"], nlohmann::json::array());
}

}  // namespace
