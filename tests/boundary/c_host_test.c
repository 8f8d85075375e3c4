/*
 * A calendar server as the library meets it: a C program built against the
 * public headers alone, whose only services are those of host_services.map.
 * It loads the library with every symbol bound at once, opens the genuine
 * Berkeley DB 4.2 store and reads through the core read with descriptors
 * declared the 4.2 way, followed by guard words the library must not touch.
 */
#define _POSIX_C_SOURCE 200809L /* mkdtemp */

#include <dlfcn.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <qel2/qel2.h>

#ifdef DB_VERSION_MAJOR
#error "the public headers pulled in Berkeley DB's <db.h>"
#endif

/* Berkeley DB 4.2's descriptor, spelled out, and guard words behind it. */
struct guarded_dbt {
    void* data;
    uint32_t size, ulen, dlen, doff, flags;
    uint32_t guard[6];
};
_Static_assert(offsetof(struct guarded_dbt, flags) == offsetof(qEL2_DBT, flags),
               "qEL2_DBT has 4.2's layout");
_Static_assert(offsetof(struct guarded_dbt, guard) == offsetof(qEL2_DBT, flags) + 4,
               "the guard words follow the descriptor's last field");

#define GUARD 0xA5A5A5A5u

static int failures;

static void check(int ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

static void guard(struct guarded_dbt* dbt) {
    memset(dbt, 0, sizeof *dbt);
    for (size_t i = 0; i < sizeof dbt->guard / sizeof dbt->guard[0]; ++i) dbt->guard[i] = GUARD;
}

static int guards_intact(const struct guarded_dbt* dbt) {
    for (size_t i = 0; i < sizeof dbt->guard / sizeof dbt->guard[0]; ++i) {
        if (dbt->guard[i] != GUARD) return 0;
    }
    return 1;
}

/* The library's functions, typed by the public declarations (POSIX's way
 * of turning dlsym's result into a function pointer). */
#define BIND(name)                                 \
    __typeof__(name)* p_##name;                    \
    *(void**)&p_##name = dlsym(library, #name);    \
    if (p_##name == NULL) {                        \
        fprintf(stderr, "FAILED: no %s\n", #name); \
        return 1;                                  \
    }

int main(void) {
    void* library = dlopen(QEL2_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == NULL) {
        fprintf(stderr, "FAILED: dlopen: %s\n", dlerror());
        return 1;
    }
    BIND(qel2_pvt_OpenDB)
    BIND(qel2_pvt_CloseDB)
    BIND(qel2_pvt_ReadCalProps)
    BIND(qel2_pvt_CompHashCore)
    BIND(qel2_pvt_ReadEventCore)
    BIND(qel2_KeyLocateByCalendar)
    BIND(qel2_FreeEvent)
    BIND(qel2_FreeCalProps)

    char dir[] = "/tmp/qel2-c-host-XXXXXX";
    char command[512];
    if (mkdtemp(dir) == NULL) return 1;
    snprintf(command, sizeof command, "tar -xzf '%s' -C '%s'", QEL2_STORE_ARCHIVE, dir);
    if (system(command) != 0) return 1;
    char store[300];
    snprintf(store, sizeof store, "%s/legacy42-store", dir);

    /* 4.2's DB_RECOVER: the store still holds 4.2 region files. */
    check(p_qel2_pvt_OpenDB(0, 0x20, store) == 0, "recovery open");
    check(p_qel2_pvt_CloseDB() == 0, "close after recovery");
    check(p_qel2_pvt_OpenDB(0, 0, store) == 0, "open");

    qEL2_CALPROPS* calendar = NULL;
    check(p_qel2_pvt_ReadCalProps("asmith", &calendar) == 0 && calendar != NULL, "calendar read");
    if (calendar != NULL) {
        unsigned char keyBytes[qEL2_EVENT_KEY_SIZE];
        p_qel2_pvt_CompHashCore(calendar, "evt-1on1", 0, keyBytes);
        struct guarded_dbt key, value;
        guard(&key);
        guard(&value);
        key.data = keyBytes;
        key.size = sizeof keyBytes;
        qEL2_VEVENT* event = NULL;
        check(p_qel2_pvt_ReadEventCore(NULL, (qEL2_DBT*)&key, (qEL2_DBT*)&value, 0, &event) == 0,
              "core read");
        check(event != NULL && event->pSummary != NULL &&
                  strcmp(event->pSummary, "1:1 with Bob") == 0 && event->dtStart == 1137664800u,
              "the event read is the stored one");
        check(guards_intact(&key) && guards_intact(&value), "core read: guard words untouched");
        check(key.flags == 32 && key.data == keyBytes && key.size == 36 && key.ulen == 36,
              "core read: key in the caller's memory, 4.2's DB_DBT_USERMEM (32)");
        check(value.flags == 4 && value.data == NULL,
              "core read: value asked with 4.2's DB_DBT_MALLOC (4) and released");
        p_qel2_FreeEvent(&event);

        unsigned char locateBytes[qEL2_EVENT_KEY_SIZE];
        guard(&key);
        guard(&value);
        check(p_qel2_KeyLocateByCalendar((qEL2_DBT*)&key, (qEL2_DBT*)&value, locateBytes,
                                         calendar) == (qEL2_DBT*)&key,
              "locate returns the key");
        check(guards_intact(&key) && guards_intact(&value), "locate: guard words untouched");
        check(key.flags == 32 && key.size == 16 && key.ulen == 36 && value.flags == 4,
              "locate: 4.2's flag numbers");
        p_qel2_FreeCalProps(&calendar);
    }
    check(p_qel2_pvt_CloseDB() == 0, "close");

    snprintf(command, sizeof command, "rm -rf '%s'", dir);
    if (system(command) != 0) ++failures;
    dlclose(library);
    if (failures == 0) printf("OK\n");
    return failures == 0 ? 0 : 1;
}
