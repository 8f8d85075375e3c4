// Paths of the files inside a store directory.
#pragma once

#include <cstddef>
#include <cstdio>

namespace qel2::store {

// Formats "<dir>/<name>" (or another two-string format) into a fixed
// buffer. A path that does not fit is refused rather than cut: a cut path
// names some other file, which the store must never read, count, rename or
// delete.
template <size_t N>
bool JoinStorePath(char (&buffer)[N], const char* format, const char* dir, const char* name) {
    int needed = snprintf(buffer, N, format, dir ? dir : "", name);
    return needed >= 0 && static_cast<size_t>(needed) < N;
}

}  // namespace qel2::store
