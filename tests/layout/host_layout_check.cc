// Proves the word positions of the server's records: field n at byte
// offset 4*(n-1) on the server's 32-bit target. Compiled with the tests
// and, by the layout test, with -m32.

#include <qel2/host_records.h>

#include "layout_assert.h"

QEL2_FIELD_AT(CALDB_CALPROPS, reserved1_2, 1);
QEL2_FIELD_AT(CALDB_CALPROPS, access_flags, 3);
QEL2_FIELD_AT(CALDB_CALPROPS, description, 4);
QEL2_FIELD_AT(CALDB_CALPROPS, parent_calid, 5);
QEL2_FIELD_AT(CALDB_CALPROPS, reserved6, 6);
QEL2_FIELD_AT(CALDB_CALPROPS, cal_master, 7);
QEL2_FIELD_AT(CALDB_CALPROPS, name, 8);
QEL2_FIELD_AT(CALDB_CALPROPS, charset, 9);
QEL2_FIELD_AT(CALDB_CALPROPS, language, 10);
QEL2_FIELD_AT(CALDB_CALPROPS, primary_owner, 11);
QEL2_FIELD_AT(CALDB_CALPROPS, extra, 12);
QEL2_FIELD_AT(CALDB_CALPROPS, owners, 13);
QEL2_FIELD_AT(CALDB_CALPROPS, children, 14);
QEL2_FIELD_AT(CALDB_CALPROPS, categories, 15);
QEL2_FIELD_AT(CALDB_CALPROPS, acl, 16);
QEL2_FIELD_AT(CALDB_CALPROPS, reserved17_36, 17);
QEL2_FIELD_AT(CALDB_CALPROPS, host_data1, 37);
QEL2_FIELD_AT(CALDB_CALPROPS, host_data2, 38);
QEL2_FIELD_AT(CALDB_CALPROPS, host_data3, 39);
QEL2_RECORD_WORDS(CALDB_CALPROPS, 39);

// Words 1-62 come from one macro in both records; one macro checks them.
#define QEL2_ITEM_COMMON_AT(Type)               \
    QEL2_FIELD_AT(Type, flags, 1);              \
    QEL2_FIELD_AT(Type, reserved2_4, 2);        \
    QEL2_FIELD_AT(Type, alarm_selector, 5);     \
    QEL2_FIELD_AT(Type, version, 6);            \
    QEL2_FIELD_AT(Type, dtstart, 7);            \
    QEL2_FIELD_AT(Type, sequence, 8);           \
    QEL2_FIELD_AT(Type, extra, 9);              \
    QEL2_FIELD_AT(Type, mapped_at, 10);         \
    QEL2_FIELD_AT(Type, created, 11);           \
    QEL2_FIELD_AT(Type, recurrence_id, 12);     \
    QEL2_FIELD_AT(Type, cleared_word, 13);      \
    QEL2_FIELD_AT(Type, geo_lat, 14);           \
    QEL2_FIELD_AT(Type, geo_lon, 15);           \
    QEL2_FIELD_AT(Type, summary, 16);           \
    QEL2_FIELD_AT(Type, uid, 17);               \
    QEL2_FIELD_AT(Type, description, 18);       \
    QEL2_FIELD_AT(Type, location, 19);          \
    QEL2_FIELD_AT(Type, url, 20);               \
    QEL2_FIELD_AT(Type, class_, 21);            \
    QEL2_FIELD_AT(Type, organizer_email, 22);   \
    QEL2_FIELD_AT(Type, charset, 23);           \
    QEL2_FIELD_AT(Type, language, 24);          \
    QEL2_FIELD_AT(Type, extra1, 25);            \
    QEL2_FIELD_AT(Type, organizer, 26);         \
    QEL2_FIELD_AT(Type, attendees, 27);         \
    QEL2_FIELD_AT(Type, alarms, 28);            \
    QEL2_FIELD_AT(Type, rdates, 29);            \
    QEL2_FIELD_AT(Type, exdates, 30);           \
    QEL2_FIELD_AT(Type, rrules, 31);            \
    QEL2_FIELD_AT(Type, exrules, 32);           \
    QEL2_FIELD_AT(Type, related_to, 33);        \
    QEL2_FIELD_AT(Type, extra_list1, 34);       \
    QEL2_FIELD_AT(Type, extra_list2, 35);       \
    QEL2_FIELD_AT(Type, extra_list3, 36);       \
    QEL2_FIELD_AT(Type, categories, 37);        \
    QEL2_FIELD_AT(Type, attachments, 38);       \
    QEL2_FIELD_AT(Type, xprops, 39);            \
    QEL2_FIELD_AT(Type, reserved40_55, 40);     \
    QEL2_FIELD_AT(Type, linked_calid, 56);      \
    QEL2_FIELD_AT(Type, host_data, 57);         \
    QEL2_FIELD_AT(Type, private_data, 58);      \
    QEL2_FIELD_AT(Type, default_organizer, 59); \
    QEL2_FIELD_AT(Type, reserved60_62, 60)

QEL2_ITEM_COMMON_AT(CALDB_EVENT);
QEL2_FIELD_AT(CALDB_EVENT, dtend, 63);
QEL2_FIELD_AT(CALDB_EVENT, extra2, 64);
QEL2_RECORD_WORDS(CALDB_EVENT, 64);

QEL2_ITEM_COMMON_AT(CALDB_TODO);
QEL2_FIELD_AT(CALDB_TODO, due, 63);
QEL2_FIELD_AT(CALDB_TODO, completed, 64);
QEL2_FIELD_AT(CALDB_TODO, extra2, 65);
QEL2_FIELD_AT(CALDB_TODO, extra_word2, 66);
QEL2_RECORD_WORDS(CALDB_TODO, 66);

QEL2_FIELD_AT(CALDB_ORGANIZER, cal_address, 1);
QEL2_FIELD_AT(CALDB_ORGANIZER, id_a, 2);
QEL2_FIELD_AT(CALDB_ORGANIZER, id_b, 3);
QEL2_FIELD_AT(CALDB_ORGANIZER, sent_by, 4);
QEL2_FIELD_AT(CALDB_ORGANIZER, language, 5);
QEL2_FIELD_AT(CALDB_ORGANIZER, cn, 6);
QEL2_FIELD_AT(CALDB_ORGANIZER, dir, 7);
QEL2_RECORD_WORDS(CALDB_ORGANIZER, 7);

QEL2_FIELD_AT(CALDB_ATTENDEE, cal_address, 1);
QEL2_FIELD_AT(CALDB_ATTENDEE, reserved2, 2);
QEL2_FIELD_AT(CALDB_ATTENDEE, cutype, 3);
QEL2_FIELD_AT(CALDB_ATTENDEE, member, 4);
QEL2_FIELD_AT(CALDB_ATTENDEE, delegated_to, 5);
QEL2_FIELD_AT(CALDB_ATTENDEE, delegated_from, 6);
QEL2_FIELD_AT(CALDB_ATTENDEE, role, 7);
QEL2_FIELD_AT(CALDB_ATTENDEE, cn, 8);
QEL2_FIELD_AT(CALDB_ATTENDEE, dir, 9);
QEL2_FIELD_AT(CALDB_ATTENDEE, sent_by, 10);
QEL2_FIELD_AT(CALDB_ATTENDEE, extra_param, 11);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared1, 12);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared2, 13);
QEL2_FIELD_AT(CALDB_ATTENDEE, preset_code, 14);
QEL2_FIELD_AT(CALDB_ATTENDEE, partstat, 15);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared3, 16);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared4, 17);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared5, 18);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared6, 19);
QEL2_FIELD_AT(CALDB_ATTENDEE, cleared7, 20);
QEL2_RECORD_WORDS(CALDB_ATTENDEE, 20);

QEL2_FIELD_AT(CALDB_ALARM, alarm_word1, 1);
QEL2_FIELD_AT(CALDB_ALARM, alarm_word2, 2);
QEL2_FIELD_AT(CALDB_ALARM, action, 3);
QEL2_FIELD_AT(CALDB_ALARM, repeat, 4);
QEL2_FIELD_AT(CALDB_ALARM, alarm_kind, 5);
QEL2_FIELD_AT(CALDB_ALARM, alarm_text1, 6);
QEL2_FIELD_AT(CALDB_ALARM, alarm_text2, 7);
QEL2_FIELD_AT(CALDB_ALARM, alarm_text3, 8);
QEL2_FIELD_AT(CALDB_ALARM, alarm_list1, 9);
QEL2_FIELD_AT(CALDB_ALARM, alarm_list2, 10);
QEL2_FIELD_AT(CALDB_ALARM, alarm_list3, 11);
QEL2_FIELD_AT(CALDB_ALARM, reserved12_18, 12);
QEL2_FIELD_AT(CALDB_ALARM, alarm_host1, 19);
QEL2_FIELD_AT(CALDB_ALARM, alarm_host2, 20);
QEL2_RECORD_WORDS(CALDB_ALARM, 20);
