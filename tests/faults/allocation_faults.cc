// The test executable's malloc, calloc, realloc and free, over glibc's or
// AddressSanitizer's: the library, Berkeley DB, NSPR and the host all
// allocate through them. ThreadSanitizer's allocator cannot be hooked over.
#include "allocation_faults.h"

#include <cerrno>
#include <iterator>

#include <dlfcn.h>
#include <pthread.h>

#include <openssl/crypto.h>

#if !defined(__SANITIZE_THREAD__)

// The hooks run before the sanitizer has started (the dynamic loader
// allocates first), so they are not instrumented.
#define HOOK __attribute__((no_sanitize("address", "thread", "undefined")))
#if defined(__SANITIZE_ADDRESS__)
#define REAL(name) __interceptor_##name
#else
#define REAL(name) __libc_##name
#endif
extern "C" {
void* REAL(malloc)(size_t size);
void* REAL(calloc)(size_t count, size_t size);
void* REAL(realloc)(void* block, size_t size);
void REAL(free)(void* block);
}

namespace {

// Only the armed thread's allocations count. Its live blocks sit in a fixed
// array: the hook must not allocate.
void* gLive[1u << 16];
size_t gLiveCount = 0;
pthread_t gArmedThread;
bool gArmed = false;
uint32_t gSeen = 0, gFailAt = 0;
// OpenSSL (the host's MD5) keeps caches it builds on its failure paths for
// the life of the process: its blocks are failed but not counted as left.
void* gOpenSslBase = nullptr;

HOOK bool Mine() {
    return __atomic_load_n(&gArmed, __ATOMIC_ACQUIRE) &&
           pthread_equal(pthread_self(), gArmedThread);
}

HOOK bool FailThisOne() {
    if (++gSeen != gFailAt) return false;
    errno = ENOMEM;
    return true;
}

HOOK void* Track(void* block, void* caller) {
    Dl_info info;
    const bool openSsl = dladdr(caller, &info) != 0 && info.dli_fbase == gOpenSslBase;
    if (block != nullptr && !openSsl && gLiveCount < std::size(gLive)) gLive[gLiveCount++] = block;
    return block;
}

HOOK void Forget(void* block) {
    for (size_t i = 0; block != nullptr && i < gLiveCount; ++i)
        if (gLive[i] == block) return void(gLive[i] = gLive[--gLiveCount]);
}

}  // namespace

extern "C" HOOK void* malloc(size_t size) {
    if (!Mine()) return REAL(malloc)(size);
    return FailThisOne() ? nullptr : Track(REAL(malloc)(size), __builtin_return_address(0));
}

extern "C" HOOK void* calloc(size_t count, size_t size) {
    if (!Mine()) return REAL(calloc)(count, size);
    return FailThisOne() ? nullptr : Track(REAL(calloc)(count, size), __builtin_return_address(0));
}

extern "C" HOOK void* realloc(void* block, size_t size) {
    if (!Mine()) return REAL(realloc)(block, size);
    if (FailThisOne()) return nullptr;
    void* moved = REAL(realloc)(block, size);
    if (moved != nullptr || size == 0) Forget(block);
    return Track(moved, __builtin_return_address(0));
}

extern "C" HOOK void free(void* block) {
    if (Mine()) Forget(block);
    REAL(free)(block);
}

namespace qel2::test {

bool AllocationFaultsAvailable() { return true; }

void FailAllocation(uint32_t n) {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&CRYPTO_malloc), &info) != 0) gOpenSslBase = info.dli_fbase;
    gLiveCount = gSeen = 0;
    gFailAt = n;
    gArmedThread = pthread_self();
    __atomic_store_n(&gArmed, true, __ATOMIC_RELEASE);
}

AllocationOutcome StopFailingAllocations() {
    __atomic_store_n(&gArmed, false, __ATOMIC_RELEASE);
    return {gSeen >= gFailAt, gLiveCount};
}

}  // namespace qel2::test

#else

namespace qel2::test {
bool AllocationFaultsAvailable() { return false; }
void FailAllocation(uint32_t) {}
AllocationOutcome StopFailingAllocations() { return {false, 0}; }
}  // namespace qel2::test

#endif
