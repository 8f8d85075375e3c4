// Stores written from a description for the query tests, opened through
// the library.
#pragma once

#include <cstdint>
#include <string>

#include <qel2/qel2.h>

#include "owned_records.h"
#include "store/store_fixture.h"

namespace qel2::test {

// The record at `index` of a list the queries returned.
template <typename Record>
const Record* At(const array_t* list, uint32_t index) {
    return static_cast<const Record*>(array_elementat(list, index));
}

// The ids of a list of calendars, each after a space and followed by "#"
// when the record carries its valid hash (the MD5 digest of its id).
std::string HashedIds(const array_t* list);

class QueryTest : public StoreTest {
protected:
    // Writes the store of a JSON description (tools/mkstore/store_description.h)
    // and opens it without maintenance threads.
    void openStore(const std::string& description);
    // The calendar as the host reads it, with a valid hash.
    qel2::CalPropsPtr calendar(const std::string& id);
};

}  // namespace qel2::test
