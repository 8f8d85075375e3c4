// Fails one allocation of the calling thread on demand, so that a test can
// walk an operation through every allocation it makes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel2::test {

// False where the allocator cannot be hooked (the ThreadSanitizer build).
bool AllocationFaultsAvailable();
// From now on the `n`th allocation (1-based) of the calling thread fails
// with ENOMEM.
void FailAllocation(uint32_t n);
// Whether the `n`th allocation was reached, and how many blocks allocated
// since FailAllocation are still live.
struct AllocationOutcome {
    bool injected;
    size_t live;
};
AllocationOutcome StopFailingAllocations();

}  // namespace qel2::test
