// Stored text as UTF-8. Records carry a charset name (pCharset); text
// written in any other charset is converted before it reaches a JSON
// document, an iCalendar file or a CalDAV server, which all speak UTF-8.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace qel2::tools {

struct Utf8Text {
    std::string text;
    // Some bytes could not be converted and were replaced by U+FFFD.
    bool replaced = false;
};

// Converts `bytes` from `charset` to UTF-8. A null or empty charset, and
// any spelling of UTF-8 or US-ASCII, means the bytes are taken as UTF-8 and
// only checked. A charset iconv does not know is treated the same way, so
// valid UTF-8 passes and everything else is replaced; the caller learns it
// from `replaced`.
Utf8Text ToUtf8(std::string_view bytes, const char* charset);

// Stored text made safe to show on a terminal: control characters (C0, DEL
// and the C1 range), backslashes and bytes that are not UTF-8 are written
// as backslash escapes (\n, \t, \r, \\, \xNN), so stored text can neither
// start a line of its own nor send an escape sequence.
std::string TerminalText(std::string_view bytes);

// The same conversion for many texts of one charset, with one iconv handle
// (an export converts every field of a record from the record's charset).
class Utf8Converter {
public:
    explicit Utf8Converter(const char* charset);
    ~Utf8Converter();
    Utf8Converter(const Utf8Converter&) = delete;
    Utf8Converter& operator=(const Utf8Converter&) = delete;

    Utf8Text Convert(std::string_view bytes);

private:
    static inline const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
    iconv_t cd_ = kNoConversion;  // none: the bytes are taken as UTF-8
};

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace qel2::tools
