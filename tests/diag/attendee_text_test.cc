// The one-line attendee text.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <qel2/diag.h>

#include "support/string_list.h"

namespace {

using qel2::test::StringList;

std::string Text(const qEL2_ATTENDEE* attendee) {
    char* text = qel2dbut_FmtAttendee(attendee);
    EXPECT_NE(text, nullptr);
    std::string copy = text != nullptr ? text : "";
    free(text);
    return copy;
}

class AttendeeText : public ::testing::Test {
protected:
    void TearDown() override { qel2_FreeAttendee(&attendee); }
    qEL2_ATTENDEE* attendee = qel2_NewAttendee();
};

TEST_F(AttendeeText, EveryParameterInOrderAndDelegateListsApart) {
    attendee->pCalAddress = strdup("mailto:a@example.com");
    attendee->pCUType = strdup("GROUP");
    attendee->pRole = strdup("CHAIR");
    attendee->pPartStat = strdup("ACCEPTED");
    attendee->bRSVP = -1;  // any non-zero byte asks for a reply
    attendee->pCN = strdup("Ann %s");
    attendee->pDir = strdup("ldap://dir/ann");
    attendee->pSentBy = strdup("mailto:s@example.com");
    attendee->pExtraParam = strdup("X-NOT-SHOWN=1");
    attendee->pDelegatedFrom = StringList({"mailto:f@example.com"});
    attendee->pDelegatedTo = StringList({"mailto:t1@example.com", nullptr});
    attendee->pMember = StringList({"mailto:g@example.com"});
    EXPECT_EQ(
        Text(attendee),
        R"(mailto:a@example.com RSVP=TRUE;CN=Ann %s;CUTYPE=GROUP;PARTSTAT=ACCEPTED;DIR=ldap://dir/ann)"
        R"(;ROLE=CHAIR;SENT-BY=mailto:s@example.com;DELEGATE-FROM="mailto:f@example.com")"
        R"x(;DELEGATED-TO="mailto:t1@example.com","(null)";MEMBER="mailto:g@example.com")x");
}

TEST_F(AttendeeText, LongTextIsKeptWhole) {
    const std::string address = "mailto:" + std::string(600, 'x') + "@example.com";
    attendee->pCalAddress = strdup(address.c_str());
    attendee->pMember = StringList({"mailto:g@example.com"});
    EXPECT_EQ(Text(attendee), address + R"( RSVP=FALSE;MEMBER="mailto:g@example.com")");
}

TEST_F(AttendeeText, EmptyAttendeeGivesANullAddressAndTheReplyFlag) {
    EXPECT_EQ(Text(attendee), "(null) RSVP=FALSE");
}

}  // namespace
