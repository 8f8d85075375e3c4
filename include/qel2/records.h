/*
 * The decoded records of the store: calendar properties, events, to-dos,
 * alarms, organizers and attendees, with their constructors, destructors
 * and flag-word accessors.
 *
 * Records are plain structures of 32-bit fields (pointers are native) in a
 * fixed order that the host reads directly. They are allocated zero-filled
 * with calloc and released with free, string by string, by the destructors.
 */
#ifndef QEL2_RECORDS_H
#define QEL2_RECORDS_H

#include <stdint.h>

#include <qel2/export.h>
#include <qel2/host.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct qEL2_ORGANIZER {
    char* pCalAddress;
    char* pCN;
    char* pDir;
    char* pSentBy;
    char* pLanguage;
} qEL2_ORGANIZER;

typedef struct qEL2_ATTENDEE {
    char* pCalAddress;
    char* pCUType;
    array_t* pMember;
    array_t* pDelegatedTo;
    array_t* pDelegatedFrom;
    char* pRole;
    char* pPartStat;
    char* pCN;
    char* pDir;
    char* pSentBy;
    char* pExtraParam;
    int32_t bRSVP; /* stored as one signed byte, sign-extended */
} qEL2_ATTENDEE;

typedef struct qEL2_VALARM {
    uint32_t lAlarmWord1;
    uint32_t lAlarmWord2;
    uint32_t iAction; /* 0: the action whose recipients are listed */
    uint32_t iRepeat;
    uint32_t lAlarmWord5;
    char* pAlarmText1;
    char* pAlarmText2;
    char* pAlarmText3;
    array_t* pAlarmList1;
    array_t* pAlarmList2;
    array_t* pAlarmList3;
    uint32_t lAlarmHost1; /* not stored; the host's */
    uint32_t lAlarmHost2; /* not stored; the host's */
} qEL2_VALARM;

typedef struct qEL2_CALPROPS {
    uint32_t dtModified;
    uint32_t dtCreated;
    uint32_t accessFlags;
    char* pDescription;
    char* pParentCalID;
    char* pRelativeCalID;
    char* pCalMaster;
    char* pName;
    char* pCharSet;
    char* pLanguage;
    char* pPrimaryOwner;
    char* pExtra;
    array_t* pOtherOwners;
    array_t* pChildList;
    array_t* pCategoryList;
    /* private tail */
    unsigned char idHash[16]; /* MD5 of pRelativeCalID when bHashValid */
    uint32_t pvtFlags;
    uint32_t lHostData1;
    uint32_t lHostData2;
    uint32_t lHostData3;
} qEL2_CALPROPS;

typedef struct qEL2_VEVENT {
    uint32_t dtStart;
    uint32_t dtEnd;
    uint32_t lExtra;
    uint32_t dtModified;
    uint32_t dtCreated;
    uint32_t iSequence;
    int32_t lGeoLat;
    int32_t lGeoLon;
    uint32_t flags;
    uint32_t rtflags;
    char* pSummary;
    char* pUID;
    char* pDescription;
    char* pLocation;
    char* pURL; /* in a link record: id of the calendar holding the event */
    char* pClass;
    char* pOrganizerEmail;
    char* pCharset;
    char* pLanguage;
    char* pExtra1;
    char* pExtra2;
    qEL2_ORGANIZER* pOrganizer;
    array_t* pAttendees; /* of qEL2_ATTENDEE* */
    array_t* pAlarms;    /* of qEL2_VALARM* */
    array_t* pRDates;
    array_t* pEXDates;
    array_t* pRRules;
    array_t* pExRules;
    array_t* pRelatedTo;
    array_t* pExtraList1;
    array_t* pExtraList2;
    array_t* pExtraList3;
    array_t* pCategories;
    array_t* pAttachments;
    array_t* pXProps;
    char* pLinkedCalID;    /* not stored: calendar a linked event was read from */
    uint32_t RecurrenceID; /* not stored: from the record key */
    uint32_t lSpare;
    uint32_t lHostData;
    void* pPrivate;
} qEL2_VEVENT;

typedef struct qEL2_VTODO {
    uint32_t dtStart;
    uint32_t dtDue;
    uint32_t dtModified;
    uint32_t dtCompleted;
    uint32_t dtCreated;
    uint32_t lExtra;
    uint32_t iSequence;
    int32_t lExtra2;
    int32_t lGeoLat;
    int32_t lGeoLon;
    uint32_t flags;
    char* pSummary;
    char* pUID;
    char* pDescription;
    char* pLocation;
    char* pURL;
    char* pLinkedCalID;
    char* pClass;
    char* pOrganizerEmail;
    char* pCharset;
    char* pLanguage;
    char* pExtra1;
    char* pExtra2;
    qEL2_ORGANIZER* pOrganizer;
    array_t* pAttendees;
    array_t* pAlarms;
    array_t* pRDates;
    array_t* pEXDates;
    array_t* pRRules;
    array_t* pExRules;
    array_t* pRelatedTo;
    array_t* pExtraList1;
    array_t* pCategories;
    array_t* pExtraList2;
    array_t* pExtraList3;
    array_t* pAttachments;
    array_t* pXProps;
    uint32_t RecurrenceID;
    uint32_t lSpare;
    uint32_t lHostData;
    void* pPrivate;
} qEL2_VTODO;

/* ---- Flag words ---------------------------------------------------------- */

/* Calendar accessFlags */
#define qEL2_CAL_READ_ACCESS_MASK 0x0000000Fu
#define qEL2_CAL_WRITE_ACCESS_MASK 0x000000F0u
#define qEL2_CAL_WRITE_ACCESS_SHIFT 4
#define qEL2_CAL_FLAG8 0x00000100u
#define qEL2_CAL_DISABLED 0x00000200u
/* Calendar pvtFlags */
#define qEL2_CAL_HASH_VALID 0x00000001u

/* Event flags */
#define qEL2_EVENT_PRIORITY_MASK 0x0000000Fu
#define qEL2_EVENT_START_IS_DATE 0x00000010u
#define qEL2_EVENT_END_IS_DATE 0x00000020u
#define qEL2_EVENT_STATUS_MASK 0x00001F80u
#define qEL2_EVENT_STATUS_SHIFT 7
#define qEL2_EVENT_TOMBSTONE 0x00002000u
#define qEL2_EVENT_FLAG14 0x00004000u
#define qEL2_EVENT_FLAG15 0x00008000u
/* Event rtflags */
#define qEL2_EVENT_RT_LINK 0x00000001u

/* To-do flags */
#define qEL2_TODO_PRIORITY_MASK 0x0000000Fu
#define qEL2_TODO_START_IS_DATE 0x00000010u
#define qEL2_TODO_DUE_IS_DATE 0x00000020u
#define qEL2_TODO_STATUS_MASK 0x00000FC0u
#define qEL2_TODO_STATUS_SHIFT 6
#define qEL2_TODO_TOMBSTONE 0x00001000u
#define qEL2_TODO_FLAG13 0x00002000u
#define qEL2_TODO_LINK 0x00004000u

static inline uint32_t qel2_CalReadAccess(uint32_t accessFlags) {
    return accessFlags & qEL2_CAL_READ_ACCESS_MASK;
}
static inline uint32_t qel2_CalWriteAccess(uint32_t accessFlags) {
    return (accessFlags & qEL2_CAL_WRITE_ACCESS_MASK) >> qEL2_CAL_WRITE_ACCESS_SHIFT;
}
static inline int qel2_CalFlag8(uint32_t accessFlags) {
    return (accessFlags & qEL2_CAL_FLAG8) != 0;
}
static inline int qel2_CalDisabled(uint32_t accessFlags) {
    return (accessFlags & qEL2_CAL_DISABLED) != 0;
}
static inline int qel2_CalHashValid(const qEL2_CALPROPS* cal) {
    return (cal->pvtFlags & qEL2_CAL_HASH_VALID) != 0;
}

static inline uint32_t qel2_EventPriority(uint32_t flags) {
    return flags & qEL2_EVENT_PRIORITY_MASK;
}
static inline int qel2_EventStartIsDate(uint32_t flags) {
    return (flags & qEL2_EVENT_START_IS_DATE) != 0;
}
static inline int qel2_EventEndIsDate(uint32_t flags) {
    return (flags & qEL2_EVENT_END_IS_DATE) != 0;
}
static inline uint32_t qel2_EventStatus(uint32_t flags) {
    return (flags & qEL2_EVENT_STATUS_MASK) >> qEL2_EVENT_STATUS_SHIFT;
}
static inline int qel2_EventTombstone(uint32_t flags) {
    return (flags & qEL2_EVENT_TOMBSTONE) != 0;
}
static inline int qel2_EventFlag14(uint32_t flags) { return (flags & qEL2_EVENT_FLAG14) != 0; }
static inline int qel2_EventFlag15(uint32_t flags) { return (flags & qEL2_EVENT_FLAG15) != 0; }
static inline int qel2_EventIsLink(const qEL2_VEVENT* event) {
    return (event->rtflags & qEL2_EVENT_RT_LINK) != 0;
}

static inline uint32_t qel2_ToDoPriority(uint32_t flags) { return flags & qEL2_TODO_PRIORITY_MASK; }
static inline int qel2_ToDoStartIsDate(uint32_t flags) {
    return (flags & qEL2_TODO_START_IS_DATE) != 0;
}
static inline int qel2_ToDoDueIsDate(uint32_t flags) {
    return (flags & qEL2_TODO_DUE_IS_DATE) != 0;
}
static inline uint32_t qel2_ToDoStatus(uint32_t flags) {
    return (flags & qEL2_TODO_STATUS_MASK) >> qEL2_TODO_STATUS_SHIFT;
}
static inline int qel2_ToDoTombstone(uint32_t flags) { return (flags & qEL2_TODO_TOMBSTONE) != 0; }
static inline int qel2_ToDoFlag13(uint32_t flags) { return (flags & qEL2_TODO_FLAG13) != 0; }
static inline int qel2_ToDoIsLink(uint32_t flags) { return (flags & qEL2_TODO_LINK) != 0; }

/* ---- Constructors: a new zero-filled record, or null (logged) ------------ */

QEL2_API qEL2_VEVENT* qel2_NewEvent(void);
/* lExtra2 -1, lSpare 1, Status 3 */
QEL2_API qEL2_VTODO* qel2_NewToDo(void);
QEL2_API qEL2_VALARM* qel2_NewAlarm(void);
QEL2_API qEL2_ORGANIZER* qel2_NewOrganizer(void);
QEL2_API qEL2_ATTENDEE* qel2_NewAttendee(void);

/* ---- Destructors: release everything the record owns, clear the pointer,
 *      return 0 ---------------------------------------------------------- */

QEL2_API int qel2_FreeOrganizer(qEL2_ORGANIZER** organizer);
QEL2_API int qel2_FreeAttendee(qEL2_ATTENDEE** attendee);
QEL2_API int qel2_FreeAlarm(qEL2_VALARM** alarm);
QEL2_API int qel2_FreeEvent(qEL2_VEVENT** event);
QEL2_API int qel2_FreeToDo(qEL2_VTODO** todo);
QEL2_API int qel2_FreeCalProps(qEL2_CALPROPS** calprops);

/* List destructors: 0; a null address gives 2 (calendar list) or 1, a null
 * list 3 (calendar list) or 2. */
QEL2_API int qel2_FreeCalPropsList(array_t** list);
QEL2_API int qel2_FreeEventList(array_t** list);
QEL2_API int qel2_FreeToDoList(array_t** list);

/* Private releases: only the library's private block (events and to-dos);
 * the others release nothing. All return 0. */
QEL2_API int qel2_pvt_FreeEvent(qEL2_VEVENT** event);
QEL2_API int qel2_pvt_FreeToDo(qEL2_VTODO** todo);
QEL2_API int qel2_pvt_FreeOrganizer(qEL2_ORGANIZER** organizer);
QEL2_API int qel2_pvt_FreeAttendee(qEL2_ATTENDEE** attendee);
QEL2_API int qel2_pvt_FreeCalProps(qEL2_CALPROPS** calprops);
QEL2_API int qel2_pvt_FreeCalPropsList(array_t** list);
QEL2_API int qel2_pvt_FreeEventList(array_t** list);
QEL2_API int qel2_pvt_FreeToDoList(array_t** list);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_RECORDS_H */
