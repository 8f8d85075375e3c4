#include "same_content.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace qel2::cli::push {

namespace {

std::vector<std::string> UnfoldedLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty())
            lines.back().append(line.substr(1));
        else if (!line.empty())
            lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

// "ATTENDEE;ROLE=CHAIR;MEMBER=\"a\",\"b\":mailto:x" ->
// "ATTENDEE;MEMBER=a;MEMBER=b;ROLE=CHAIR:mailto:x". Names compare without
// case; quoted text is taken as it is.
std::string CanonicalLine(const std::string& line) {
    std::vector<std::string> parameters;
    std::string name, current, value;
    std::string* target = &name;
    bool quoted = false;
    size_t i = 0;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ';' || c == ':')) {
            if (target == &value) parameters.push_back(current + "=" + value);
            if (c == ':') break;
            current.clear();
            value.clear();
            target = &current;
        } else if (!quoted && c == '=' && target == &current) {
            target = &value;
        } else if (!quoted && c == ',' && target == &value) {
            parameters.push_back(current + "=" + value);
            value.clear();
        } else {
            *target += (target == &value || quoted)
                           ? c
                           : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    std::sort(parameters.begin(), parameters.end());
    std::string canonical = name;
    for (const std::string& parameter : parameters) canonical += ";" + parameter;
    return canonical + ":" + (i < line.size() ? line.substr(i + 1) : "");
}

// One component from lines[at] (its BEGIN line) to its END line.
std::string Canonical(const std::vector<std::string>& lines, size_t& at, bool dropStamp) {
    std::string begin = CanonicalLine(lines[at++]);
    std::vector<std::string> properties, children;
    while (at < lines.size()) {
        std::string line = CanonicalLine(lines[at]);
        if (line.starts_with("BEGIN:")) {
            children.push_back(Canonical(lines, at, dropStamp));
            continue;
        }
        ++at;
        if (line.starts_with("END:")) break;
        if (!(dropStamp && (line.starts_with("DTSTAMP:") || line.starts_with("DTSTAMP;"))))
            properties.push_back(line);
    }
    std::sort(properties.begin(), properties.end());
    std::sort(children.begin(), children.end());
    std::string text = begin + "\n";
    for (const std::string& property : properties) text += property + "\n";
    for (const std::string& child : children) text += child;
    return text + "END\n";
}

std::string Canonical(const std::string& text, bool dropStamp) {
    std::vector<std::string> lines = UnfoldedLines(text);
    std::string canonical;
    for (size_t at = 0; at < lines.size();) canonical += Canonical(lines, at, dropStamp);
    return canonical;
}

}  // namespace

bool SameContent(const std::string& ours, const std::string& theirs) {
    std::string mine = Canonical(ours, false);
    bool stamped = mine.find("\nDTSTAMP") != std::string::npos;
    return !mine.empty() && mine == Canonical(theirs, !stamped);
}

}  // namespace qel2::cli::push
