#include <qel2/host.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/string_list.h"

namespace {

int compare_ints(const void* element, const void* key) {
    return *static_cast<const int*>(element) - *static_cast<const int*>(key);
}

// Grows keeping order, finds the first match, and empties without freeing
// the elements (the caller owns them; AddressSanitizer sees a double free).
TEST(HostArray, GrowsKeepingOrderLocatesAndEmpties) {
    array_t* array = array_new();
    for (int i = 0; i < 5000; ++i) {
        int* value = static_cast<int*>(std::malloc(sizeof(int)));
        *value = i % 100;
        ASSERT_EQ(array_append(array, value), 0);
    }
    ASSERT_EQ(array->count, 5000u);
    for (uint32_t i = 0; i < 5000; ++i)
        ASSERT_EQ(*static_cast<int*>(array_elementat(array, i)), int(i % 100));
    EXPECT_EQ(array_elementat(array, 5000), nullptr);
    int seven = 7, absent = 100;
    EXPECT_EQ(array_locate(array, &seven, compare_ints), 7u);
    EXPECT_EQ(array_locate(array, &absent, compare_ints), ARRAY_NOT_FOUND);
    array_free_and_destroy(&array);

    int kept[2] = {1, 2};
    array = array_new();
    for (int& value : kept) array_append(array, &value);
    array_removeall(array);
    EXPECT_EQ(array->count, 0u);
    ASSERT_EQ(array_append(array, std::malloc(1)), 0);  // and grows again from nothing
    array_free_and_destroy(&array);
}

TEST(HostStrArray, StoresCopiesAndNulls) {
    array_t* array = array_new();
    char* text = strdup("first");
    ASSERT_EQ(strarray_append(array, text), 0);
    std::free(text);  // the array owns its own copy
    ASSERT_EQ(strarray_append(array, nullptr), 0);
    ASSERT_EQ(strarray_append(array, ""), 0);
    EXPECT_EQ(qel2::test::Strings(array), (std::vector<std::string>{"first", "(null)", ""}));
    strarray_free_and_destroy(&array);
    EXPECT_EQ(array, nullptr);
}

}  // namespace
