/*
 * The calendar server's own record model: calendar properties, events,
 * to-dos, organizers, attendees and alarms, and the access-control entries
 * of a calendar. The store library fills these records (<qel2/mapping.h>);
 * the server creates and releases them.
 *
 * Every field is one 32-bit word on the server's 32-bit target: a time, an
 * integer, a bit-field word or a native pointer. Positions in the comments
 * count words from 1; `reserved...` words are the server's and are never
 * read or written by the library.
 *
 * Ownership: a string field holds a malloc'd string, a string-array field
 * an array_t of malloc'd strings, a record-array field an array_t of host
 * records. The record owns all of them and its release function frees
 * them. `private_data` is the one exception: it is a borrowed word.
 */
#ifndef QEL2_HOST_RECORDS_H
#define QEL2_HOST_RECORDS_H

#include <stdint.h>

#include <qel2/host.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Calendar properties -------------------------------------------------- */

typedef struct CALDB_CALPROPS {
    uint32_t reserved1_2[2];
    uint32_t access_flags; /*  3: bits below */
    char* description;     /*  4 */
    char* parent_calid;    /*  5 */
    uint32_t reserved6;
    char* cal_master;    /*  7 */
    char* name;          /*  8 */
    char* charset;       /*  9 */
    char* language;      /* 10 */
    char* primary_owner; /* 11 */
    char* extra;         /* 12 */
    array_t* owners;     /* 13: string array */
    array_t* children;   /* 14: string array */
    array_t* categories; /* 15: string array */
    array_t* acl;        /* 16: array of CALDB_ACE* */
    uint32_t reserved17_36[20];
    uint32_t host_data1; /* 37 */
    uint32_t host_data2; /* 38 */
    uint32_t host_data3; /* 39 */
} CALDB_CALPROPS;

/* access_flags: bit 10 and bits 12-31 are the server's own. */
#define CALDB_CAL_READ_ACCESS_MASK 0x0000000Fu
#define CALDB_CAL_WRITE_ACCESS_MASK 0x000000F0u
#define CALDB_CAL_WRITE_ACCESS_SHIFT 4
#define CALDB_CAL_FLAG8 0x00000100u
#define CALDB_CAL_DISABLED 0x00000200u
#define CALDB_CAL_FLAG11 0x00000800u

/* Access levels held in read_access and write_access. */
#define CALDB_ACCESS_PRIVATE 0
#define CALDB_ACCESS_PUBLIC 1
#define CALDB_ACCESS_DOMAIN 2
#define CALDB_ACCESS_CONTROL 3
#define CALDB_ACCESS_PRIMARY 4

static inline uint32_t caldb_CalReadAccess(uint32_t access_flags) {
    return access_flags & CALDB_CAL_READ_ACCESS_MASK;
}
static inline uint32_t caldb_CalWriteAccess(uint32_t access_flags) {
    return (access_flags & CALDB_CAL_WRITE_ACCESS_MASK) >> CALDB_CAL_WRITE_ACCESS_SHIFT;
}
static inline int caldb_CalFlag8(uint32_t access_flags) {
    return (access_flags & CALDB_CAL_FLAG8) != 0;
}
static inline int caldb_CalDisabled(uint32_t access_flags) {
    return (access_flags & CALDB_CAL_DISABLED) != 0;
}
static inline int caldb_CalFlag11(uint32_t access_flags) {
    return (access_flags & CALDB_CAL_FLAG11) != 0;
}

/* ---- Organizer, attendee, alarm ------------------------------------------- */

typedef struct CALDB_ORGANIZER {
    char* cal_address; /* 1 */
    char* id_a;        /* 2: the caller's organizer id */
    char* id_b;        /* 3: a second copy of it */
    char* sent_by;     /* 4 */
    char* language;    /* 5 */
    char* cn;          /* 6 */
    char* dir;         /* 7 */
} CALDB_ORGANIZER;

typedef struct CALDB_ATTENDEE {
    char* cal_address; /*  1 */
    uint32_t reserved2;
    char* cutype;            /*  3 */
    array_t* member;         /*  4: string array */
    array_t* delegated_to;   /*  5: string array */
    array_t* delegated_from; /*  6: string array */
    char* role;              /*  7 */
    char* cn;                /*  8 */
    char* dir;               /*  9 */
    char* sent_by;           /* 10 */
    char* extra_param;       /* 11 */
    uint32_t cleared1;       /* 12 */
    uint32_t cleared2;       /* 13 */
    int32_t preset_code;     /* 14: 2 for a mapped attendee */
    char* partstat;          /* 15 */
    uint32_t cleared3;       /* 16 */
    uint32_t cleared4;
    uint32_t cleared5;
    uint32_t cleared6;
    uint32_t cleared7; /* 20 */
} CALDB_ATTENDEE;

typedef struct CALDB_ALARM {
    uint32_t alarm_word1; /*  1 */
    uint32_t alarm_word2; /*  2 */
    uint32_t action;      /*  3 */
    uint32_t repeat;      /*  4 */
    uint32_t alarm_kind;  /*  5: CALDB_ALARM_KIND_... */
    char* alarm_text1;    /*  6 */
    char* alarm_text2;    /*  7 */
    char* alarm_text3;    /*  8 */
    array_t* alarm_list1; /*  9: string array */
    array_t* alarm_list2; /* 10: string array */
    array_t* alarm_list3; /* 11: string array */
    uint32_t reserved12_18[7];
    uint32_t alarm_host1; /* 19 */
    uint32_t alarm_host2; /* 20 */
} CALDB_ALARM;

/* Alarm kinds: a server alarm is dispatched by the server itself, a client
 * alarm is left to the user's calendar program. */
#define CALDB_ALARM_KIND_CLIENT 3
#define CALDB_ALARM_KIND_SERVER 4

/* ---- Events and to-dos ------------------------------------------------------ */

/* Words 1-62, the same in both records, so that code serving both can name
 * the fields alike. `class_` is the CLASS property (`class` is a C++
 * keyword). The caller sets alarm_selector and default_organizer before a
 * mapping; default_organizer is owned like every other string. */
#define CALDB_ITEM_COMMON_FIELDS                                     \
    uint32_t flags; /*  1: bits below */                             \
    uint32_t reserved2_4[3];                                         \
    int32_t alarm_selector;     /*  5: nonzero: server alarms */     \
    uint32_t version;           /*  6: CALDB_RECORD_VERSION */       \
    uint32_t dtstart;           /*  7 */                             \
    uint32_t sequence;          /*  8 */                             \
    uint32_t extra;             /*  9 */                             \
    uint32_t mapped_at;         /* 10: when the record was filled */ \
    uint32_t created;           /* 11 */                             \
    uint32_t recurrence_id;     /* 12 */                             \
    uint32_t cleared_word;      /* 13 */                             \
    int32_t geo_lat;            /* 14: millionths of a degree */     \
    int32_t geo_lon;            /* 15: millionths of a degree */     \
    char* summary;              /* 16 */                             \
    char* uid;                  /* 17 */                             \
    char* description;          /* 18 */                             \
    char* location;             /* 19 */                             \
    char* url;                  /* 20 */                             \
    char* class_;               /* 21 */                             \
    char* organizer_email;      /* 22 */                             \
    char* charset;              /* 23 */                             \
    char* language;             /* 24 */                             \
    char* extra1;               /* 25 */                             \
    CALDB_ORGANIZER* organizer; /* 26 */                             \
    array_t* attendees;         /* 27: array of CALDB_ATTENDEE* */   \
    array_t* alarms;            /* 28: array of CALDB_ALARM* */      \
    array_t* rdates;            /* 29-39: string arrays */           \
    array_t* exdates;                                                \
    array_t* rrules;                                                 \
    array_t* exrules;                                                \
    array_t* related_to;                                             \
    array_t* extra_list1;                                            \
    array_t* extra_list2;                                            \
    array_t* extra_list3;                                            \
    array_t* categories;                                             \
    array_t* attachments;                                            \
    array_t* xprops;                                                 \
    uint32_t reserved40_55[16];                                      \
    char* linked_calid;      /* 56 */                                \
    uint32_t host_data;      /* 57 */                                \
    void* private_data;      /* 58: borrowed, never released */      \
    char* default_organizer; /* 59 */                                \
    uint32_t reserved60_62[3]

typedef struct CALDB_EVENT {
    CALDB_ITEM_COMMON_FIELDS;
    uint32_t dtend; /* 63 */
    char* extra2;   /* 64 */
} CALDB_EVENT;

typedef struct CALDB_TODO {
    CALDB_ITEM_COMMON_FIELDS;
    uint32_t due;        /* 63 */
    uint32_t completed;  /* 64 */
    char* extra2;        /* 65 */
    int32_t extra_word2; /* 66 */
} CALDB_TODO;

/* The record version the server's current model carries. */
#define CALDB_RECORD_VERSION 0x10002u

/* flags of events and to-dos: bits 15-23 and 26-31 are the server's own;
 * to-dos do not use start_is_date2. */
#define CALDB_ITEM_PRIORITY_MASK 0x0000000Fu
#define CALDB_ITEM_START_IS_DATE 0x00000010u
#define CALDB_ITEM_STATUS_MASK 0x000007E0u
#define CALDB_ITEM_STATUS_SHIFT 5
#define CALDB_ITEM_TOMBSTONE 0x00000800u
#define CALDB_ITEM_FLAG12 0x00001000u
#define CALDB_ITEM_FLAG13 0x00002000u
#define CALDB_ITEM_FLAG14 0x00004000u
#define CALDB_ITEM_END_IS_DATE 0x01000000u
#define CALDB_ITEM_START_IS_DATE2 0x02000000u

static inline uint32_t caldb_ItemPriority(uint32_t flags) {
    return flags & CALDB_ITEM_PRIORITY_MASK;
}
static inline int caldb_ItemStartIsDate(uint32_t flags) {
    return (flags & CALDB_ITEM_START_IS_DATE) != 0;
}
static inline uint32_t caldb_ItemStatus(uint32_t flags) {
    return (flags & CALDB_ITEM_STATUS_MASK) >> CALDB_ITEM_STATUS_SHIFT;
}
static inline int caldb_ItemTombstone(uint32_t flags) {
    return (flags & CALDB_ITEM_TOMBSTONE) != 0;
}
static inline int caldb_ItemFlag12(uint32_t flags) { return (flags & CALDB_ITEM_FLAG12) != 0; }
static inline int caldb_ItemFlag13(uint32_t flags) { return (flags & CALDB_ITEM_FLAG13) != 0; }
static inline int caldb_ItemFlag14(uint32_t flags) { return (flags & CALDB_ITEM_FLAG14) != 0; }
static inline int caldb_ItemEndIsDate(uint32_t flags) {
    return (flags & CALDB_ITEM_END_IS_DATE) != 0;
}
static inline int caldb_ItemStartIsDate2(uint32_t flags) {
    return (flags & CALDB_ITEM_START_IS_DATE2) != 0;
}

/* ---- Constructors and releases ---------------------------------------------- */

/* New zero-filled records for the mapping to fill, or null when memory is
 * exhausted. The server releases them; the library never does. */
CALDB_ORGANIZER* caldb_NewOrganizer(void);
CALDB_ATTENDEE* caldb_NewAttendee(void);
CALDB_ALARM* caldb_NewAlarm(void);

/* ---- Access-control entries ------------------------------------------------- */
/*
 * An entry gives one principal a set of rights on a calendar.
 *
 * Principals: a user id (the owners), "@" for every user, and three
 * placeholders the server resolves when it checks access: "@domain" (the
 * users of the primary owner's mail domain), "@owners" (the primary owner
 * and the other owners) and "@primary" (the primary owner alone).
 *
 * Rights, one letter each, in any order:
 *   r  read the calendar's properties, events and to-dos
 *   w  write: create and change events and to-dos, change properties
 *   d  delete events and to-dos
 *   s  schedule: invite the calendar to meetings and book it
 *   f  free/busy: see when the calendar is busy, without the details
 *
 * The three integers:
 *   grant     1 the entry grants the rights, 0 it denies them
 *   scope     1 the entry covers the calendar and everything in it,
 *             0 only the calendar's properties
 *   inherit   1 child calendars inherit the entry, 0 it stops here
 *             (the library passes 1 for read-type rights, 0 for "wd")
 */
typedef struct CALDB_ACE {
    int32_t grant;
    int32_t scope;
    int32_t inherit;
    char* principal;
    char* rights;
} CALDB_ACE;

/* A new entry with copies of the texts, or null when memory is exhausted,
 * a text is null or empty, `rights` holds a letter outside "rwdsf" or an
 * integer is neither 0 nor 1. */
CALDB_ACE* acl_caldb_ace_NEW(int32_t grant, int32_t scope, int32_t inherit, const char* principal,
                             const char* rights);

/*
 * Replaces *acl with a new list holding the entries that the old read and
 * write levels of an access_flags word stand for (bits 0-3 and 4-7; the
 * other bits are not looked at). The previous list, if any, is released.
 * Read entries carry "r" and inherit 1, write entries "w" and inherit 0:
 *
 *   level        principal    who gets the right
 *   0 private    "@owners"    the owners only
 *   1 public     "@"          every user
 *   2 domain     "@domain"    every user of the primary owner's domain
 *   3 control    no entry     only users given their own entries
 *   4 primary    "@primary"   the primary owner alone
 *   5-15         no entry     nobody (unknown levels grant nothing)
 *
 * 0 on success; -1 when memory is exhausted: the list then lacks entries,
 * or *acl is null when the list itself could not be made. An entry for read level 1 ("@" "r") thus makes a calendar
 * readable by everyone, while its write level still decides who may change
 * it.
 */
int acl_misc_read_write_bits_to_acl(uint32_t bits, array_t** acl);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_HOST_RECORDS_H */
