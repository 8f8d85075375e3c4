// Progress of a long command on standard error, shown only when standard
// error is a terminal, so pipes and logs stay clean.
#pragma once

#include <cstddef>
#include <string>

namespace qel2::cli {

class Progress {
public:
    Progress(std::string what, size_t total);
    ~Progress();  // clears the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // "export: 12/100 jdoe"
    void Show(size_t done, const std::string& note);

private:
    std::string what_;
    size_t total_;
    bool enabled_;
};

}  // namespace qel2::cli
