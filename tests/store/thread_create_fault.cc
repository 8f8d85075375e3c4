#include "thread_create_fault.h"

#include <atomic>

#include <dlfcn.h>
#include <nspr.h>

namespace {

// Calls left before the failing one; negative: no failure planned.
std::atomic<int> gCallsBeforeFailure{-1};

}  // namespace

namespace qel2::test {

void FailThreadCreationAfter(int successes) { gCallsBeforeFailure = successes; }

}  // namespace qel2::test

extern "C" PRThread* PR_CreateThread(PRThreadType type, void (*start)(void*), void* arg,
                                     PRThreadPriority priority, PRThreadScope scope,
                                     PRThreadState state, PRUint32 stackSize) {
    using CreateFn = decltype(&PR_CreateThread);
    static const auto nsprCreate = reinterpret_cast<CreateFn>(dlsym(RTLD_NEXT, "PR_CreateThread"));
    if (gCallsBeforeFailure.fetch_sub(1) == 0) {
        PR_SetError(PR_INSUFFICIENT_RESOURCES_ERROR, 0);
        return nullptr;
    }
    return nsprCreate(type, start, arg, priority, scope, state, stackSize);
}
