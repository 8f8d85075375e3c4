// Records and lists the library hands over, released through the library's
// own destructors when they go out of scope.
#pragma once

#include <memory>

#include <qel2/records.h>

namespace qel2cli {

template <typename Record, int (*Free)(Record**)>
struct FreeWith {
    void operator()(Record* record) const { Free(&record); }
};

using CalPropsPtr = std::unique_ptr<qEL2_CALPROPS, FreeWith<qEL2_CALPROPS, qel2_FreeCalProps>>;
using EventPtr = std::unique_ptr<qEL2_VEVENT, FreeWith<qEL2_VEVENT, qel2_FreeEvent>>;
using ToDoPtr = std::unique_ptr<qEL2_VTODO, FreeWith<qEL2_VTODO, qel2_FreeToDo>>;
using CalPropsListPtr = std::unique_ptr<array_t, FreeWith<array_t, qel2_FreeCalPropsList>>;
using EventListPtr = std::unique_ptr<array_t, FreeWith<array_t, qel2_FreeEventList>>;
using ToDoListPtr = std::unique_ptr<array_t, FreeWith<array_t, qel2_FreeToDoList>>;

// The elements of a record list, typed; a null list has none.
template <typename Record>
struct ListView {
    const array_t* list;
    Record* const* begin() const { return list ? reinterpret_cast<Record* const*>(list->elements) : nullptr; }
    Record* const* end() const { return list ? begin() + list->count : nullptr; }
    size_t size() const { return list ? list->count : 0; }
};

// The elements of a string list; a null list has none.
using StringsView = ListView<char>;

}  // namespace qel2cli
