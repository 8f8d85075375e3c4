#include "allocation_faults.h"

#include <cerrno>
#include <iterator>

#include <dlfcn.h>
#include <pthread.h>

#include <openssl/crypto.h>

#include <qel2/host_faults.h>

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
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
    if (!Mine()) return __libc_malloc(size);
    return Allocation([=] { return __libc_malloc(size); }, __builtin_return_address(0));
}

extern "C" void* calloc(size_t count, size_t size) {
    if (!Mine()) return __libc_calloc(count, size);
    return Allocation([=] { return __libc_calloc(count, size); }, __builtin_return_address(0));
}

extern "C" void* realloc(void* block, size_t size) {
    if (!Mine()) return __libc_realloc(block, size);
    return Allocation([=] {
        void* moved = __libc_realloc(block, size);
        if (moved != nullptr || size == 0) Forget(block);
        return moved;
    }, __builtin_return_address(0));
}

extern "C" void free(void* block) {
    if (Mine()) Forget(block);
    __libc_free(block);
}

namespace qel2test {

bool HooksProcessAllocator() { return true; }

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

#else

namespace qel2test {

bool HooksProcessAllocator() { return false; }

void FailAllocation(uint32_t n) { qel2host_FailAllocationsAfter(static_cast<int32_t>(n) - 1); }

AllocationOutcome StopFailingAllocations() {
    bool injected = qel2host_AllocationAllowed() == 0;  // still allowed: never reached
    qel2host_FailAllocationsAfter(-1);
    return {injected, 0};
}

}  // namespace qel2test

#endif
