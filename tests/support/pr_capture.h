// An NSPR file descriptor on a temporary file, and what was written to it.
#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <prio.h>

#include "support/temp_dir.h"

namespace qel2::test {

class PrCapture {
public:
    PrCapture() : path_((dir_.path() / "out.txt").string()) {
        fd_ = PR_Open(path_.c_str(), PR_WRONLY | PR_CREATE_FILE | PR_TRUNCATE, 0600);
        if (fd_ == nullptr) throw std::runtime_error("PR_Open failed");
    }
    ~PrCapture() { PR_Close(fd_); }
    PrCapture(const PrCapture&) = delete;
    PrCapture& operator=(const PrCapture&) = delete;

    PRFileDesc* fd() const { return fd_; }
    // PR_fprintf writes straight through to the file, so it can be read
    // while the descriptor is still open.
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    TempDir dir_;
    std::string path_;
    PRFileDesc* fd_;
};

}  // namespace qel2::test
