#include "property_writer.h"

#include "list_view.h"

namespace qel2::cli::exporter {

std::string PropertyWriter::Utf8(const char* stored) {
    if (stored == nullptr) return {};
    qel2::tools::Utf8Text text = converter_.Convert(stored);
    if (text.replaced)
        notes_.Add(Outcome::kChanged, "bytes replaced by U+FFFD",
                   "text not valid in its charset \"" +
                       (charset_.empty() ? std::string("UTF-8") : charset_) + "\"");
    return std::move(text.text);
}

std::vector<std::string> PropertyWriter::Utf8List(const array_t* stored) {
    std::vector<std::string> values;
    for (const char* value : qel2::cli::StringsView{stored}) values.push_back(Utf8(value));
    return values;
}

void PropertyWriter::Emit(const IcsLine& line, std::string_view property) {
    if (line.removedControls())
        notes_.Add(Outcome::kChanged, "control characters removed from " + std::string(property),
                   "iCalendar and XML allow no control characters but tab and line breaks in text; "
                   "URIs carry "
                   "none (percent-encoded)");
    line.AppendTo(out_);
}

void PropertyWriter::Text(std::string_view name, const char* value) {
    if (value == nullptr) return;
    Emit(IcsLine(name).Text(Utf8(value)), name);
}

void PropertyWriter::Uri(std::string_view name, const char* value) {
    if (value == nullptr) return;
    Emit(IcsLine(name).Uri(Utf8(value)), name);
}

void PropertyWriter::Raw(std::string_view name, std::string_view value) {
    IcsLine(name).Raw(value).AppendTo(out_);
}

void PropertyWriter::X(std::string_view name, std::string_view utf8Value) {
    Emit(IcsLine(name).Text(utf8Value), name);
}

void PropertyWriter::XStored(std::string_view name, const char* stored) {
    if (stored != nullptr) X(name, Utf8(stored));
}

void PropertyWriter::XList(std::string_view name, const array_t* stored) {
    for (const char* value : qel2::cli::StringsView{stored}) X(name, Utf8(value));
}

}  // namespace qel2::cli::exporter
