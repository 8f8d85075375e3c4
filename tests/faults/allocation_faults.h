// Fails one allocation of the calling thread on demand, so that a test can
// walk a read through every allocation it makes.
//
// In the normal build the test executable defines malloc, calloc, realloc
// and free over glibc's own (__libc_malloc ...): everything the library,
// Berkeley DB, NSPR and the C++ runtime allocate passes through them.
// Sanitizer builds replace the allocator themselves; there only the host's
// allocating calls (qel2host_FailAllocationsAfter) can be failed, and
// LeakSanitizer checks for leaks at exit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel2test {

// True when the process allocator is hooked (the normal build).
bool HooksProcessAllocator();

// From now on the `n`th allocation (1-based) of the calling thread fails
// with ENOMEM (with the host's injection only: that one and every later).
void FailAllocation(uint32_t n);

struct AllocationOutcome {
    bool injected;  // the `n`th allocation was reached
    size_t live;    // blocks allocated since FailAllocation and not freed (hooked builds)
};
AllocationOutcome StopFailingAllocations();

}  // namespace qel2test
