// Stores written from a description for the query tests, opened.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <qel2/qel2.h>

#include "owned_records.h"
#include "store/store_fixture.h"
#include "store_description.h"

namespace qel2::test {

// The record at `index` of a list the queries returned.
template <typename Record>
const Record* At(const array_t* list, uint32_t index) {
    return static_cast<const Record*>(array_elementat(list, index));
}

class QueryTest : public StoreTest {
protected:
    // Writes (tools/mkstore/store_description.h) and opens, no threads.
    void openStore(const std::string& description) {
        qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(nlohmann::json::parse(description)),
                                  dir_.str());
        ASSERT_EQ(open(0), 0);
        log_.clear();
    }
    // The calendar as the host reads it, with a valid hash.
    qel2::CalPropsPtr calendar(const std::string& id) {
        qEL2_CALPROPS* cal = nullptr;
        EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>(id.c_str()), &cal), 0) << id;
        return qel2::CalPropsPtr(cal);
    }
};

}  // namespace qel2::test
