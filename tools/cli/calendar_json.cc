#include "calendar_json.h"

#include <algorithm>

#include <qel2/diag.h>

#include "list_view.h"
#include "time_text.h"

namespace qel2cli {

namespace {

std::vector<std::string> Strings(const array_t* list) {
    std::vector<std::string> strings;
    for (const char* text : StringsView{list}) strings.emplace_back(text ? text : "");
    return strings;
}

nlohmann::json OrNull(const char* text) { return text ? nlohmann::json(text) : nlohmann::json(nullptr); }

}  // namespace

std::vector<std::string> Owners(const qEL2_CALPROPS& calendar) {
    std::vector<std::string> owners;
    if (calendar.pPrimaryOwner) owners.emplace_back(calendar.pPrimaryOwner);
    for (std::string& other : Strings(calendar.pOtherOwners)) owners.push_back(std::move(other));
    return owners;
}

nlohmann::json CalendarJson(const qEL2_CALPROPS& calendar) {
    return {{"id", OrNull(calendar.pRelativeCalID)},
            {"name", OrNull(calendar.pName)},
            {"parent", OrNull(calendar.pParentCalID)},
            {"description", OrNull(calendar.pDescription)},
            {"owners", Owners(calendar)},
            {"children", Strings(calendar.pChildList)},
            {"categories", Strings(calendar.pCategoryList)},
            {"read_access", gtasCalAccess[std::min<uint32_t>(qel2_CalReadAccess(calendar.accessFlags), 5)]},
            {"write_access", gtasCalAccess[std::min<uint32_t>(qel2_CalWriteAccess(calendar.accessFlags), 5)]},
            {"disabled", qel2_CalDisabled(calendar.accessFlags) != 0},
            {"created", IsoTime(calendar.dtCreated)},
            {"modified", IsoTime(calendar.dtModified)}};
}

}  // namespace qel2cli
