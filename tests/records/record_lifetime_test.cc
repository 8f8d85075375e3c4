// What the constructors preset and what the destructors answer. That the
// destructors release every owned field is checked by the AddressSanitizer
// build of every suite that decodes the genuine store's records.

#include <gtest/gtest.h>

#include <cstring>

#include <qel2/records.h>

namespace {

TEST(RecordConstructors, NewEventIsAllZeroNewToDoHasItsPresets) {
    qEL2_VEVENT* event = qel2_NewEvent();
    qEL2_VEVENT zero{};
    EXPECT_EQ(memcmp(event, &zero, sizeof zero), 0);
    event->pPrivate = malloc(32);
    event->pSummary = strdup("kept");
    // The private release takes only the private block.
    EXPECT_EQ(qel2_pvt_FreeEvent(&event), 0);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->pPrivate, nullptr);
    EXPECT_STREQ(event->pSummary, "kept");
    EXPECT_EQ(qel2_FreeEvent(&event), 0);
    EXPECT_EQ(event, nullptr);

    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(todo->lExtra2, -1);
    EXPECT_EQ(todo->lSpare, 1u);
    EXPECT_EQ(todo->flags, 192u) << "status 3";
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);
    EXPECT_EQ(qel2_FreeToDo(&todo), 0) << "a second call through the cleared pointer does nothing";
    EXPECT_EQ(qel2_FreeCalProps(nullptr), 0);
}

TEST(RecordListDestructors, SkipNullsAndAnswerByList) {
    array_t* events = array_new();
    array_append(events, qel2_NewEvent());
    array_append(events, nullptr);
    EXPECT_EQ(qel2_FreeEventList(&events), 0);
    EXPECT_EQ(events, nullptr);
    // A null address, then a null list: the calendar list answers 2 and 3,
    // the others 1 and 2.
    array_t* none = nullptr;
    EXPECT_EQ(qel2_FreeCalPropsList(nullptr), 2);
    EXPECT_EQ(qel2_FreeCalPropsList(&none), 3);
    EXPECT_EQ(qel2_FreeEventList(nullptr), 1);
    EXPECT_EQ(qel2_FreeEventList(&none), 2);
    EXPECT_EQ(qel2_FreeToDoList(nullptr), 1);
    EXPECT_EQ(qel2_FreeToDoList(&none), 2);
}

}  // namespace
