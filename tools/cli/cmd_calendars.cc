// calendars STORE [PATTERN]: the calendars, one line each, or their dumps.

#include <cstdio>
#include <map>

#include <nlohmann/json.hpp>

#include <qel2/query.h>
#include <qel2/store_internal.h>

#include "calendar_json.h"
#include "cli_error.h"
#include "commands.h"
#include "json_text.h"
#include "standard_output.h"
#include "store_reads.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

using qel2::tools::TerminalText;

uint32_t FieldMask(const std::string& text) {
    static const std::map<std::string, uint32_t> kFields = {
        {"id", qEL2_SEARCH_CALID}, {"name", qEL2_SEARCH_NAME}, {"owners", qEL2_SEARCH_OWNERS}};
    uint32_t mask = 0;
    for (const std::string& field : SplitList(text)) {
        auto it = kFields.find(field);
        if (it == kFields.end())
            throw UsageError("--fields takes id, name and owners, not \"" + field + "\"");
        mask |= it->second;
    }
    return mask;
}

uint32_t MatchMode(const std::string& text) {
    static const std::map<std::string, uint32_t> kModes = {{"contains", qEL2_MATCH_CONTAINS},
                                                           {"begins", qEL2_MATCH_BEGINS},
                                                           {"ends", qEL2_MATCH_ENDS},
                                                           {"exact", qEL2_MATCH_EXACT}};
    auto it = kModes.find(text);
    if (it == kModes.end())
        throw UsageError("--mode takes contains, begins, ends or exact, not \"" + text + "\"");
    return it->second;
}

std::string Join(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ",") + item;
    return joined;
}

int Calendars(const Arguments& arguments) {
    std::optional<std::string> pattern =
        arguments.operands.empty() ? std::nullopt : std::optional(arguments.operands[0]);
    uint32_t fields = FieldMask(arguments.value("--fields").value_or("id,name,owners"));
    uint32_t mode = MatchMode(arguments.value("--mode").value_or("contains"));
    auto limit = static_cast<size_t>(
        ParseNumber("--limit", arguments.value("--limit").value_or("0"), 0, UINT32_MAX));

    StoreSession store(arguments.store);
    store.Reading(qel2_asDBFiles[qEL2_FILE_CALPROPS]);
    array_t* list = nullptr;
    int result =
        store.db().SearchCalProps(pattern ? pattern->c_str() : nullptr, fields, mode, 0, &list);
    qel2::CalPropsListPtr calendars(list);
    if (result != 0 || !calendars)
        throw CliError("searching the calendars of " + store.directory() +
                       " failed: " + ResultText(result));

    // The library's limit counts in store order; the listing's is by id.
    std::vector<qEL2_CALPROPS*> sorted = SortedById(calendars.get());
    if (limit != 0 && sorted.size() > limit) sorted.resize(limit);
    if (arguments.has("--json")) {
        nlohmann::json json = nlohmann::json::array();
        for (const qEL2_CALPROPS* calendar : sorted) json.push_back(CalendarJson(*calendar));
        std::printf("%s\n", json.dump(2).c_str());
    } else if (arguments.has("--long")) {
        for (const qEL2_CALPROPS* calendar : sorted) DumpCalendar(*calendar);
    } else {
        for (const qEL2_CALPROPS* calendar : sorted)
            std::printf(
                "%-20s  %-28s  %s%s\n",
                TerminalText(calendar->pRelativeCalID ? calendar->pRelativeCalID : "-").c_str(),
                TerminalText(calendar->pName ? calendar->pName : "-").c_str(),
                TerminalText(Join(Owners(*calendar))).c_str(),
                qel2_CalDisabled(calendar->accessFlags) ? "  [disabled]" : "");
    }
    if (sorted.empty() && pattern)
        std::fprintf(stderr, "qel2caldb: no calendar matches \"%s\"\n",
                     TerminalText(*pattern).c_str());
    return 0;
}

}  // namespace

const Command kCalendarsCommand = {
    "calendars",
    "calendars STORE [PATTERN] [--fields id,name,owners] [--mode contains|begins|ends|exact] "
    "[--limit N] "
    "[--long | --json]",
    "list the calendars (id, name, owners), or those matching PATTERN",
    "PATTERN is looked for in the fields --fields names (all three by default):\n"
    "contains, begins and ends ignore letter case, exact does not. Calendars are\n"
    "listed by id, --limit N shows the first N of them; --long prints every field of\n"
    "each, --json prints them as a JSON array.\n",
    {"--fields", "--mode", "--limit"},
    {"--long", "--json"},
    1,
    2,
    Calendars,
};

}  // namespace qel2::cli
