// Counting fault injection for the host's allocating calls.

#include <qel2/host_faults.h>

#include <atomic>

namespace {

// Allocations left before the injected failures start; negative: never.
std::atomic<int32_t> gAllowedAllocations{-1};

}  // namespace

void qel2host_FailAllocationsAfter(int32_t successes) { gAllowedAllocations.store(successes); }

int qel2host_AllocationAllowed(void) {
    int32_t left = gAllowedAllocations.load();
    while (left > 0) {
        if (gAllowedAllocations.compare_exchange_weak(left, left - 1)) return 1;
    }
    return left < 0;
}
