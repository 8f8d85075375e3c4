// Constructors, destructors and list destructors of the decoded records.
// Leaks are caught by the AddressSanitizer build of this suite.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <qel2/records.h>

namespace {

array_t* List(std::initializer_list<const char*> items) {
    array_t* list = array_new();
    for (const char* item : items) strarray_append(list, item);
    return list;
}

qEL2_ATTENDEE* FullAttendee() {
    qEL2_ATTENDEE* a = qel2_NewAttendee();
    a->pCalAddress = strdup("mailto:a@example.com");
    a->pCUType = strdup("INDIVIDUAL");
    a->pRole = strdup("CHAIR");
    a->pPartStat = strdup("ACCEPTED");
    a->pCN = strdup("A");
    a->pDir = strdup("ldap://x");
    a->pSentBy = strdup("mailto:b@example.com");
    a->pExtraParam = strdup("X-P=1");
    a->pMember = List({"team", ""});
    a->pDelegatedTo = List({"c"});
    a->pDelegatedFrom = List({"d"});
    return a;
}

qEL2_VALARM* FullAlarm() {
    qEL2_VALARM* alarm = qel2_NewAlarm();
    alarm->pAlarmText1 = strdup("one");
    alarm->pAlarmText2 = strdup("two");
    alarm->pAlarmText3 = strdup("three");
    alarm->pAlarmList1 = List({"mailto:x@example.com"});
    alarm->pAlarmList2 = List({"a", "b"});
    alarm->pAlarmList3 = List({""});
    return alarm;
}

// Fills every owned field of an event or a to-do.
template <typename Record>
void FillEventLike(Record* r) {
    for (char** s : {&r->pSummary, &r->pUID, &r->pDescription, &r->pLocation, &r->pURL,
                     &r->pClass, &r->pOrganizerEmail, &r->pCharset, &r->pLanguage, &r->pExtra1,
                     &r->pExtra2, &r->pLinkedCalID}) {
        *s = strdup("text");
    }
    for (array_t** l : {&r->pRDates, &r->pEXDates, &r->pRRules, &r->pExRules, &r->pRelatedTo,
                        &r->pExtraList1, &r->pExtraList2, &r->pExtraList3, &r->pCategories,
                        &r->pAttachments, &r->pXProps}) {
        *l = List({"x", "y"});
    }
    r->pOrganizer = qel2_NewOrganizer();
    r->pOrganizer->pCalAddress = strdup("mailto:o@example.com");
    r->pOrganizer->pCN = strdup("O");
    r->pOrganizer->pDir = strdup("ldap://o");
    r->pOrganizer->pSentBy = strdup("mailto:s@example.com");
    r->pOrganizer->pLanguage = strdup("en");
    r->pAttendees = array_new();
    array_append(r->pAttendees, FullAttendee());
    array_append(r->pAttendees, FullAttendee());
    r->pAlarms = array_new();
    array_append(r->pAlarms, FullAlarm());
    r->pPrivate = malloc(32);
}

TEST(RecordConstructors, NewEventIsAllZero) {
    qEL2_VEVENT* event = qel2_NewEvent();
    ASSERT_NE(event, nullptr);
    qEL2_VEVENT zero{};
    EXPECT_EQ(memcmp(event, &zero, sizeof zero), 0);
    qel2_FreeEvent(&event);
}

TEST(RecordConstructors, NewToDoHasItsPresets) {
    qEL2_VTODO* todo = qel2_NewToDo();
    ASSERT_NE(todo, nullptr);
    EXPECT_EQ(todo->lExtra2, -1);
    EXPECT_EQ(todo->lSpare, 1u);
    EXPECT_EQ(qel2_ToDoStatus(todo->flags), 3u);
    EXPECT_EQ(todo->flags, 192u);
    EXPECT_EQ(todo->pSummary, nullptr);
    qel2_FreeToDo(&todo);
}

TEST(RecordDestructors, ReleaseEveryOwnedFieldAndClearThePointer) {
    qEL2_VEVENT* event = qel2_NewEvent();
    FillEventLike(event);
    EXPECT_EQ(qel2_FreeEvent(&event), 0);
    EXPECT_EQ(event, nullptr);

    qEL2_VTODO* todo = qel2_NewToDo();
    FillEventLike(todo);
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);
    EXPECT_EQ(todo, nullptr);
    // A second call through the cleared pointer does nothing.
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);

    auto* cal = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    for (char** s : {&cal->pDescription, &cal->pParentCalID, &cal->pRelativeCalID,
                     &cal->pCalMaster, &cal->pName, &cal->pCharSet, &cal->pLanguage,
                     &cal->pPrimaryOwner, &cal->pExtra}) {
        *s = strdup("text");
    }
    cal->pOtherOwners = List({"a", "b", "c"});
    cal->pChildList = List({"jdoe:tasks"});
    cal->pCategoryList = List({"work"});
    EXPECT_EQ(qel2_FreeCalProps(&cal), 0);
    EXPECT_EQ(cal, nullptr);
    EXPECT_EQ(qel2_FreeCalProps(nullptr), 0);
}

TEST(RecordDestructors, AnEmptyEventReleasesOnlyTheRecord) {
    qEL2_VEVENT* event = qel2_NewEvent();
    EXPECT_EQ(qel2_FreeEvent(&event), 0);
    EXPECT_EQ(event, nullptr);
    qEL2_VALARM* alarm = nullptr;
    EXPECT_EQ(qel2_FreeAlarm(&alarm), 0);
}

TEST(RecordDestructors, PrivateReleaseFreesOnlyThePrivateBlock) {
    qEL2_VEVENT* event = qel2_NewEvent();
    event->pSummary = strdup("stays");
    event->pPrivate = malloc(8);
    EXPECT_EQ(qel2_pvt_FreeEvent(&event), 0);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->pPrivate, nullptr);
    EXPECT_STREQ(event->pSummary, "stays");
    qel2_FreeEvent(&event);

    qEL2_CALPROPS cal{};
    qEL2_CALPROPS* calPointer = &cal;
    EXPECT_EQ(qel2_pvt_FreeCalProps(&calPointer), 0);
    EXPECT_EQ(calPointer, &cal);
}

TEST(RecordListDestructors, NullAddressAndNullListCodesDifferByList) {
    array_t* none = nullptr;
    EXPECT_EQ(qel2_FreeCalPropsList(nullptr), 2);
    EXPECT_EQ(qel2_FreeCalPropsList(&none), 3);
    EXPECT_EQ(qel2_FreeEventList(nullptr), 1);
    EXPECT_EQ(qel2_FreeEventList(&none), 2);
    EXPECT_EQ(qel2_FreeToDoList(nullptr), 1);
    EXPECT_EQ(qel2_FreeToDoList(&none), 2);
}

TEST(RecordListDestructors, ReleaseEveryRecordAndSkipNullElements) {
    array_t* events = array_new();
    qEL2_VEVENT* full = qel2_NewEvent();
    FillEventLike(full);
    array_append(events, full);
    array_append(events, nullptr);
    array_append(events, qel2_NewEvent());
    EXPECT_EQ(qel2_FreeEventList(&events), 0);
    EXPECT_EQ(events, nullptr);

    array_t* todos = array_new();
    array_append(todos, qel2_NewToDo());
    EXPECT_EQ(qel2_FreeToDoList(&todos), 0);
    EXPECT_EQ(todos, nullptr);

    array_t* cals = array_new();
    auto* cal = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    cal->pRelativeCalID = strdup("jdoe");
    array_append(cals, cal);
    EXPECT_EQ(qel2_FreeCalPropsList(&cals), 0);
    EXPECT_EQ(cals, nullptr);
}

TEST(RecordFlags, AccessorsSplitTheStoredWords) {
    // 00 00 21 93: priority 3, start is a date, status 3, tombstone.
    EXPECT_EQ(qel2_EventPriority(0x2193), 3u);
    EXPECT_TRUE(qel2_EventStartIsDate(0x2193));
    EXPECT_FALSE(qel2_EventEndIsDate(0x2193));
    EXPECT_EQ(qel2_EventStatus(0x2193), 3u);
    EXPECT_TRUE(qel2_EventTombstone(0x2193));
    // 00 00 50 C5: priority 5, status 3, tombstone, link.
    EXPECT_EQ(qel2_ToDoPriority(0x50C5), 5u);
    EXPECT_EQ(qel2_ToDoStatus(0x50C5), 3u);
    EXPECT_TRUE(qel2_ToDoTombstone(0x50C5));
    EXPECT_FALSE(qel2_ToDoFlag13(0x50C5));
    EXPECT_TRUE(qel2_ToDoIsLink(0x50C5));
    // 00 00 02 21: read public, write domain, disabled.
    EXPECT_EQ(qel2_CalReadAccess(0x221), 1u);
    EXPECT_EQ(qel2_CalWriteAccess(0x221), 2u);
    EXPECT_FALSE(qel2_CalFlag8(0x221));
    EXPECT_TRUE(qel2_CalDisabled(0x221));
}

}  // namespace
