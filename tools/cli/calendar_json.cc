#include "calendar_json.h"

#include <algorithm>

#include <qel2/diag.h>

#include "list_view.h"
#include "time_text.h"
#include "utf8_text.h"

namespace qel2cli {

namespace {

class CalendarText {
public:
    explicit CalendarText(const qEL2_CALPROPS& calendar) : converter_(calendar.pCharSet) {}
    std::string operator()(const char* text) { return text ? converter_.Convert(text).text : std::string(); }
    nlohmann::json OrNull(const char* text) { return text ? nlohmann::json((*this)(text)) : nlohmann::json(nullptr); }
    std::vector<std::string> Strings(const array_t* list) {
        std::vector<std::string> strings;
        for (const char* text : StringsView{list}) strings.push_back((*this)(text));
        return strings;
    }

private:
    qel2tools::Utf8Converter converter_;
};

}  // namespace

std::vector<std::string> Owners(const qEL2_CALPROPS& calendar) {
    CalendarText text(calendar);
    std::vector<std::string> owners;
    if (calendar.pPrimaryOwner) owners.push_back(text(calendar.pPrimaryOwner));
    for (std::string& other : text.Strings(calendar.pOtherOwners)) owners.push_back(std::move(other));
    return owners;
}

nlohmann::json CalendarJson(const qEL2_CALPROPS& calendar) {
    CalendarText text(calendar);
    return {{"id", text.OrNull(calendar.pRelativeCalID)},
            {"name", text.OrNull(calendar.pName)},
            {"parent", text.OrNull(calendar.pParentCalID)},
            {"description", text.OrNull(calendar.pDescription)},
            {"owners", Owners(calendar)},
            {"children", text.Strings(calendar.pChildList)},
            {"categories", text.Strings(calendar.pCategoryList)},
            {"read_access", gtasCalAccess[std::min<uint32_t>(qel2_CalReadAccess(calendar.accessFlags), 5)]},
            {"write_access", gtasCalAccess[std::min<uint32_t>(qel2_CalWriteAccess(calendar.accessFlags), 5)]},
            {"disabled", qel2_CalDisabled(calendar.accessFlags) != 0},
            {"created", IsoTime(calendar.dtCreated)},
            {"modified", IsoTime(calendar.dtModified)}};
}

}  // namespace qel2cli
