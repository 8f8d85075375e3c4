// Host string arrays built from and read into C++ values.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <qel2/host.h>

namespace qel2::test {

// A string array holding copies of `texts`; a null text stays null.
inline array_t* StringList(std::initializer_list<const char*> texts) {
    array_t* list = array_new();
    for (const char* text : texts) strarray_append(list, text);
    return list;
}

// The elements of a string array (none for a null array); a null element
// reads "(null)", so that it shows apart from an empty one.
inline std::vector<std::string> Strings(const array_t* list) {
    std::vector<std::string> texts;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const char* text = strarray_elementat(list, i);
        texts.emplace_back(text != nullptr ? text : "(null)");
    }
    return texts;
}

}  // namespace qel2::test
