// Words for results: Berkeley DB's codes go by 4.2's numbers (5.3 gives
// -30988 to DB_NOTFOUND, 4.2 to DB_PAGE_NOTFOUND), the library's own codes
// keep their meaning over the system error numbers they share.

#include <gtest/gtest.h>

#include <string>

#include <qel2/results.h>

TEST(ResultText, NamesEachKindOfResultByItsOwnNumbering) {
    const struct {
        int result;
        const char* words;  // what the text starts with
    } cases[] = {
        {qEL2_DB42_NOTFOUND, "DB_NOTFOUND"},
        {qEL2_DB42_PAGE_NOTFOUND, "DB_PAGE_NOTFOUND"},
        {qEL2_DB42_RUNRECOVERY, "DB_RUNRECOVERY"},
        {qEL2_ERR_NOT_FOUND, "not found"},
        {qEL2_ERR_SELF_LINK, "a link leads back"},
        {qEL2_ERR_NOMEM, "Cannot allocate memory"},
        {qEL2_ERR_INVALID, "Invalid argument"},
        {-29999, "unknown"},
    };
    for (const auto& c : cases) {
        const char* text = qel2_ResultText(c.result);
        ASSERT_NE(text, nullptr) << c.result;
        EXPECT_TRUE(std::string(text).starts_with(c.words)) << c.result << ": " << text;
    }
}
