// The library's log lines as the command sees them: every ERROR line is
// counted, so a read that skipped a record it could not read never ends as
// a success; a stretch of lines can be held back and dropped (the expected
// complaints of a recovery open that then succeeds).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace qel2::cli {

// Installs the watching sink; lines still go where --log says.
void WatchLibraryLog();
// ERROR and CRITICAL ERROR lines written so far, and the last one's text.
size_t LibraryErrorLines();
std::string LastLibraryError();

// Holds lines back from construction on; Release writes (and counts) them,
// the destructor drops what was not released.
class HeldLogLines {
public:
    HeldLogLines();
    ~HeldLogLines();
    HeldLogLines(const HeldLogLines&) = delete;
    HeldLogLines& operator=(const HeldLogLines&) = delete;

    void Release();
    // The last held line of ERROR level or worse, without its line end and
    // the library's module name.
    std::string LastError() const;
    // Whether a held line contains `text`.
    bool Holds(const std::string& text) const;

private:
    friend void Watch(void*, int, const char*);
    std::vector<std::pair<int, std::string>> lines_;
    HeldLogLines* outer_;
};

}  // namespace qel2::cli
