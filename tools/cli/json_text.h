// Stored text and paths for a JSON document, which must be UTF-8: each
// text is converted from its record's charset (tools/common/utf8_text.h),
// bytes that cannot be converted become U+FFFD, and the object names the
// fields where that happened in "text_replaced", so a reader can tell a
// replacement character that was stored from one that stands for lost bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace qel2::cli {

class JsonText {
public:
    // `charset`: the record's pCharset; null for UTF-8 (ids, paths).
    explicit JsonText(const char* charset = nullptr) : charset_(charset) {}

    // The text of `field` as a JSON string; null stays null.
    nlohmann::json operator()(const std::string& field, const char* text);
    nlohmann::json operator()(const std::string& field, std::string_view text);
    // A list of texts, one field name for all.
    nlohmann::json List(const std::string& field, const std::vector<std::string>& texts);
    // Text that is not in the record's charset (ids, paths): taken as UTF-8.
    nlohmann::json Plain(const std::string& field, std::string_view text);

    // Adds "text_replaced": [fields...] to `object` when any text needed it.
    void Mark(nlohmann::json& object) const;
    const std::vector<std::string>& replaced() const { return replaced_; }

private:
    nlohmann::json Convert(const std::string& field, std::string_view text, const char* charset);

    const char* charset_;
    std::vector<std::string> replaced_;
};

}  // namespace qel2::cli
