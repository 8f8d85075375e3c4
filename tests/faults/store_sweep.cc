#include "store_sweep.h"

#include <qel2/qel2.h>

#include "fault_fixture.h"

namespace qel2test {

namespace {

// Reads each walked record again by its key.
template <typename Record, typename Read, typename Free>
void ReadEachAgain(qEL2_CALPROPS* calendar, const array_t* list, Read read, Free release, SweepTally& tally) {
    for (uint32_t i = 0; i < list->count; ++i) {
        const Record* listed = At<Record>(list, i);
        // A record reached through a link sits in another calendar's key.
        if (listed->pLinkedCalID != nullptr) continue;
        Record* again = nullptr;
        int result = read(calendar, listed->pUID, listed->RecurrenceID, qEL2_READ_TOMBSTONES, &again);
        tally.results.insert(result);
        if (result != 0 || again == nullptr)
            tally.singleReadMisses.push_back(std::string(listed->pUID ? listed->pUID : "?") + "@" +
                                             std::to_string(listed->RecurrenceID));
        release(&again);
    }
}

// Lists one calendar's records of one kind, reads each again by key, and
// returns how many were listed.
template <typename Record, typename List, typename Window, typename Read, typename Free>
uint32_t SweepRecords(qEL2_CALPROPS* calendar, Window window, Read read, Free release, SweepTally& tally) {
    array_t* list = nullptr;
    tally.results.insert(window(calendar, 0, 0, qEL2_READ_TOMBSTONES, &list));
    List owned(list);
    if (list == nullptr) return 0;
    ReadEachAgain<Record>(calendar, list, read, release, tally);
    return list->count;
}

}  // namespace

SweepTally SweepStore(uint32_t calendars) {
    SweepTally tally;
    for (uint32_t i = 0; i < calendars; ++i) {
        std::string id = "user" + std::to_string(i);
        qEL2_CALPROPS* calendar = nullptr;
        int result = qel2_pvt_ReadCalProps(id.data(), &calendar);
        tally.results.insert(result);
        if (result != 0) continue;
        ++tally.calendars;

        tally.events += SweepRecords<qEL2_VEVENT, qel2::EventListPtr>(calendar, qel2_pvt_ReadEventListByRange,
                                                             qel2_pvt_ReadEvent, qel2_FreeEvent, tally);
        tally.todos += SweepRecords<qEL2_VTODO, qel2::ToDoListPtr>(calendar, qel2_pvt_ReadToDoListByRange,
                                                          qel2_pvt_ReadToDo, qel2_FreeToDo, tally);
        qel2_FreeCalProps(&calendar);
    }
    array_t* found = nullptr;
    tally.results.insert(qel2_pvt_SearchCalProps(nullptr, qEL2_SEARCH_CALID, qEL2_MATCH_CONTAINS, 0, &found));
    qel2::CalPropsListPtr ownedFound(found);
    if (found != nullptr) tally.searched = found->count;
    return tally;
}

}  // namespace qel2test
