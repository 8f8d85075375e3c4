// Constructors, destructors and list destructors of the decoded records.
// The destructors are given records with every owned field filled; the
// AddressSanitizer build of this suite fails on any block they leave.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <qel2/records.h>

namespace {

void Fill(std::initializer_list<char**> texts, std::initializer_list<array_t**> lists) {
    for (char** text : texts) *text = strdup("text");
    for (array_t** list : lists) {
        *list = array_new();
        strarray_append(*list, "x");
        strarray_append(*list, "");
    }
}

qEL2_ATTENDEE* FullAttendee() {
    qEL2_ATTENDEE* a = qel2_NewAttendee();
    Fill({&a->pCalAddress, &a->pCUType, &a->pRole, &a->pPartStat, &a->pCN, &a->pDir, &a->pSentBy, &a->pExtraParam},
         {&a->pMember, &a->pDelegatedTo, &a->pDelegatedFrom});
    return a;
}

qEL2_VALARM* FullAlarm() {
    qEL2_VALARM* a = qel2_NewAlarm();
    Fill({&a->pAlarmText1, &a->pAlarmText2, &a->pAlarmText3}, {&a->pAlarmList1, &a->pAlarmList2, &a->pAlarmList3});
    return a;
}

template <typename Record>
Record* FullItem(Record* r) {
    Fill({&r->pSummary, &r->pUID, &r->pDescription, &r->pLocation, &r->pURL, &r->pClass, &r->pOrganizerEmail,
          &r->pCharset, &r->pLanguage, &r->pExtra1, &r->pExtra2, &r->pLinkedCalID},
         {&r->pRDates, &r->pEXDates, &r->pRRules, &r->pExRules, &r->pRelatedTo, &r->pExtraList1, &r->pExtraList2,
          &r->pExtraList3, &r->pCategories, &r->pAttachments, &r->pXProps});
    qEL2_ORGANIZER* o = r->pOrganizer = qel2_NewOrganizer();
    Fill({&o->pCalAddress, &o->pCN, &o->pDir, &o->pSentBy, &o->pLanguage}, {});
    r->pAttendees = array_new();
    array_append(r->pAttendees, FullAttendee());
    array_append(r->pAttendees, FullAttendee());
    r->pAlarms = array_new();
    array_append(r->pAlarms, FullAlarm());
    r->pPrivate = malloc(32);
    return r;
}

qEL2_CALPROPS* FullCalendar() {
    auto* c = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    Fill({&c->pDescription, &c->pParentCalID, &c->pRelativeCalID, &c->pCalMaster, &c->pName, &c->pCharSet,
          &c->pLanguage, &c->pPrimaryOwner, &c->pExtra},
         {&c->pOtherOwners, &c->pChildList, &c->pCategoryList});
    return c;
}

TEST(RecordConstructors, NewEventIsAllZeroNewToDoHasItsPresets) {
    qEL2_VEVENT* event = qel2_NewEvent();
    qEL2_VEVENT zero{};
    EXPECT_EQ(memcmp(event, &zero, sizeof zero), 0);
    qel2_FreeEvent(&event);

    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(todo->lExtra2, -1);
    EXPECT_EQ(todo->lSpare, 1u);
    EXPECT_EQ(todo->flags, 192u) << "status 3";
    qel2_FreeToDo(&todo);
}

TEST(RecordDestructors, ReleaseEveryOwnedFieldAndClearThePointer) {
    qEL2_VEVENT* event = FullItem(qel2_NewEvent());
    // The private release takes only the private block.
    EXPECT_EQ(qel2_pvt_FreeEvent(&event), 0);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->pPrivate, nullptr);
    EXPECT_STREQ(event->pSummary, "text");
    EXPECT_EQ(qel2_FreeEvent(&event), 0);
    EXPECT_EQ(event, nullptr);
    qEL2_VTODO* todo = FullItem(qel2_NewToDo());
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);
    EXPECT_EQ(todo, nullptr);
    EXPECT_EQ(qel2_FreeToDo(&todo), 0) << "a second call through the cleared pointer does nothing";
    qEL2_CALPROPS* cal = FullCalendar();
    EXPECT_EQ(qel2_FreeCalProps(&cal), 0);
    EXPECT_EQ(cal, nullptr);
    EXPECT_EQ(qel2_FreeCalProps(nullptr), 0);
}

TEST(RecordListDestructors, ReleaseEveryRecordSkipNullsAndAnswerByList) {
    array_t* events = array_new();
    array_append(events, FullItem(qel2_NewEvent()));
    array_append(events, nullptr);
    array_t* todos = array_new();
    array_append(todos, FullItem(qel2_NewToDo()));
    array_t* cals = array_new();
    array_append(cals, FullCalendar());
    EXPECT_EQ(qel2_FreeEventList(&events), 0);
    EXPECT_EQ(qel2_FreeToDoList(&todos), 0);
    EXPECT_EQ(qel2_FreeCalPropsList(&cals), 0);
    EXPECT_EQ(events, nullptr);
    EXPECT_EQ(todos, nullptr);
    EXPECT_EQ(cals, nullptr);
    // A null address, then a null list: the calendar list answers 2 and 3,
    // the others 1 and 2.
    EXPECT_EQ(qel2_FreeCalPropsList(nullptr), 2);
    EXPECT_EQ(qel2_FreeCalPropsList(&cals), 3);
    EXPECT_EQ(qel2_FreeEventList(nullptr), 1);
    EXPECT_EQ(qel2_FreeEventList(&events), 2);
    EXPECT_EQ(qel2_FreeToDoList(nullptr), 1);
    EXPECT_EQ(qel2_FreeToDoList(&todos), 2);
}

}  // namespace
