// The records a host reads directly, checked at compile time: the fields
// listed in order tile the record with no gap and nothing left over, and
// every field is a 32-bit word (or whole words). Built for a 32-bit target
// (the layout test compiles this file with -m32) field n therefore lies at
// byte offset 4*(n-1) and the record is `words` words long; on a 64-bit
// build pointers are wider and each field sits at its natural alignment.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include <qel2/dbt42.h>
#include <qel2/host_records.h>
#include <qel2/records.h>
#include <qel2/store.h>

namespace qel2::test {
namespace {

struct Field {
    size_t offset, size, align;
    bool word;  // a pointer, a 32-bit integer or an array of them, or a digest
};

template <typename T>
constexpr bool IsWord() {
    using E = std::remove_all_extents_t<T>;
    return std::is_pointer_v<E> || (std::is_integral_v<E> && sizeof(E) == 4) ||
           std::is_same_v<T, unsigned char[16]>;
}

constexpr size_t AlignUp(size_t n, size_t align) { return (n + align - 1) / align * align; }

constexpr bool Tiles(size_t recordSize, size_t recordAlign, size_t words,
                     std::initializer_list<Field> fields) {
    size_t end = 0;
    for (const Field& f : fields) {
        if (!f.word || f.offset != AlignUp(end, f.align)) return false;
        end = f.offset + f.size;
    }
    return recordSize == AlignUp(end, recordAlign) &&
           (sizeof(void*) != 4 || recordSize == 4 * words);
}

}  // namespace
}  // namespace qel2::test

// QEL2_FOR_EACH(m, R, a, b, ...) is m(R, a) m(R, b) ...
#define QEL2_PARENS ()
#define QEL2_EXPAND(...) QEL2_EXPAND3(QEL2_EXPAND3(QEL2_EXPAND3(QEL2_EXPAND3(__VA_ARGS__))))
#define QEL2_EXPAND3(...) QEL2_EXPAND2(QEL2_EXPAND2(QEL2_EXPAND2(QEL2_EXPAND2(__VA_ARGS__))))
#define QEL2_EXPAND2(...) QEL2_EXPAND1(QEL2_EXPAND1(QEL2_EXPAND1(QEL2_EXPAND1(__VA_ARGS__))))
#define QEL2_EXPAND1(...) __VA_ARGS__
#define QEL2_FOR_EACH(m, R, ...) __VA_OPT__(QEL2_EXPAND(QEL2_FOR_EACH_ONE(m, R, __VA_ARGS__)))
#define QEL2_FOR_EACH_ONE(m, R, a, ...) \
    m(R, a) __VA_OPT__(QEL2_FOR_EACH_AGAIN QEL2_PARENS(m, R, __VA_ARGS__))
#define QEL2_FOR_EACH_AGAIN() QEL2_FOR_EACH_ONE

#define QEL2_FIELD(R, f)                                                     \
    qel2::test::Field{offsetof(R, f), sizeof(R::f), alignof(decltype(R::f)), \
                      qel2::test::IsWord<decltype(R::f)>()},
#define QEL2_LAYOUT(R, words, ...)                                                \
    static_assert(qel2::test::Tiles(sizeof(R), alignof(R), words,                 \
                                    {QEL2_FOR_EACH(QEL2_FIELD, R, __VA_ARGS__)}), \
                  #R " is not the host's " #words " words")

// The library's records, gCalDB, array_t and Berkeley DB 4.2's descriptor.
QEL2_LAYOUT(array_t, 3, elements, capacity, count);
QEL2_LAYOUT(qEL2_DBT, 6, data, size, ulen, dlen, doff, flags);
QEL2_LAYOUT(qEL2_ORGANIZER, 5, pCalAddress, pCN, pDir, pSentBy, pLanguage);
QEL2_LAYOUT(qEL2_ATTENDEE, 12, pCalAddress, pCUType, pMember, pDelegatedTo, pDelegatedFrom, pRole,
            pPartStat, pCN, pDir, pSentBy, pExtraParam, bRSVP);
QEL2_LAYOUT(qEL2_VALARM, 13, lAlarmWord1, lAlarmWord2, iAction, iRepeat, lAlarmWord5, pAlarmText1,
            pAlarmText2, pAlarmText3, pAlarmList1, pAlarmList2, pAlarmList3, lAlarmHost1,
            lAlarmHost2);
QEL2_LAYOUT(qEL2_CALPROPS, 23, dtModified, dtCreated, accessFlags, pDescription, pParentCalID,
            pRelativeCalID, pCalMaster, pName, pCharSet, pLanguage, pPrimaryOwner, pExtra,
            pOtherOwners, pChildList, pCategoryList, idHash, pvtFlags, lHostData1, lHostData2,
            lHostData3);
QEL2_LAYOUT(qEL2_VEVENT, 40, dtStart, dtEnd, lExtra, dtModified, dtCreated, iSequence, lGeoLat,
            lGeoLon, flags, rtflags, pSummary, pUID, pDescription, pLocation, pURL, pClass,
            pOrganizerEmail, pCharset, pLanguage, pExtra1, pExtra2, pOrganizer, pAttendees, pAlarms,
            pRDates, pEXDates, pRRules, pExRules, pRelatedTo, pExtraList1, pExtraList2, pExtraList3,
            pCategories, pAttachments, pXProps, pLinkedCalID, RecurrenceID, lSpare, lHostData,
            pPrivate);
QEL2_LAYOUT(qEL2_VTODO, 41, dtStart, dtDue, dtModified, dtCompleted, dtCreated, lExtra, iSequence,
            lExtra2, lGeoLat, lGeoLon, flags, pSummary, pUID, pDescription, pLocation, pURL,
            pLinkedCalID, pClass, pOrganizerEmail, pCharset, pLanguage, pExtra1, pExtra2,
            pOrganizer, pAttendees, pAlarms, pRDates, pEXDates, pRRules, pExRules, pRelatedTo,
            pExtraList1, pCategories, pExtraList2, pExtraList3, pAttachments, pXProps, RecurrenceID,
            lSpare, lHostData, pPrivate);
QEL2_LAYOUT(qEL2_CALDB, 30, dbenv, pEventDB, pToDoDB, pCalPropsDB, pAlarmDB, nCheckpointInterval,
            pszHomeDir, bEnableTransactions, bStop, bServerAlarms, bDebugCheckpointing,
            bCircularLogging, nRunningThreads, nTraceLevel, bAlarmThreadRunning, apMonitors,
            anCounters, bStopAlarmDispatch, bCounters);

// The server's records.
QEL2_LAYOUT(CALDB_CALPROPS, 39, reserved1_2, access_flags, description, parent_calid, reserved6,
            cal_master, name, charset, language, primary_owner, extra, owners, children, categories,
            acl, reserved17_36, host_data1, host_data2, host_data3);
QEL2_LAYOUT(CALDB_ORGANIZER, 7, cal_address, id_a, id_b, sent_by, language, cn, dir);
QEL2_LAYOUT(CALDB_ATTENDEE, 20, cal_address, reserved2, cutype, member, delegated_to,
            delegated_from, role, cn, dir, sent_by, extra_param, cleared1, cleared2, preset_code,
            partstat, cleared3, cleared4, cleared5, cleared6, cleared7);
QEL2_LAYOUT(CALDB_ALARM, 20, alarm_word1, alarm_word2, action, repeat, alarm_kind, alarm_text1,
            alarm_text2, alarm_text3, alarm_list1, alarm_list2, alarm_list3, reserved12_18,
            alarm_host1, alarm_host2);
// Words 1-62, the same in events and to-dos.
#define QEL2_ITEM_COMMON                                                                          \
    flags, reserved2_4, alarm_selector, version, dtstart, sequence, extra, mapped_at, created,    \
        recurrence_id, cleared_word, geo_lat, geo_lon, summary, uid, description, location, url,  \
        class_, organizer_email, charset, language, extra1, organizer, attendees, alarms, rdates, \
        exdates, rrules, exrules, related_to, extra_list1, extra_list2, extra_list3, categories,  \
        attachments, xprops, reserved40_55, linked_calid, host_data, private_data,                \
        default_organizer, reserved60_62
QEL2_LAYOUT(CALDB_EVENT, 64, QEL2_ITEM_COMMON, dtend, extra2);
QEL2_LAYOUT(CALDB_TODO, 66, QEL2_ITEM_COMMON, due, completed, extra2, extra_word2);
