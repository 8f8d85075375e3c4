// Stored text as UTF-8, through glibc's iconv.

#include "utf8_text.h"

#include <cerrno>
#include <iconv.h>
#include <strings.h>

namespace qel2::tools {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at the start of `bytes`, or 0.
size_t Utf8SequenceLength(std::string_view bytes) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    if (at(1) < low || at(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
    return length;
}

// Copies valid UTF-8 and replaces each byte that starts no valid sequence.
Utf8Text RepairUtf8(std::string_view bytes) {
    Utf8Text result;
    result.text.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        if (length == 0) {
            result.text += kReplacement;
            result.replaced = true;
            bytes.remove_prefix(1);
        } else {
            result.text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return result;
}

bool IsUtf8Name(const char* charset) {
    for (const char* name : {"UTF-8", "UTF8", "US-ASCII", "ASCII"})
        if (strcasecmp(charset, name) == 0) return true;
    return false;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        if (length == 0) return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string TerminalText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    const auto escapeByte = [&](unsigned char byte) {
        static constexpr char kHex[] = "0123456789abcdef";
        shown.append("\\x").push_back(kHex[byte >> 4]);
        shown.push_back(kHex[byte & 0xF]);
    };
    while (!bytes.empty()) {
        const auto byte = static_cast<unsigned char>(bytes.front());
        const size_t length = Utf8SequenceLength(bytes);
        const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(bytes[1]) < 0xA0;
        if (length == 0 || c1) {
            escapeByte(byte);
            bytes.remove_prefix(1);
            continue;
        }
        if (length > 1) {
            shown.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
            continue;
        }
        bytes.remove_prefix(1);
        if (byte == '\n')
            shown.append("\\n");
        else if (byte == '\t')
            shown.append("\\t");
        else if (byte == '\r')
            shown.append("\\r");
        else if (byte == '\\')
            shown.append("\\\\");
        else if (byte < 0x20 || byte == 0x7F)
            escapeByte(byte);
        else
            shown.push_back(static_cast<char>(byte));
    }
    return shown;
}

Utf8Converter::Utf8Converter(const char* charset) {
    if (charset != nullptr && *charset != '\0' && !IsUtf8Name(charset))
        cd_ = iconv_open("UTF-8", charset);
}

Utf8Converter::~Utf8Converter() {
    if (cd_ != kNoConversion) iconv_close(cd_);
}

Utf8Text Utf8Converter::Convert(std::string_view bytes) {
    if (cd_ == kNoConversion) return RepairUtf8(bytes);
    Utf8Text result;
    char* in = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    char buffer[1024];
    while (in_left > 0) {
        char* out = buffer;
        size_t out_left = sizeof buffer;
        const size_t done = iconv(cd_, &in, &in_left, &out, &out_left);
        result.text.append(buffer, out - buffer);
        if (done != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (cut at the end): replace one byte and go on.
        result.text += kReplacement;
        result.replaced = true;
        ++in;
        --in_left;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    // The shift state back to the start for the next text.
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return result;
}

Utf8Text ToUtf8(std::string_view bytes, const char* charset) {
    return Utf8Converter(charset).Convert(bytes);
}

}  // namespace qel2::tools
