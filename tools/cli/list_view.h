// Typed views over the record and string lists the library hands over.
#pragma once

#include <cstddef>

#include <qel2/host.h>

namespace qel2::cli {

// The elements of a record list, typed; a null list has none.
template <typename Record>
struct ListView {
    const array_t* list;
    Record* const* begin() const {
        return list ? reinterpret_cast<Record* const*>(list->elements) : nullptr;
    }
    Record* const* end() const { return list ? begin() + list->count : nullptr; }
    size_t size() const { return list ? list->count : 0; }
};

// The elements of a string list; a null list has none.
using StringsView = ListView<char>;

}  // namespace qel2::cli
