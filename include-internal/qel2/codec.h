/*
 * Decoders of the stored values: calendar properties, events and to-dos,
 * and the alarm blocks embedded in events and to-dos.
 *
 * A stored value is a sequence of big-endian 32-bit words (at any byte
 * position), NUL-terminated strings (the lone NUL means absent) and string
 * lists (a count word, then the strings; a count of 0 is followed by one
 * filler byte). Every read is checked against the value's size: a count or
 * a missing terminator that would run past the end fails the decoding with
 * EINVAL (22), leaving a partly filled record that its destructor releases;
 * so does a null record or value. A count larger than the rest of the value
 * could hold fails at once, before anything is allocated. Bytes after the
 * last field are ignored.
 */
#ifndef QEL2_CODEC_H
#define QEL2_CODEC_H

#include <stdint.h>

#include <qel2/export.h>
#include <qel2/records.h>
#include <qel2/results.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Decodes one alarm block at *cursor inside the value [value, value+size)
 * into a fresh alarm; on success *cursor is moved just past the block.
 * 0, qEL2_ERR_NOMEM or qEL2_ERR_INVALID (damaged value). */
QEL2_API int qel2_pvt_DeserializeAlarm(qEL2_VALARM* alarm, const unsigned char* value,
                                       const unsigned char** cursor, uint32_t size);

/* Decodes a calprops.db value into the public part of a zero-filled record;
 * the private tail is left as it was. The value may end right after a zero
 * category count, with or without its filler byte. 0, qEL2_ERR_NOMEM or
 * qEL2_ERR_INVALID. */
QEL2_API int qel2_pvt_DeserializeCalProps(qEL2_CALPROPS* calprops, const unsigned char* value,
                                          uint32_t size);

/* Decodes an events.db value into a record fresh from qel2_NewEvent and
 * marks a link record (dtStart 0, dtEnd 0, pURL set) in rtflags. 0,
 * qEL2_ERR_NOMEM, qEL2_ERR_FAILED (an embedded alarm could not be created or
 * ran out of memory) or qEL2_ERR_INVALID (damage anywhere, inside an alarm
 * block too). */
QEL2_API int qel2_pvt_DeserializeEvent(qEL2_VEVENT* event, const unsigned char* value,
                                       uint32_t size);

/* Decodes a todos.db value into a record fresh from qel2_NewToDo. Results
 * as for an event. */
QEL2_API int qel2_pvt_DeserializeToDo(qEL2_VTODO* todo, const unsigned char* value, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_CODEC_H */
