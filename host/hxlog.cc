// The log sink: one timestamped line per message, to standard error or to
// a file, or every message handed to a sink function instead.
#include <qel2/standin_host.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

namespace {

struct LogState {
    // Recursive so that a sink function may itself log without deadlock.
    std::recursive_mutex mutex;
    hxlog_sink_fn sink = nullptr;
    void* context = nullptr;
    FILE* file = nullptr;  // null: standard error
};

// Never destroyed, so that logging from other static destructors still works.
LogState& state() {
    static LogState* const log_state = new LogState;
    return *log_state;
}

const char* const kLevelNames[] = {
    "unused", "unused", "CRITICAL ERROR", "ERROR", "WARNING", "NOTICE", "INFO", "DEBUG",
};
constexpr int kLevelCount = sizeof kLevelNames / sizeof kLevelNames[0];

std::string format_message(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

bool is_module_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Length of a leading "module: " name, or 0 when the message has none.
size_t module_length(std::string_view message) {
    size_t length = 0;
    while (length < message.size() && is_module_char(message[length])) ++length;
    if (length == 0 || message.substr(length, 2) != ": ") return 0;
    return length;
}

std::string timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    char text[32] = "";
    if (gmtime_r(&now, &parts) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string build_line(int level, std::string_view message) {
    if (!message.empty() && message.back() == '\n') message.remove_suffix(1);
    if (!message.empty() && message.back() == '\r') message.remove_suffix(1);

    std::string line = timestamp();
    line += ' ';
    size_t module = module_length(message);
    if (module != 0) {
        line.append(message.substr(0, module));
        line += ' ';
        message.remove_prefix(module + 2);
    }
    if (level >= 0 && level < kLevelCount) {
        line += kLevelNames[level];
    } else {
        line += "LEVEL" + std::to_string(level);
    }
    line += ": ";
    line.append(message);
    line += '\n';
    return line;
}

}  // namespace

void hxlog(int reserved, int level, const char* format, ...) {
    (void)reserved;
    if (format == nullptr) return;
    try {
        va_list args;
        va_start(args, format);
        std::string message = format_message(format, args);
        va_end(args);

        LogState& log = state();
        std::lock_guard lock(log.mutex);
        if (log.sink != nullptr) {
            log.sink(log.context, level, message.c_str());
            return;
        }
        std::string line = build_line(level, message);
        FILE* out = log.file != nullptr ? log.file : stderr;
        std::fwrite(line.data(), 1, line.size(), out);
        std::fflush(out);
    } catch (const std::bad_alloc&) {
        // Nothing sensible can be logged without memory.
    }
}

void hxlog_set_sink(hxlog_sink_fn sink, void* context) {
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    log.sink = sink;
    log.context = sink != nullptr ? context : nullptr;
}

int hxlog_set_file(const char* path) {
    FILE* opened = nullptr;
    if (path != nullptr) {
        opened = std::fopen(path, "ae");
        if (opened == nullptr) return errno != 0 ? errno : EIO;
    }
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    if (log.file != nullptr) std::fclose(log.file);
    log.file = opened;
    return 0;
}
