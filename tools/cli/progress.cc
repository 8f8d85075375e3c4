#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace qel2::cli {

Progress::Progress(std::string what, size_t total)
    : what_(std::move(what)), total_(total), enabled_(isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    if (enabled_) std::fprintf(stderr, "\r\033[K");
}

void Progress::Show(size_t done, const std::string& note) {
    if (!enabled_) return;
    if (total_ > 0)
        std::fprintf(stderr, "\r\033[K%s: %zu/%zu %s", what_.c_str(), done, total_, note.c_str());
    else
        std::fprintf(stderr, "\r\033[K%s: %zu %s", what_.c_str(), done, note.c_str());
    std::fflush(stderr);
}

}  // namespace qel2::cli
