// The one-line attendee text where the dumps (record_dump_test.cc, whose
// full event holds an attendee with every parameter) do not reach: a text
// longer than any fixed buffer, a null list element, an empty attendee.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <qel2/diag.h>

#include "support/string_list.h"

namespace {

std::string Text(const qEL2_ATTENDEE* attendee) {
    char* text = qel2dbut_FmtAttendee(attendee);
    EXPECT_NE(text, nullptr);
    std::string copy = text != nullptr ? text : "";
    free(text);
    return copy;
}

TEST(AttendeeText, LongTextIsKeptWholeNullsShowAsNull) {
    qEL2_ATTENDEE* attendee = qel2_NewAttendee();
    EXPECT_EQ(Text(attendee), "(null) RSVP=FALSE");
    const std::string address = "mailto:" + std::string(600, 'x') + "@example.com";
    attendee->pCalAddress = strdup(address.c_str());
    attendee->pDelegatedTo = qel2::test::StringList({"mailto:t@example.com", nullptr});
    EXPECT_EQ(Text(attendee),
              address + R"x( RSVP=FALSE;DELEGATED-TO="mailto:t@example.com","(null)")x");
    qel2_FreeAttendee(&attendee);
}

}  // namespace
