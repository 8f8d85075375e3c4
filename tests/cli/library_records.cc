#include "library_records.h"

#include <gtest/gtest.h>

#include <qel2/qel2.h>

namespace qel2::test::cli {

void ReadStoreWithLibrary(const std::filesystem::path& store, const LibraryVisitor& visit) {
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, store.c_str()), 0);
    array_t* list = nullptr;
    EXPECT_EQ(qel2_pvt_SearchCalProps(nullptr, 0, 0, 0, &list), 0);
    for (uint32_t c = 0; list != nullptr && c < list->count; ++c) {
        auto* calendar = static_cast<qEL2_CALPROPS*>(list->elements[c]);
        if (visit.calendar) visit.calendar(*calendar);
        array_t *events = nullptr, *todos = nullptr;
        EXPECT_EQ(qel2_pvt_ReadEventListByRange(calendar, 0, 0, 0, &events), 0);
        EXPECT_EQ(qel2_pvt_ReadToDoListByRange(calendar, 0, 0, 0, &todos), 0);
        for (uint32_t i = 0; events != nullptr && i < events->count; ++i)
            visit.event(*calendar, *static_cast<qEL2_VEVENT*>(events->elements[i]));
        for (uint32_t i = 0; todos != nullptr && i < todos->count; ++i)
            visit.todo(*calendar, *static_cast<qEL2_VTODO*>(todos->elements[i]));
        qel2_FreeEventList(&events);
        qel2_FreeToDoList(&todos);
    }
    qel2_FreeCalPropsList(&list);
    qel2_pvt_CloseDB();
}

std::string IcsTime(uint32_t time, bool isDate) {
    if (time == 0) return "";
    char text[32];
    cal_strgmtime(text, sizeof text, isDate ? "%Y%m%d" : "%Y%m%dT%H%M%SZ", time);
    return text;
}

}  // namespace qel2::test::cli
