#include "allocation_faults.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <pthread.h>

#include <openssl/crypto.h>

#include <qel2/host_faults.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QEL2_HOOK_MALLOC 0
#else
#define QEL2_HOOK_MALLOC 1
#endif

#if QEL2_HOOK_MALLOC

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}

namespace {

// Only the armed thread's allocations count. The table of its live blocks
// is a fixed array: the hook must not allocate.
constexpr size_t kSlots = 1u << 16;
void* gLive[kSlots];
size_t gLiveCount = 0;
pthread_t gArmedThread;
bool gArmed = false;
uint32_t gSeen = 0;
uint32_t gFailAt = 0;
// Where libcrypto is loaded. OpenSSL (the host's MD5) builds method caches
// and per-thread error records on its failure paths and keeps them for the
// life of the process, so blocks it allocates itself are failed like any
// other but not counted as left behind.
void* gOpenSslBase = nullptr;

bool FromOpenSsl(void* caller) {
    Dl_info info;
    return dladdr(caller, &info) != 0 && info.dli_fbase == gOpenSslBase;
}

bool Mine() { return __atomic_load_n(&gArmed, __ATOMIC_ACQUIRE) && pthread_equal(pthread_self(), gArmedThread); }

size_t Slot(void* block) { return (reinterpret_cast<uintptr_t>(block) >> 4) % kSlots; }

// A freed slot: lookups probe on past it, new blocks may take it.
void* const kFreed = &gLive;

void Remember(void* block) {
    if (block == nullptr) return;
    size_t slot = Slot(block);
    while (gLive[slot] != nullptr && gLive[slot] != kFreed) slot = (slot + 1) % kSlots;
    gLive[slot] = block;
    ++gLiveCount;
}

void Forget(void* block) {
    if (block == nullptr || gLiveCount == 0) return;
    for (size_t slot = Slot(block); gLive[slot] != nullptr; slot = (slot + 1) % kSlots) {
        if (gLive[slot] == block) {
            gLive[slot] = kFreed;
            --gLiveCount;
            return;
        }
    }
}

// True when this allocation is the one to fail.
bool FailThisOne() {
    if (++gSeen != gFailAt) return false;
    errno = ENOMEM;
    return true;
}

}  // namespace

extern "C" void* malloc(size_t size) {
    if (!Mine()) return __libc_malloc(size);
    if (FailThisOne()) return nullptr;
    void* block = __libc_malloc(size);
    if (!FromOpenSsl(__builtin_return_address(0))) Remember(block);
    return block;
}

extern "C" void* calloc(size_t count, size_t size) {
    if (!Mine()) return __libc_calloc(count, size);
    if (FailThisOne()) return nullptr;
    void* block = __libc_calloc(count, size);
    if (!FromOpenSsl(__builtin_return_address(0))) Remember(block);
    return block;
}

extern "C" void* realloc(void* block, size_t size) {
    if (!Mine()) return __libc_realloc(block, size);
    if (FailThisOne()) return nullptr;
    void* moved = __libc_realloc(block, size);
    if (moved != nullptr || size == 0) Forget(block);
    if (!FromOpenSsl(__builtin_return_address(0))) Remember(moved);
    return moved;
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
    std::memset(gLive, 0, sizeof gLive);
    gLiveCount = 0;
    gSeen = 0;
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
    // Still allowed to allocate: the failures were never reached.
    bool injected = qel2host_AllocationAllowed() == 0;
    qel2host_FailAllocationsAfter(-1);
    return {injected, 0};
}

}  // namespace qel2test

#endif
