#include "ics_line.h"

namespace qel2::cli::exporter {

namespace {

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

// Length of the line break starting at `i` (CR LF, LF or a lone CR), or 0.
size_t LineBreakAt(std::string_view text, size_t i) {
    if (text[i] == '\n') return 1;
    if (text[i] == '\r') return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    return 0;
}

}  // namespace

bool IsIcsToken(std::string_view text) {
    if (text.empty()) return false;
    for (unsigned char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '-'))
            return false;
    return true;
}

void IcsLine::ParamValue(std::string_view value, bool alwaysQuote) {
    std::string escaped;
    bool quote = alwaysQuote;
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char c = value[i];
        if (size_t length = LineBreakAt(value, i)) {
            escaped += "^n";
            i += length - 1;
        } else if (c == '^') {
            escaped += "^^";
        } else if (c == '"') {
            escaped += "^'";
        } else if (IsControl(c)) {
            removedControls_ = true;
        } else {
            if (c == ';' || c == ':' || c == ',') quote = true;
            escaped += static_cast<char>(c);
        }
    }
    if (quote) line_ += '"';
    line_ += escaped;
    if (quote) line_ += '"';
}

IcsLine& IcsLine::Param(std::string_view name, std::string_view value, bool alwaysQuote) {
    line_ += ';';
    line_ += name;
    line_ += '=';
    ParamValue(value, alwaysQuote);
    return *this;
}

IcsLine& IcsLine::ParamList(std::string_view name, const std::vector<std::string>& values) {
    if (values.empty()) return *this;
    line_ += ';';
    line_ += name;
    line_ += '=';
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0) line_ += ',';
        ParamValue(values[i], true);
    }
    return *this;
}

IcsLine& IcsLine::Text(std::string_view value) {
    if (!valueStarted_) line_ += ':';
    valueStarted_ = true;
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char c = value[i];
        if (size_t length = LineBreakAt(value, i)) {
            line_ += "\\n";
            i += length - 1;
        } else if (c == '\\' || c == ';' || c == ',') {
            line_ += '\\';
            line_ += static_cast<char>(c);
        } else if (IsControl(c)) {
            removedControls_ = true;
        } else {
            line_ += static_cast<char>(c);
        }
    }
    return *this;
}

IcsLine& IcsLine::TextList(const std::vector<std::string>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0) line_ += ',';
        Text(values[i]);
    }
    if (values.empty()) Text("");
    return *this;
}

IcsLine& IcsLine::Uri(std::string_view value) {
    if (!valueStarted_) line_ += ':';
    valueStarted_ = true;
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : value) {
        if (IsControl(c) || c == ' ' || c == '\t') {
            line_ += '%';
            line_ += kHex[c >> 4];
            line_ += kHex[c & 15];
            if (c != ' ') removedControls_ = true;
        } else {
            line_ += static_cast<char>(c);
        }
    }
    return *this;
}

IcsLine& IcsLine::Raw(std::string_view value) {
    if (!valueStarted_) line_ += ':';
    valueStarted_ = true;
    line_ += value;
    return *this;
}

void IcsLine::AppendTo(std::string& out) const {
    std::string_view rest = line_;
    if (!valueStarted_) rest = std::string_view{};  // a line without value is never written
    size_t limit = 75;
    while (rest.size() > limit) {
        size_t cut = limit;
        // Never inside a UTF-8 sequence: step back to its first byte.
        while (cut > 0 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) --cut;
        out.append(rest.substr(0, cut));
        out += "\r\n ";
        rest.remove_prefix(cut);
        limit = 74;  // the leading space counts
    }
    out.append(rest);
    if (valueStarted_) out += "\r\n";
}

void AppendBegin(std::string& out, std::string_view component) {
    out += "BEGIN:";
    out += component;
    out += "\r\n";
}

void AppendEnd(std::string& out, std::string_view component) {
    out += "END:";
    out += component;
    out += "\r\n";
}

}  // namespace qel2::cli::exporter
