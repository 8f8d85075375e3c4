// Fails one allocation of the calling thread on demand, so that a test can
// walk an operation through every allocation it makes.
//
// The test executable defines malloc, calloc, realloc and free over the
// allocator it would otherwise use (glibc's, or AddressSanitizer's):
// everything the library, Berkeley DB, NSPR and the host allocate with them
// passes through, and blocks allocated while armed are counted. Under
// ThreadSanitizer nothing is hooked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel2::test {

// False where the allocator cannot be hooked (the ThreadSanitizer build).
bool AllocationFaultsAvailable();

// From now on the `n`th allocation (1-based) of the calling thread fails
// with ENOMEM.
void FailAllocation(uint32_t n);

struct AllocationOutcome {
    bool injected;  // the `n`th allocation was reached
    size_t live;    // blocks allocated since FailAllocation and not freed
};
AllocationOutcome StopFailingAllocations();

}  // namespace qel2::test
