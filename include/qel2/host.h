/*
 * Services the calendar server provides to the store library: growable
 * arrays, configuration, configuration files, the log sink, MD5, GUIDs and
 * time and alarm formatting. The library calls exactly these (and those of
 * <qel2/host_records.h>), and nothing else of the server.
 *
 * A real server exports these symbols itself. libqel2host is a stand-in with
 * the same calls, used by the command-line host and the tests.
 */
#ifndef QEL2_HOST_H
#define QEL2_HOST_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Growable pointer array ------------------------------------------- */

/* The library reads `count` directly, so it must stay the third field. */
typedef struct array_t {
    void** elements;
    uint32_t capacity;
    uint32_t count;
} array_t;

/* Result of array_locate when no element matches. */
#define ARRAY_NOT_FOUND 0xFFFFFFFFu

/* Compares an element with a key: 0 means equal. */
typedef int (*array_compare_fn)(const void* element, const void* key);

/* A new empty array, or null when memory is exhausted. */
array_t* array_new(void);
/* Appends a pointer; 0 on success, -1 when memory is exhausted or the array
 * is null. */
int array_append(array_t* array, void* element);
/* The element at `index`, or null when the index is out of range. */
void* array_elementat(const array_t* array, uint32_t index);
/* Index of the first element that `compare` finds equal to `key`, or
 * ARRAY_NOT_FOUND. */
uint32_t array_locate(const array_t* array, const void* key, array_compare_fn compare);
/* Empties the array without touching the elements; the element storage is
 * given back, so free() on the array record then releases everything. */
void array_removeall(array_t* array);
/* Frees every element with free(), then the array; clears the pointer. */
void array_free_and_destroy(array_t** array);

/* ---- String arrays: arrays whose elements are owned strings ----------- */

/* Appends a copy of `text` (null is stored as null); 0 or -1. */
int strarray_append(array_t* array, const char* text);
char* strarray_elementat(const array_t* array, uint32_t index);
void strarray_free_and_destroy(array_t** array);

/* ---- Configuration cache ---------------------------------------------- */

typedef struct config_cache config_cache;

/* The process-wide cache of the server's settings. */
config_cache* config_getdefaultcache(void);
/* A switch is on for "1", "yes", "on", "true" (any case) or any other
 * non-zero number, off for "0", "no", "off", "false"; anything else, or a
 * missing key, gives `def`. */
int32_t config_get_switch(config_cache* cache, const char* key, int32_t def);
/* A decimal integer (leading blanks and sign allowed); a missing key or a
 * value that is not a whole number gives `def`. */
int32_t config_get_int(config_cache* cache, const char* key, int32_t def);
/* A malloc'd copy of the value, or of `def` when the key is missing (null
 * when `def` is null too). Release with free(). */
char* config_get_stringcopy(config_cache* cache, const char* key, const char* def);

/* ---- Configuration-file reader ---------------------------------------- */
/*
 * Syntax: `key = "value"` or `key = value` up to the end of the line; blank
 * lines and lines whose first non-blank character is `!` or `#` are
 * ignored. Blanks around keys and unquoted values are dropped. When a key
 * appears twice the later line wins.
 */

typedef struct calconf_file calconf_file;

/* Reads the whole file; 0, or the errno of opening or reading it. */
int calconf_Open(const char* path, calconf_file** handle);
/* A copy of the value, or null when the key is absent; release with
 * PR_Free(). */
char* calconf_GetCopy(calconf_file* handle, const char* key);
/* Frees the handle and clears it; `flags` is reserved and ignored. */
void calconf_Close(calconf_file** handle, int flags);

/* ---- Log sink ---------------------------------------------------------- */
/*
 * hxlog writes one line per message:
 *     2026-01-31T12:00:00Z caldb ERROR: text
 * The message is formatted with printf conventions; when it begins with a
 * module name followed by ": " (the library passes "%s: %s" with "caldb"),
 * the level name is put between the two. One trailing line end of the
 * message is dropped, since the sink ends every line itself.
 */

/* `reserved` is always 0. */
void hxlog(int reserved, int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

/* ---- MD5 (RFC 1321) ----------------------------------------------------- */

typedef struct util_md5_ctx {
    void* state;              /* digest state, owned until util_MD5Final */
    unsigned char digest[16]; /* the result, after util_MD5Final */
} util_md5_ctx;

void util_MD5Init(util_md5_ctx* ctx);
void util_MD5Update(util_md5_ctx* ctx, const void* bytes, size_t length);
/* Leaves the 16-byte digest in ctx->digest and releases the state. */
void util_MD5Final(util_md5_ctx* ctx);

/* ---- GUIDs -------------------------------------------------------------- */

typedef struct CALDB_GUID {
    unsigned char bytes[16];
} CALDB_GUID;

/* Fills `guid` with a new random (version 4) UUID. */
void cal_GenerateGUID(CALDB_GUID* guid);

/* ---- Time formatting ---------------------------------------------------- */

/* Formats a UTC time (seconds since 1970) with a strftime format; returns
 * the length written, 0 when it does not fit (the buffer is then empty). */
size_t cal_strgmtime(char* buffer, size_t size, const char* format, uint32_t time);
/* Breaks the time down in UTC into `tm`; returns `tm`, or null if `time` or
 * `tm` is null. */
struct tm* mtgmtime(const uint32_t* time, struct tm* tm);

/* ---- Alarm formatting --------------------------------------------------- */

struct qEL2_VALARM;

/*
 * Expands an alarm template into `buffer` (always NUL-terminated, cut when
 * the room runs out). Codes:
 *   %A  action: 0 "EMAIL", 1 "DISPLAY", 2 "AUDIO", 3 "PROCEDURE",
 *       any other value "ACTION-<n>"
 *   %T  trigger time, the first alarm word, as "20060116T084500Z" in UTC;
 *       "none" when it is 0
 *   %U  the alarm's unique id, the third alarm text
 *   %s  subject, the second alarm text
 *   %d  description, the first alarm text
 *   %R  repeat count
 *   %D  seconds between repeats, the fifth alarm word
 *   %M  mail recipients, the first alarm list joined with ","
 *   %%  a percent sign
 * An absent text or list expands to nothing; any other code is copied as
 * it stands. Returns the length of the text in the buffer.
 */
size_t cal_strvalarm(char* buffer, size_t size, const char* format,
                     const struct qEL2_VALARM* alarm);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_HOST_H */
