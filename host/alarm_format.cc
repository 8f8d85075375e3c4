// Expansion of alarm templates (the text of reminder mails and messages).
#include <qel2/host.h>
#include <qel2/records.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

// Appends to a fixed buffer, cutting what does not fit and keeping it
// NUL-terminated.
class Output {
public:
    Output(char* buffer, size_t size) : buffer_(buffer), size_(size) { buffer_[0] = '\0'; }

    void append(const char* text, size_t length) {
        size_t room = size_ - 1 - length_;
        if (length > room) length = room;
        std::memcpy(buffer_ + length_, text, length);
        length_ += length;
        buffer_[length_] = '\0';
    }
    void append(const char* text) {
        if (text != nullptr) append(text, std::strlen(text));
    }
    void append_number(uint32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "%" PRIu32, value);
        append(text);
    }
    bool full() const { return length_ + 1 >= size_; }
    size_t length() const { return length_; }

private:
    char* buffer_;
    size_t size_;
    size_t length_ = 0;
};

const char* const kActionNames[] = {"EMAIL", "DISPLAY", "AUDIO", "PROCEDURE"};

void append_action(Output& out, uint32_t action) {
    if (action < sizeof kActionNames / sizeof kActionNames[0]) {
        out.append(kActionNames[action]);
        return;
    }
    out.append("ACTION-");
    out.append_number(action);
}

void append_trigger(Output& out, uint32_t trigger) {
    if (trigger == 0) {
        out.append("none");
        return;
    }
    char text[32];
    if (cal_strgmtime(text, sizeof text, "%Y%m%dT%H%M%SZ", trigger) > 0) out.append(text);
}

void append_list(Output& out, const array_t* list) {
    if (list == nullptr) return;
    bool first = true;
    for (uint32_t i = 0; i < list->count; ++i) {
        const char* item = strarray_elementat(list, i);
        if (item == nullptr) continue;
        if (!first) out.append(",");
        out.append(item);
        first = false;
    }
}

// Expands one code; false when the code is not known.
bool expand(Output& out, char code, const qEL2_VALARM* alarm) {
    if (code == '%') {
        out.append("%");
        return true;
    }
    if (std::strchr("ATUsdRDM", code) == nullptr) return false;
    if (alarm == nullptr) return true;
    switch (code) {
        case 'A':
            append_action(out, alarm->iAction);
            break;
        case 'T':
            append_trigger(out, alarm->lAlarmWord1);
            break;
        case 'U':
            out.append(alarm->pAlarmText3);
            break;
        case 's':
            out.append(alarm->pAlarmText2);
            break;
        case 'd':
            out.append(alarm->pAlarmText1);
            break;
        case 'R':
            out.append_number(alarm->iRepeat);
            break;
        case 'D':
            out.append_number(alarm->lAlarmWord5);
            break;
        case 'M':
            append_list(out, alarm->pAlarmList1);
            break;
    }
    return true;
}

}  // namespace

size_t cal_strvalarm(char* buffer, size_t size, const char* format,
                     const struct qEL2_VALARM* alarm) {
    if (buffer == nullptr || size == 0) return 0;
    Output out(buffer, size);
    if (format == nullptr) return 0;
    for (const char* p = format; *p != '\0' && !out.full(); ++p) {
        if (*p != '%') {
            const char* next = std::strchr(p, '%');
            size_t length = next != nullptr ? static_cast<size_t>(next - p) : std::strlen(p);
            out.append(p, length);
            p += length - 1;
            continue;
        }
        char code = p[1];
        if (code == '\0') {
            out.append("%");
            break;
        }
        if (!expand(out, code, alarm)) out.append(p, 2);
        ++p;
    }
    return out.length();
}
