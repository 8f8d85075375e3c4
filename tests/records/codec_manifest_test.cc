// Every calendar, event and to-do value of the genuine 4.2 store decodes
// to exactly the fields its manifest lists.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "decoded.h"
#include "legacy_manifest.h"

namespace codec_test {
namespace {

using nlohmann::json;

// Compares decoded fields with the manifest's by name, and notices a
// manifest field that was never compared.
class FieldCheck {
public:
    explicit FieldCheck(const json& expected) : expected_(expected) {}
    ~FieldCheck() {
        for (const auto& item : expected_.items()) {
            EXPECT_TRUE(seen_.contains(item.key())) << item.key() << " not compared";
        }
    }

    void skip(const char* name) { seen_.insert(name); }
    void check(const char* name, int64_t actual) { EXPECT_EQ(at(name).get<int64_t>(), actual) << name; }
    void check(const char* name, const char* actual) {
        const json& e = at(name);
        EXPECT_EQ(actual == nullptr, e.is_null()) << name;
        if (actual && e.is_string()) {
            EXPECT_EQ(actual, e.get<std::string>()) << name;
        }
    }
    void check(const char* name, const array_t* strings) {
        const json& e = at(name);
        EXPECT_EQ(strings == nullptr, e.is_null()) << name;
        if (strings == nullptr || e.is_null()) return;
        std::vector<std::string> items;
        for (uint32_t i = 0; i < strings->count; ++i) items.emplace_back(strarray_elementat(strings, i));
        EXPECT_EQ(items, e.get<std::vector<std::string>>()) << name;
    }
    // A sub-record (the manifest's object) or a list of them (its array),
    // each compared by `check`.
    template <typename Record>
    void records(const char* name, const std::vector<const Record*>& actual,
                 void (*check)(FieldCheck&, const Record*)) {
        const json& e = at(name);
        ASSERT_EQ(actual.empty(), e.is_null()) << name;
        ASSERT_EQ(actual.size(), e.is_array() ? e.size() : actual.size()) << name;
        for (size_t i = 0; i < actual.size(); ++i) {
            FieldCheck inner(e.is_array() ? e[i] : e);
            check(inner, actual[i]);
        }
    }

private:
    const json& at(const char* name) {
        seen_.insert(name);
        return expected_.at(name);
    }
    const json& expected_;
    std::set<std::string> seen_;
};

#define CHECK(f, r, name) (f).check(#name, (r)->name)

template <typename Record>
std::vector<const Record*> Elements(const array_t* list) {
    std::vector<const Record*> elements;
    for (uint32_t i = 0; list && i < list->count; ++i) {
        elements.push_back(static_cast<const Record*>(array_elementat(list, i)));
    }
    return elements;
}

void CheckOrganizer(FieldCheck& f, const qEL2_ORGANIZER* o) {
    CHECK(f, o, pCalAddress), CHECK(f, o, pCN), CHECK(f, o, pDir), CHECK(f, o, pSentBy);
    CHECK(f, o, pLanguage);
}

void CheckAttendee(FieldCheck& f, const qEL2_ATTENDEE* a) {
    CHECK(f, a, pCalAddress), CHECK(f, a, pCUType), CHECK(f, a, pRole), CHECK(f, a, pPartStat);
    CHECK(f, a, pCN), CHECK(f, a, pDir), CHECK(f, a, pSentBy), CHECK(f, a, pExtraParam);
    CHECK(f, a, bRSVP), CHECK(f, a, pMember), CHECK(f, a, pDelegatedTo), CHECK(f, a, pDelegatedFrom);
}

void CheckAlarm(FieldCheck& f, const qEL2_VALARM* a) {
    CHECK(f, a, lAlarmWord1), CHECK(f, a, lAlarmWord2), CHECK(f, a, iAction), CHECK(f, a, iRepeat);
    CHECK(f, a, lAlarmWord5), CHECK(f, a, lAlarmHost1), CHECK(f, a, lAlarmHost2);
    CHECK(f, a, pAlarmText1), CHECK(f, a, pAlarmText2), CHECK(f, a, pAlarmText3);
    CHECK(f, a, pAlarmList1), CHECK(f, a, pAlarmList2), CHECK(f, a, pAlarmList3);
}

// The fields that events and to-dos share by name.
template <typename Record>
void CheckEventLike(FieldCheck& f, const Record* r) {
    CHECK(f, r, dtStart), CHECK(f, r, dtModified), CHECK(f, r, dtCreated), CHECK(f, r, lExtra);
    CHECK(f, r, iSequence), CHECK(f, r, lGeoLat), CHECK(f, r, lGeoLon), CHECK(f, r, flags);
    CHECK(f, r, pSummary), CHECK(f, r, pUID), CHECK(f, r, pDescription), CHECK(f, r, pLocation);
    CHECK(f, r, pURL), CHECK(f, r, pClass), CHECK(f, r, pOrganizerEmail), CHECK(f, r, pCharset);
    CHECK(f, r, pLanguage), CHECK(f, r, pExtra1), CHECK(f, r, pExtra2), CHECK(f, r, pLinkedCalID);
    std::vector<const qEL2_ORGANIZER*> organizer;
    if (r->pOrganizer) organizer.push_back(r->pOrganizer);
    f.records("pOrganizer", organizer, CheckOrganizer);
    f.records("pAttendees", Elements<qEL2_ATTENDEE>(r->pAttendees), CheckAttendee);
    f.records("pAlarms", Elements<qEL2_VALARM>(r->pAlarms), CheckAlarm);
    CHECK(f, r, pRDates), CHECK(f, r, pEXDates), CHECK(f, r, pRRules), CHECK(f, r, pExRules);
    CHECK(f, r, pRelatedTo), CHECK(f, r, pExtraList1), CHECK(f, r, pExtraList2);
    CHECK(f, r, pExtraList3), CHECK(f, r, pCategories), CHECK(f, r, pAttachments), CHECK(f, r, pXProps);
    f.skip("RecurrenceID");  // taken from the key, not the value
}

TEST(LegacyStoreValues, EventsDecodeToTheirManifestFields) {
    ASSERT_FALSE(LegacyManifest().at("events").empty());
    for (const json& stored : LegacyManifest().at("events")) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_VEVENT> event(StoredValue(stored));
        ASSERT_EQ(event.result, 0);
        FieldCheck f(stored.at("fields"));
        CheckEventLike(f, event.record);
        CHECK(f, event, dtEnd), CHECK(f, event, rtflags);
    }
}

TEST(LegacyStoreValues, ToDosDecodeToTheirManifestFields) {
    ASSERT_FALSE(LegacyManifest().at("todos").empty());
    for (const json& stored : LegacyManifest().at("todos")) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_VTODO> todo(StoredValue(stored));
        ASSERT_EQ(todo.result, 0);
        FieldCheck f(stored.at("fields"));
        CheckEventLike(f, todo.record);
        CHECK(f, todo, dtDue), CHECK(f, todo, dtCompleted), CHECK(f, todo, lExtra2);
    }
}

TEST(LegacyStoreValues, CalendarsDecodeToTheirManifestFields) {
    ASSERT_FALSE(LegacyManifest().at("calendars").empty());
    for (const json& stored : LegacyManifest().at("calendars")) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_CALPROPS> cal(StoredValue(stored));
        ASSERT_EQ(cal.result, 0);
        FieldCheck f(stored.at("fields"));
        const uint32_t access = cal->accessFlags;
        CHECK(f, cal, dtModified), CHECK(f, cal, dtCreated), CHECK(f, cal, accessFlags);
        f.check("ReadAccess", qel2_CalReadAccess(access));
        f.check("WriteAccess", qel2_CalWriteAccess(access));
        f.check("bFlag8", int64_t{qel2_CalFlag8(access)});
        f.check("bDisabled", int64_t{qel2_CalDisabled(access)});
        CHECK(f, cal, pDescription), CHECK(f, cal, pParentCalID), CHECK(f, cal, pRelativeCalID);
        CHECK(f, cal, pCalMaster), CHECK(f, cal, pName), CHECK(f, cal, pCharSet), CHECK(f, cal, pLanguage);
        CHECK(f, cal, pPrimaryOwner), CHECK(f, cal, pExtra);
        CHECK(f, cal, pOtherOwners), CHECK(f, cal, pChildList), CHECK(f, cal, pCategoryList);
    }
}

}  // namespace
}  // namespace codec_test
