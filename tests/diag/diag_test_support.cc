#include "diag_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace qel2diagtest {

array_t* StringList(std::initializer_list<const char*> items) {
    array_t* list = array_new();
    for (const char* item : items) EXPECT_EQ(strarray_append(list, item), 0);
    return list;
}

std::string Capture(const std::function<void(PRFileDesc*)>& write) {
    qel2test::TempDir dir;
    const std::string path = (dir.path() / "dump.txt").string();
    PRFileDesc* out = PR_Open(path.c_str(), PR_WRONLY | PR_CREATE_FILE | PR_TRUNCATE, 0600);
    EXPECT_NE(out, nullptr);
    if (out == nullptr) return {};
    write(out);
    EXPECT_EQ(PR_Close(out), PR_SUCCESS);
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

}  // namespace qel2diagtest
