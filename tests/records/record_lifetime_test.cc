// What the constructors preset and what the destructors answer. That the
// destructors release every owned field is shown by the AddressSanitizer
// build of every suite that decodes the genuine store's records.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include <qel2/records.h>

namespace {

TEST(RecordLifetime, PresetsAndWhatTheDestructorsAnswer) {
    qEL2_VEVENT* event = qel2_NewEvent();
    const qEL2_VEVENT zero{};
    EXPECT_EQ(memcmp(event, &zero, sizeof zero), 0);
    event->pPrivate = malloc(32);
    event->pSummary = strdup("kept");
    // The private release takes only the private block.
    EXPECT_EQ(qel2_pvt_FreeEvent(&event), 0);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->pPrivate, nullptr);
    EXPECT_STREQ(event->pSummary, "kept");
    array_t* events = array_new();
    array_append(events, event);
    array_append(events, nullptr);  // passed over
    EXPECT_EQ(qel2_FreeEventList(&events), 0);
    EXPECT_EQ(events, nullptr);

    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(std::tuple(todo->lExtra2, todo->lSpare, todo->flags), std::tuple(-1, 1u, 192u));
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);
    EXPECT_EQ(qel2_FreeToDo(&todo), 0) << "a second call through the cleared pointer does nothing";
    EXPECT_EQ(qel2_FreeCalProps(nullptr), 0);
    // A null address, then a null list: the calendar list answers 2 and 3,
    // the others 1 and 2.
    for (auto [free, nullAddress, nullList] : {std::tuple{&qel2_FreeCalPropsList, 2, 3},
                                               {&qel2_FreeEventList, 1, 2},
                                               {&qel2_FreeToDoList, 1, 2}}) {
        array_t* none = nullptr;
        EXPECT_EQ(free(nullptr), nullAddress);
        EXPECT_EQ(free(&none), nullList);
    }
}

}  // namespace
