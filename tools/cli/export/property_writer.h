// Writes the properties of one component: stored strings are converted to
// UTF-8 from the record's charset, each value is written by its type's
// rules (ics_line.h), and whatever had to change on the way is noted for
// the report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <qel2/host.h>

#include "ics_line.h"
#include "migration_report.h"
#include "utf8_text.h"

namespace qel2::cli::exporter {

class PropertyWriter {
public:
    PropertyWriter(std::string& out, RecordNotes& notes, const char* charset)
        : out_(out), notes_(notes), charset_(charset ? charset : ""), converter_(charset) {}

    std::string& out() { return out_; }
    RecordNotes& notes() { return notes_; }

    // A stored string as UTF-8 ("" for null).
    std::string Utf8(const char* stored);
    std::vector<std::string> Utf8List(const array_t* stored);

    // Writes `line`, noting removed control characters under `property`.
    void Emit(const IcsLine& line, std::string_view property);

    // Shorthands for the common cases; null values write nothing.
    void Text(std::string_view name, const char* value);
    void Uri(std::string_view name, const char* value);
    void Raw(std::string_view name, std::string_view value);
    // An X-QEL2-* property holding a stored value as text.
    void X(std::string_view name, std::string_view utf8Value);
    void XStored(std::string_view name, const char* stored);
    void XList(std::string_view name, const array_t* stored);

private:
    std::string& out_;
    RecordNotes& notes_;
    std::string charset_;
    qel2::tools::Utf8Converter converter_;
};

}  // namespace qel2::cli::exporter
