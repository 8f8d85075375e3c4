#include "query_store.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "record_keys.h"
#include "store_description.h"

namespace qel2::test {

std::string HashedIds(const array_t* list) {
    std::string text;
    for (uint32_t i = 0; i < list->count; ++i) {
        const qEL2_CALPROPS* cal = At<qEL2_CALPROPS>(list, i);
        const bool hashed =
            qel2_CalHashValid(cal) &&
            memcmp(cal->idHash, qel2::mkstore::Md5(cal->pRelativeCalID).data(), 16) == 0;
        text += std::string(" ") + cal->pRelativeCalID + (hashed ? "#" : "");
    }
    return text;
}

void QueryTest::openStore(const std::string& description) {
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(nlohmann::json::parse(description)),
                              dir_.str());
    ASSERT_EQ(open(0), 0);
    log_.clear();
}

qel2::CalPropsPtr QueryTest::calendar(const std::string& id) {
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>(id.c_str()), &cal), 0) << id;
    return qel2::CalPropsPtr(cal);
}

}  // namespace qel2::test
