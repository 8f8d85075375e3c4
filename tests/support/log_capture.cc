#include "support/log_capture.h"

#include <qel2/standin_host.h>

namespace qel2::test {

LogCapture::LogCapture() { hxlog_set_sink(&LogCapture::sink, this); }

LogCapture::~LogCapture() { hxlog_set_sink(nullptr, nullptr); }

void LogCapture::sink(void* self, int level, const char* text) {
    auto* capture = static_cast<LogCapture*>(self);
    std::lock_guard lock(capture->mutex_);
    capture->lines_.push_back({level, text});
}

std::vector<LogLine> LogCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void LogCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace qel2::test
