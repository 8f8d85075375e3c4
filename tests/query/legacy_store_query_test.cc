// The genuine Berkeley DB 4.2 store: every case of its manifest read
// through the facade, alone and from four threads while the maintenance
// threads run. Its values' decoding is checked field by field in
// tests/records; here, what the queries make of them.

#include <cstdlib>
#include <thread>

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "query_kinds.h"
#include "support/legacy42_manifest.h"

namespace qel2::test {
namespace {

using nlohmann::json;

// The stored record of a section named by calendar, uid and recurrence id.
const json& StoredRecord(const char* section, const json& name) {
    for (const json& record : Legacy42Manifest().at(section)) {
        if (record.at("calendar") == name.at("calendar") && record.at("uid") == name.at("uid") &&
            record.at("recurrence_id") == name.at("recurrence_id")) {
            return record;
        }
    }
    throw std::runtime_error("not in the manifest: " + name.dump());
}

// What a read handed back, in words, so that results can be compared
// across threads and against the manifest's expectations.
template <typename Kind>
std::string Describe(const typename Kind::Record* r) {
    if (r == nullptr) return "none";
    return qel2::tools::ToHex(Kind::Encode(*r)) + "@" + std::to_string(r->RecurrenceID) + " link " +
           std::to_string(Kind::IsLink(r)) + " from " + (r->pLinkedCalID ? r->pLinkedCalID : "-");
}

// The manifest's expectation of one item, in the words of Describe.
template <typename Kind>
std::string Expected(const json& item) {
    if (item.is_null()) return "none";
    typename Kind::Ptr record =
        Kind::FromJson(StoredRecord(Kind::kSection, item.at("record")).at("fields"));
    record->RecurrenceID = item.at("RecurrenceID");
    Kind::MarkLinked(record.get(), item.at("bLink") == 1);
    if (!item.at("pLinkedCalID").is_null())
        qel2::mkstore::SetString(record->pLinkedCalID, item.at("pLinkedCalID").get<std::string>());
    return Describe<Kind>(record.get());
}

class LegacyQueryTest : public StoreTest {
protected:
    void openLegacy(uint32_t threads) {
        const std::string command = "tar -xzf '" +
                                    (test_data_dir() / "legacy42-store.tar.gz").string() +
                                    "' -C '" + dir_.str() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        store_ = (dir_.path() / "legacy42-store").string();
        // The 4.2 region files need one recovery open.
        ASSERT_EQ(db_.OpenDB(0, kRecover42, store_.data()), 0);
        ASSERT_EQ(db_.CloseDB(), 0);
        ASSERT_EQ(db_.OpenDB(threads, 0, store_.data()), 0);
        log_.clear();  // the recovery reported the old region files
    }
    qel2::CalPropsPtr calendar(const json& id) {
        qEL2_CALPROPS* cal = nullptr;
        db_.ReadCalProps(const_cast<char*>(id.get_ref<const std::string&>().c_str()), &cal);
        return qel2::CalPropsPtr(cal);
    }
    template <typename Kind>
    std::string read(const json& c) {
        qel2::CalPropsPtr cal = calendar(c.at("calendar"));
        typename Kind::Record* out = nullptr;
        const int result = Kind::Read(cal.get(), c.at("uid").get_ref<const std::string&>().c_str(),
                                      c.at("recurrence_id"), c.at("read_flags"), &out);
        typename Kind::Ptr held(out);
        return std::to_string(result) + " " + Describe<Kind>(out);
    }
    template <typename Kind>
    std::string window(const json& c) {
        qel2::CalPropsPtr cal = calendar(c.at("calendar"));
        array_t* list = nullptr;
        std::string text = std::to_string(Kind::Window(
            cal.get(), c.at("window_start"), c.at("window_end"), c.at("read_flags"), &list));
        for (uint32_t i = 0; list && i < list->count; ++i)
            text += "\n" + Describe<Kind>(At<typename Kind::Record>(list, i));
        Kind::FreeList(&list);
        return text;
    }
    std::string search(const json& c) {
        array_t* raw = nullptr;
        const json& pattern = c.at("pattern");
        const int result = db_.SearchCalProps(
            pattern.is_null() ? nullptr : pattern.get_ref<const std::string&>().c_str(),
            c.at("fields"), c.at("mode"), c.at("limit"), &raw);
        qel2::CalPropsListPtr list(raw);
        return std::to_string(result) + HashedIds(raw);
    }
    // Every case of the manifest, each as what the reads returned and what
    // the manifest expects of them.
    std::vector<std::pair<std::string, std::string>> runCases() {
        std::vector<std::pair<std::string, std::string>> results;
        for (const json& c : Legacy42Manifest().at("cases")) {
            const json& e = c.at("expect");
            const std::string kind = c.at("kind");
            std::string expected = std::to_string(e.at("result").get<int>());
            std::string actual;
            if (kind == "calprops_read") {
                qEL2_CALPROPS* raw = nullptr;
                actual = std::to_string(db_.ReadCalProps(
                    const_cast<char*>(c.at("calendar").get_ref<const std::string&>().c_str()),
                    &raw));
                qel2::CalPropsPtr cal(raw);
                if (cal)
                    actual +=
                        std::string(" ") + cal->pName + " " + qel2::tools::ToHex(cal->idHash, 16);
                if (e.contains("pName"))
                    expected += " " + e.at("pName").get<std::string>() + " " +
                                e.at("idHash").get<std::string>();
            } else if (kind == "calprops_search") {
                actual = search(c);
                for (const json& id : e.at("ids"))
                    expected += " " + id.get<std::string>() + (e.at("hash_valid") ? "#" : "");
            } else if (kind == "event_read" || kind == "todo_read") {
                const bool events = kind == "event_read";
                actual = events ? read<Events>(c) : read<ToDos>(c);
                expected += " " + (events ? Expected<Events>(e.at("event"))
                                          : Expected<ToDos>(e.at("todo")));
            } else {
                const bool events = kind == "event_window";
                actual = events ? window<Events>(c) : window<ToDos>(c);
                for (const json& item : e.at("items"))
                    expected += "\n" + (events ? Expected<Events>(item) : Expected<ToDos>(item));
            }
            results.emplace_back(c.at("id").get<std::string>() + ": " + actual,
                                 c.at("id").get<std::string>() + ": " + expected);
        }
        return results;
    }

    qel2BerkeleyDatabase db_;
    std::string store_;
};

TEST_F(LegacyQueryTest, EveryCaseGivesItsExpectedResultAloneAndFromFourThreads) {
    set("caldb.berkeleydb.checkpointinterval", "1");
    openLegacy(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK);
    const auto single = runCases();
    for (const auto& [actual, expected] : single) EXPECT_EQ(actual, expected);
    // Not-found results, the mis-cased calendar id among them, log nothing.
    EXPECT_THAT(log_.lines(), ::testing::IsEmpty());

    constexpr int kThreads = 4;
    constexpr int kRounds = 15;
    std::vector<std::vector<std::pair<std::string, std::string>>> seen(kThreads * kRounds);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r) seen[t * kRounds + r] = runCases();
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(RunningThreads(), 2);
    for (const auto& results : seen) ASSERT_EQ(results, single);
}

}  // namespace
}  // namespace qel2::test
