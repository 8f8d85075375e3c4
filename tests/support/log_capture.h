// Captures what the library hands to the host log sink, for assertions.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace qel2::test {

struct LogLine {
    int level;
    std::string text;  // the message as formatted, "caldb: ..." included
};

// Installs itself as the hxlog sink for its lifetime.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogLine> lines() const;
    void clear();

private:
    static void sink(void* self, int level, const char* text);
    mutable std::mutex mutex_;
    std::vector<LogLine> lines_;
};

}  // namespace qel2::test
