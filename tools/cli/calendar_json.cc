#include "calendar_json.h"

#include <algorithm>

#include <qel2/diag.h>

#include "json_text.h"
#include "list_view.h"
#include "value_text.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

class CalendarText {
public:
    explicit CalendarText(const qEL2_CALPROPS& calendar) : converter_(calendar.pCharSet) {}
    std::string operator()(const char* text) {
        return text ? converter_.Convert(text).text : std::string();
    }
    std::vector<std::string> Strings(const array_t* list) {
        std::vector<std::string> strings;
        for (const char* text : StringsView{list}) strings.push_back((*this)(text));
        return strings;
    }

private:
    qel2::tools::Utf8Converter converter_;
};

}  // namespace

std::vector<std::string> Owners(const qEL2_CALPROPS& calendar) {
    CalendarText text(calendar);
    std::vector<std::string> owners;
    if (calendar.pPrimaryOwner) owners.push_back(text(calendar.pPrimaryOwner));
    for (std::string& other : text.Strings(calendar.pOtherOwners))
        owners.push_back(std::move(other));
    return owners;
}

nlohmann::json CalendarJson(const qEL2_CALPROPS& calendar) {
    JsonText text(calendar.pCharSet);
    const auto strings = [&](const char* field, const array_t* list) {
        std::vector<std::string> raw;
        for (const char* item : StringsView{list}) raw.emplace_back(item);
        return text.List(field, raw);
    };
    std::vector<std::string> owners;
    if (calendar.pPrimaryOwner) owners.emplace_back(calendar.pPrimaryOwner);
    for (const char* other : StringsView{calendar.pOtherOwners}) owners.emplace_back(other);
    nlohmann::json json = {
        {"id", text("id", calendar.pRelativeCalID)},
        {"name", text("name", calendar.pName)},
        {"parent", text("parent", calendar.pParentCalID)},
        {"description", text("description", calendar.pDescription)},
        {"owners", text.List("owners", owners)},
        {"children", strings("children", calendar.pChildList)},
        {"categories", strings("categories", calendar.pCategoryList)},
        {"read_access",
         gtasCalAccess[std::min<uint32_t>(qel2_CalReadAccess(calendar.accessFlags), 5)]},
        {"write_access",
         gtasCalAccess[std::min<uint32_t>(qel2_CalWriteAccess(calendar.accessFlags), 5)]},
        {"disabled", qel2_CalDisabled(calendar.accessFlags) != 0},
        {"created", IsoTime(calendar.dtCreated)},
        {"modified", IsoTime(calendar.dtModified)}};
    text.Mark(json);
    return json;
}

}  // namespace qel2::cli
