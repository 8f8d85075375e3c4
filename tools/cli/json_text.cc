#include "json_text.h"

#include <algorithm>

#include "utf8_text.h"

namespace qel2::cli {

nlohmann::json JsonText::Convert(const std::string& field, std::string_view text,
                                 const char* charset) {
    qel2::tools::Utf8Text converted = qel2::tools::ToUtf8(text, charset);
    if (converted.replaced &&
        std::find(replaced_.begin(), replaced_.end(), field) == replaced_.end())
        replaced_.push_back(field);
    return std::move(converted.text);
}

nlohmann::json JsonText::operator()(const std::string& field, std::string_view text) {
    return Convert(field, text, charset_);
}

nlohmann::json JsonText::Plain(const std::string& field, std::string_view text) {
    return Convert(field, text, nullptr);
}

nlohmann::json JsonText::operator()(const std::string& field, const char* text) {
    return text ? (*this)(field, std::string_view(text)) : nlohmann::json(nullptr);
}

nlohmann::json JsonText::List(const std::string& field, const std::vector<std::string>& texts) {
    nlohmann::json list = nlohmann::json::array();
    for (const std::string& text : texts) list.push_back((*this)(field, std::string_view(text)));
    return list;
}

void JsonText::Mark(nlohmann::json& object) const {
    if (!replaced_.empty()) object["text_replaced"] = replaced_;
}

}  // namespace qel2::cli
