// Reads summed up in a 64-bit digest (FNV-1a) of what they returned,
// computed without allocating, so that results can be compared across runs
// and threads and inside code whose allocations are being counted.
#pragma once

#include <cstdint>

#include <qel2/qel2.h>

namespace qel2::test {

inline constexpr uint64_t kDigestStart = 14695981039346656037u;

inline void Mix(uint64_t& digest, uint32_t number) { digest = (digest ^ number) * 1099511628211u; }

inline void Mix(uint64_t& digest, const char* text) {
    for (const char* c = text ? text : ""; *c != '\0'; ++c)
        Mix(digest, static_cast<unsigned char>(*c));
    Mix(digest, 0x100u);  // ends the text, so that "ab"+"c" differs from "a"+"bc"
}

// An event or to-do: identity, times, flags and summary; 0 for none.
template <typename Record>
uint64_t Digest(const Record* record) {
    if (record == nullptr) return 0;
    uint64_t digest = kDigestStart;
    Mix(digest, record->pUID);
    Mix(digest, static_cast<uint32_t>(record->RecurrenceID));
    Mix(digest, record->pSummary);
    Mix(digest, record->dtStart);
    Mix(digest, record->flags);
    Mix(digest, record->pLinkedCalID);
    return digest;
}

// A list of events or to-dos, in order.
template <typename Record>
uint64_t Digest(const array_t* list) {
    uint64_t digest = kDigestStart;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        uint64_t one = Digest(static_cast<const Record*>(array_elementat(list, i)));
        Mix(digest, static_cast<uint32_t>(one));
        Mix(digest, static_cast<uint32_t>(one >> 32));
    }
    return digest;
}

// One event or to-do of `calendar` by key, released again.
template <typename Record, auto Read, auto Free>
int ReadOne(qEL2_CALPROPS* calendar, const char* uid, uint32_t recurrenceId, uint64_t& digest) {
    Record* record = nullptr;
    int result =
        Read(calendar, const_cast<char*>(uid), static_cast<int32_t>(recurrenceId), 0, &record);
    digest = Digest(record);
    Free(&record);
    return result;
}
constexpr auto ReadOneEvent = ReadOne<qEL2_VEVENT, qel2_pvt_ReadEvent, qel2_FreeEvent>;
constexpr auto ReadOneToDo = ReadOne<qEL2_VTODO, qel2_pvt_ReadToDo, qel2_FreeToDo>;

// The events or to-dos of `calendar` in a time window (0, 0: all),
// tombstones left out.
template <typename Record, typename List, auto Window>
int ReadWindow(qEL2_CALPROPS* calendar, int32_t from, int32_t to, uint64_t& digest) {
    array_t* list = nullptr;
    int result = Window(calendar, from, to, 0, &list);
    List owned(list);
    digest = Digest<Record>(list);
    return result;
}
constexpr auto ReadEventWindow =
    ReadWindow<qEL2_VEVENT, qel2::EventListPtr, qel2_pvt_ReadEventListByRange>;
constexpr auto ReadToDoWindow =
    ReadWindow<qEL2_VTODO, qel2::ToDoListPtr, qel2_pvt_ReadToDoListByRange>;

// The calendars whose ids begin with `prefix`: ids and names, in order.
inline int SearchCalendars(const char* prefix, uint64_t& digest) {
    array_t* list = nullptr;
    int result = qel2_pvt_SearchCalProps(prefix, qEL2_SEARCH_CALID, qEL2_MATCH_BEGINS, 0, &list);
    qel2::CalPropsListPtr owned(list);
    digest = kDigestStart;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        auto* calendar = static_cast<const qEL2_CALPROPS*>(array_elementat(list, i));
        Mix(digest, calendar->pRelativeCalID);
        Mix(digest, calendar->pName);
    }
    return result;
}

}  // namespace qel2::test
