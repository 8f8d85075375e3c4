#include "library_log.h"

#include <string_view>

#include <qel2/log.h>
#include <qel2/standin_host.h>

namespace qel2::cli {

void Watch(void* context, int level, const char* text);

namespace {

size_t gErrorLines = 0;
std::string gLastError;
HeldLogLines* gHeld = nullptr;

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void Write(int level, const std::string& text) {
    if (level <= qEL2_LOG_ERROR) {
        ++gErrorLines;
        gLastError = Trimmed(text);
    }
    // The default sink writes the line; this one comes back afterwards.
    hxlog_set_sink(nullptr, nullptr);
    hxlog(0, level, "%s", text.c_str());
    hxlog_set_sink(&Watch, nullptr);
}

}  // namespace

void Watch(void*, int level, const char* text) {
    if (gHeld)
        gHeld->lines_.emplace_back(level, text);
    else
        Write(level, text);
}

void WatchLibraryLog() { hxlog_set_sink(&Watch, nullptr); }

size_t LibraryErrorLines() { return gErrorLines; }

std::string LastLibraryError() { return gLastError; }

HeldLogLines::HeldLogLines() : outer_(gHeld) { gHeld = this; }

HeldLogLines::~HeldLogLines() { gHeld = outer_; }

void HeldLogLines::Release() {
    gHeld = outer_;
    for (const auto& [level, text] : lines_) Watch(nullptr, level, text.c_str());
    lines_.clear();
    gHeld = this;
}

std::string HeldLogLines::LastError() const {
    constexpr std::string_view kModule = qEL2_LOG_MODULE ": ";
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        if (it->first > qEL2_LOG_ERROR) continue;
        std::string line = Trimmed(it->second);
        return line.rfind(kModule, 0) == 0 ? line.substr(kModule.size()) : line;
    }
    return "";
}

bool HeldLogLines::Holds(const std::string& text) const {
    for (const auto& line : lines_)
        if (line.second.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace qel2::cli
