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

// Compares decoded fields with the manifest's, remembering which it saw so
// that a field left out of the comparison is noticed.
class FieldCheck {
public:
    explicit FieldCheck(const json& expected) : expected_(expected) {}

    void number(const char* name, int64_t actual) { EXPECT_EQ(at(name).get<int64_t>(), actual) << name; }
    void text(const char* name, const char* actual) {
        const json& e = at(name);
        if (e.is_null()) {
            EXPECT_EQ(actual, nullptr) << name;
        } else {
            EXPECT_EQ(actual ? actual : "(null)", e.get<std::string>()) << name;
        }
    }
    void list(const char* name, const array_t* actual) {
        const json& e = at(name);
        if (e.is_null() || actual == nullptr) {
            EXPECT_EQ(e.is_null(), actual == nullptr) << name;
            return;
        }
        std::vector<std::string> items;
        for (uint32_t i = 0; i < actual->count; ++i) items.emplace_back(strarray_elementat(actual, i));
        EXPECT_EQ(items, e.get<std::vector<std::string>>()) << name;
    }
    // A sub-record or a list of them, each checked by `check`.
    template <typename Record>
    void records(const char* name, const array_t* actual, void (*check)(FieldCheck&, const Record*)) {
        const json& e = at(name);
        ASSERT_EQ(e.is_null(), actual == nullptr) << name;
        if (actual == nullptr) return;
        ASSERT_EQ(e.size(), actual->count) << name;
        for (uint32_t i = 0; i < actual->count; ++i) {
            FieldCheck inner(e[i]);
            check(inner, static_cast<const Record*>(array_elementat(actual, i)));
            inner.expectAllSeen();
        }
    }
    void organizer(const char* name, const qEL2_ORGANIZER* o);

    void expectAllSeen(std::set<std::string> notDecoded = {}) {
        for (const auto& [name, value] : expected_.items()) {
            if (!notDecoded.contains(name)) {
                EXPECT_TRUE(seen_.contains(name)) << name << " not compared";
            }
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

#define FIELD(record, name) #name, (record)->name

void FieldCheck::organizer(const char* name, const qEL2_ORGANIZER* o) {
    const json& e = at(name);
    ASSERT_EQ(e.is_null(), o == nullptr) << name;
    if (o == nullptr) return;
    FieldCheck inner(e);
    inner.text(FIELD(o, pCalAddress));
    inner.text(FIELD(o, pCN));
    inner.text(FIELD(o, pDir));
    inner.text(FIELD(o, pSentBy));
    inner.text(FIELD(o, pLanguage));
    inner.expectAllSeen();
}

void CheckAttendee(FieldCheck& f, const qEL2_ATTENDEE* a) {
    for (auto [name, value] : {std::pair{"pCalAddress", a->pCalAddress}, {"pCUType", a->pCUType},
                               {"pRole", a->pRole}, {"pPartStat", a->pPartStat}, {"pCN", a->pCN},
                               {"pDir", a->pDir}, {"pSentBy", a->pSentBy}, {"pExtraParam", a->pExtraParam}}) {
        f.text(name, value);
    }
    f.list(FIELD(a, pMember));
    f.list(FIELD(a, pDelegatedTo));
    f.list(FIELD(a, pDelegatedFrom));
    f.number(FIELD(a, bRSVP));
}

void CheckAlarm(FieldCheck& f, const qEL2_VALARM* a) {
    for (auto [name, value] : {std::pair{"lAlarmWord1", a->lAlarmWord1}, {"lAlarmWord2", a->lAlarmWord2},
                               {"iAction", a->iAction}, {"iRepeat", a->iRepeat}, {"lAlarmWord5", a->lAlarmWord5},
                               {"lAlarmHost1", a->lAlarmHost1}, {"lAlarmHost2", a->lAlarmHost2}}) {
        f.number(name, value);
    }
    f.text(FIELD(a, pAlarmText1));
    f.text(FIELD(a, pAlarmText2));
    f.text(FIELD(a, pAlarmText3));
    f.list(FIELD(a, pAlarmList1));
    f.list(FIELD(a, pAlarmList2));
    f.list(FIELD(a, pAlarmList3));
}

// The fields that events and to-dos share by name.
template <typename Record>
void CheckEventLike(FieldCheck& f, const Record* r) {
    for (auto [name, value] : {std::pair{"dtStart", r->dtStart}, {"dtModified", r->dtModified},
                               {"dtCreated", r->dtCreated}, {"lExtra", r->lExtra},
                               {"iSequence", r->iSequence}, {"flags", r->flags}}) {
        f.number(name, value);
    }
    f.number(FIELD(r, lGeoLat));
    f.number(FIELD(r, lGeoLon));
    for (auto [name, value] : {std::pair{"pSummary", r->pSummary}, {"pUID", r->pUID},
                               {"pDescription", r->pDescription}, {"pLocation", r->pLocation},
                               {"pURL", r->pURL}, {"pClass", r->pClass},
                               {"pOrganizerEmail", r->pOrganizerEmail}, {"pCharset", r->pCharset},
                               {"pLanguage", r->pLanguage}, {"pExtra1", r->pExtra1},
                               {"pExtra2", r->pExtra2}, {"pLinkedCalID", r->pLinkedCalID}}) {
        f.text(name, value);
    }
    f.organizer(FIELD(r, pOrganizer));
    f.records(FIELD(r, pAttendees), CheckAttendee);
    f.records(FIELD(r, pAlarms), CheckAlarm);
    for (auto [name, value] : {std::pair{"pRDates", r->pRDates}, {"pEXDates", r->pEXDates},
                               {"pRRules", r->pRRules}, {"pExRules", r->pExRules},
                               {"pRelatedTo", r->pRelatedTo}, {"pExtraList1", r->pExtraList1},
                               {"pExtraList2", r->pExtraList2}, {"pExtraList3", r->pExtraList3},
                               {"pCategories", r->pCategories}, {"pAttachments", r->pAttachments},
                               {"pXProps", r->pXProps}}) {
        f.list(name, value);
    }
}

TEST(LegacyStoreValues, EventsDecodeToTheirManifestFields) {
    const json& events = LegacyManifest().at("events");
    ASSERT_FALSE(events.empty());
    for (const json& stored : events) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_VEVENT> event(StoredValue(stored));
        ASSERT_EQ(event.result, 0);
        FieldCheck f(stored.at("fields"));
        CheckEventLike(f, event.record);
        f.number(FIELD(event, dtEnd));
        f.number(FIELD(event, rtflags));
        f.expectAllSeen({"RecurrenceID"});  // taken from the key, not the value
    }
}

TEST(LegacyStoreValues, ToDosDecodeToTheirManifestFields) {
    const json& todos = LegacyManifest().at("todos");
    ASSERT_FALSE(todos.empty());
    for (const json& stored : todos) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_VTODO> todo(StoredValue(stored));
        ASSERT_EQ(todo.result, 0);
        FieldCheck f(stored.at("fields"));
        CheckEventLike(f, todo.record);
        f.number(FIELD(todo, dtDue));
        f.number(FIELD(todo, dtCompleted));
        f.number(FIELD(todo, lExtra2));
        f.expectAllSeen({"RecurrenceID"});
    }
}

TEST(LegacyStoreValues, CalendarsDecodeToTheirManifestFields) {
    const json& calendars = LegacyManifest().at("calendars");
    ASSERT_FALSE(calendars.empty());
    for (const json& stored : calendars) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<qEL2_CALPROPS> cal(StoredValue(stored));
        ASSERT_EQ(cal.result, 0);
        FieldCheck f(stored.at("fields"));
        const uint32_t access = cal->accessFlags;
        for (auto [name, value] : {std::pair<const char*, int64_t>{"dtModified", cal->dtModified},
                                   {"dtCreated", cal->dtCreated}, {"accessFlags", access},
                                   {"ReadAccess", qel2_CalReadAccess(access)},
                                   {"WriteAccess", qel2_CalWriteAccess(access)},
                                   {"bFlag8", qel2_CalFlag8(access)}, {"bDisabled", qel2_CalDisabled(access)}}) {
            f.number(name, value);
        }
        for (auto [name, value] : {std::pair{"pDescription", cal->pDescription},
                                   {"pParentCalID", cal->pParentCalID}, {"pRelativeCalID", cal->pRelativeCalID},
                                   {"pCalMaster", cal->pCalMaster}, {"pName", cal->pName},
                                   {"pCharSet", cal->pCharSet}, {"pLanguage", cal->pLanguage},
                                   {"pPrimaryOwner", cal->pPrimaryOwner}, {"pExtra", cal->pExtra}}) {
            f.text(name, value);
        }
        f.list(FIELD(cal, pOtherOwners));
        f.list(FIELD(cal, pChildList));
        f.list(FIELD(cal, pCategoryList));
        f.expectAllSeen();
    }
}

}  // namespace
}  // namespace codec_test
