// How the store engine's threads share gCalDB without locks: single words
// read and written atomically, and the polling waits of open and close.
#pragma once

#include <cstdint>

#include <nspr.h>

namespace qel2::store {

inline int32_t LoadWord(const int32_t& word) { return __atomic_load_n(&word, __ATOMIC_ACQUIRE); }

inline void StoreWord(int32_t& word, int32_t value) {
    __atomic_store_n(&word, value, __ATOMIC_RELEASE);
}

// Tests `done`, sleeping `interval` between tests until it holds. After
// every ten sleeps, before the next one, calls `report` so that a person
// watching the log sees why the caller is still waiting. No time limit.
template <class Done, class Report>
void PollUntil(Done done, PRIntervalTime interval, Report report) {
    for (int sleeps = 0; !done(); ++sleeps) {
        if (sleeps > 0 && sleeps % 10 == 0) report();
        PR_Sleep(interval);
    }
}

}  // namespace qel2::store
