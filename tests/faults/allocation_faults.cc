#include "allocation_faults.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include <dlfcn.h>
#include <pthread.h>

#include <openssl/crypto.h>

namespace {

// The allocator underneath: glibc's own entry points, or in sanitizer
// builds the sanitizer's, found behind this executable's definitions.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// dlsym itself may ask for memory before the real functions are known: it
// gets it from here, and such blocks are never freed.
alignas(16) unsigned char gBootstrap[4096];
size_t gBootstrapUsed = 0;
bool FromBootstrap(void* block) { return block >= gBootstrap && block < gBootstrap + sizeof gBootstrap; }

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
void* RealMalloc(size_t size) {
    static auto next = Next<void* (*)(size_t)>("malloc");
    return next(size);
}
void* RealCalloc(size_t count, size_t size) {
    static bool resolving = false;
    if (resolving) {
        size_t bytes = (count * size + 15) & ~size_t{15};
        if (gBootstrapUsed + bytes > sizeof gBootstrap) return nullptr;
        void* block = gBootstrap + gBootstrapUsed;
        gBootstrapUsed += bytes;
        return block;  // static storage: already zero
    }
    resolving = true;
    static auto next = Next<void* (*)(size_t, size_t)>("calloc");
    resolving = false;
    return next(count, size);
}
void* RealRealloc(void* block, size_t size) {
    static auto next = Next<void* (*)(void*, size_t)>("realloc");
    return next(block, size);
}
void RealFree(void* block) {
    static auto next = Next<void (*)(void*)>("free");
    if (!FromBootstrap(block)) next(block);
}
#else
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}
void* RealMalloc(size_t size) { return __libc_malloc(size); }
void* RealCalloc(size_t count, size_t size) { return __libc_calloc(count, size); }
void* RealRealloc(void* block, size_t size) { return __libc_realloc(block, size); }
void RealFree(void* block) { __libc_free(block); }
#endif

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

bool Mine() { return __atomic_load_n(&gArmed, __ATOMIC_ACQUIRE) && pthread_equal(pthread_self(), gArmedThread); }

void Forget(void* block) {
    for (size_t i = 0; block != nullptr && i < gLiveCount; ++i) {
        if (gLive[i] == block) {
            gLive[i] = gLive[--gLiveCount];
            return;
        }
    }
}

// The armed thread's allocation: the chosen one fails, the others are kept
// track of.
template <typename Allocate>
void* Allocation(Allocate allocate, void* caller) {
    if (++gSeen == gFailAt) {
        errno = ENOMEM;
        return nullptr;
    }
    void* block = allocate();
    Dl_info info;
    bool openSsl = dladdr(caller, &info) != 0 && info.dli_fbase == gOpenSslBase;
    if (block != nullptr && !openSsl && gLiveCount < std::size(gLive)) gLive[gLiveCount++] = block;
    return block;
}

}  // namespace

extern "C" void* malloc(size_t size) {
    if (!Mine()) return RealMalloc(size);
    return Allocation([=] { return RealMalloc(size); }, __builtin_return_address(0));
}

extern "C" void* calloc(size_t count, size_t size) {
    if (!Mine()) return RealCalloc(count, size);
    return Allocation([=] { return RealCalloc(count, size); }, __builtin_return_address(0));
}

extern "C" void* realloc(void* block, size_t size) {
    if (!Mine()) return RealRealloc(block, size);
    return Allocation([=] {
        void* moved = RealRealloc(block, size);
        if (moved != nullptr || size == 0) Forget(block);
        return moved;
    }, __builtin_return_address(0));
}

extern "C" void free(void* block) {
    if (Mine()) Forget(block);
    RealFree(block);
}

namespace qel2test {

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

}  // namespace qel2test
