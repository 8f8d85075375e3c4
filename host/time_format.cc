// UTC time formatting and breakdown of the store's 32-bit timestamps.
#include <qel2/host.h>

#include <ctime>

size_t cal_strgmtime(char* buffer, size_t size, const char* format, uint32_t time) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (format == nullptr) return 0;
    std::time_t seconds = static_cast<std::time_t>(time);
    std::tm parts{};
    if (gmtime_r(&seconds, &parts) == nullptr) return 0;
    size_t length = std::strftime(buffer, size, format, &parts);
    // strftime leaves the buffer undefined when the text does not fit.
    if (length == 0) buffer[0] = '\0';
    return length;
}

struct tm* mtgmtime(const uint32_t* time, struct tm* tm) {
    if (time == nullptr || tm == nullptr) return nullptr;
    std::time_t seconds = static_cast<std::time_t>(*time);
    return gmtime_r(&seconds, tm);
}
