// One iCalendar content line, built so that no stored byte can change the
// structure of the file: every value is written by its type's rules and
// the line is folded at 75 octets without cutting a UTF-8 sequence.
//
// The export writes its lines itself rather than through libical's
// serializer: libical 3 writes URI, CAL-ADDRESS and X- values as they are
// (a stored CR LF ends the component), and building a libical tree per
// component was most of the export's time. libical still reads and writes
// the recurrence rules, and the tests read every file back with it.
//
// Values reach this class as UTF-8 (item_text.h converts them first).
// Control characters other than the line breaks TEXT can carry (as \n) are
// removed; `removedControls()` tells the caller so it can report it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qel2::cli::exporter {

class IcsLine {
public:
    explicit IcsLine(std::string_view name) : line_(name) {}

    // A parameter with one value, quoted as RFC 6868 says: ^ " and line
    // breaks become ^^ ^' ^n, and a value holding ; : or , is put in
    // double quotes. `alwaysQuote` for the URI-valued ones (DIR, SENT-BY).
    IcsLine& Param(std::string_view name, std::string_view value, bool alwaysQuote = false);
    // A parameter with a list of values, each quoted (MEMBER, DELEGATED-TO).
    IcsLine& ParamList(std::string_view name, const std::vector<std::string>& values);

    // TEXT: \ ; , and line breaks escaped.
    IcsLine& Text(std::string_view value);
    // A list of TEXT values (CATEGORIES), each escaped, joined by commas.
    IcsLine& TextList(const std::vector<std::string>& values);
    // URI and CAL-ADDRESS: control characters and spaces percent-encoded.
    IcsLine& Uri(std::string_view value);
    // A value the writer built itself (times, numbers, names): taken as is.
    IcsLine& Raw(std::string_view value);

    bool removedControls() const { return removedControls_; }

    // Appends the folded line and its CRLF.
    void AppendTo(std::string& out) const;

private:
    void ParamValue(std::string_view value, bool alwaysQuote);

    std::string line_;
    bool valueStarted_ = false;
    bool removedControls_ = false;
};

// BEGIN:/END: lines.
void AppendBegin(std::string& out, std::string_view component);
void AppendEnd(std::string& out, std::string_view component);

// True for an iCalendar name or token: letters, digits and '-', not empty.
bool IsIcsToken(std::string_view text);

}  // namespace qel2::cli::exporter
