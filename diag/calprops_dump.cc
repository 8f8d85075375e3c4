// Dump of a calendar's properties, one "name = value" line each.

#include <qel2/diag.h>

#include <iterator>

#include <prprf.h>

#include "dump_lines.h"

extern "C" {
const char* gtasCalAccess[6] = {"private", "public", "domain", "control", "primary", ""};
}

namespace {

using namespace qel2::diag;

constexpr size_t kTimeTextSize = 256;

void PrintCalendarTime(PRFileDesc* out, const char* format, uint32_t time) {
    char text[kTimeTextSize];
    cal_strgmtime(text, sizeof text, "%b %d, %Y %H:%M:%S", time);
    PR_fprintf(out, format, text);
}

// Levels 6 to 15 have no name; a damaged value shows as "unknown(<n>)"
// rather than as an empty name that looks like level 5.
void PrintAccess(PRFileDesc* out, const char* format, uint32_t level) {
    char unknown[32];
    const char* name = unknown;
    if (level < std::size(gtasCalAccess)) {
        name = gtasCalAccess[level];
    } else {
        PR_snprintf(unknown, sizeof unknown, "unknown(%u)", level);
    }
    PR_fprintf(out, format, name);
}

// The elements on one line, separated by commas without blanks.
void PrintJoined(PRFileDesc* out, const char* label, const array_t* list) {
    PR_fprintf(out, "%s", label);
    for (uint32_t i = 0; i < Count(list); ++i) {
        PR_fprintf(out, "%s%s", i == 0 ? "" : ",", OrNull(strarray_elementat(list, i)));
    }
}

}  // namespace

extern "C" void qel2dbut_PrintCalProps(const qEL2_CALPROPS* calprops, PRFileDesc* out) {
    if (calprops == nullptr || out == nullptr) return;
    const qEL2_CALPROPS& c = *calprops;
    PrintCalendarTime(out, "\ndtModified = %s", c.dtModified);
    PrintCalendarTime(out, "\ndtCreated = %s", c.dtCreated);
    PrintAccess(out, "\nReadAccess = %s", qel2_CalReadAccess(c.accessFlags));
    PrintAccess(out, "\nWriteAccess = %s", qel2_CalWriteAccess(c.accessFlags));
    PR_fprintf(out, "\nDisable? = %s", qel2_CalDisabled(c.accessFlags) ? "disabled" : "enabled");
    // Absent texts show as empty, the parent as "[root]"; the calendar id
    // has no placeholder.
    PrintText(out, "\nDescription = %s", c.pDescription, "");
    PrintText(out, "\nParentCalID = %s", c.pParentCalID, "[root]");
    PrintText(out, "\nRelativeCalID = %s", c.pRelativeCalID, kNull);
    PrintText(out, "\nCalMaster = %s", c.pCalMaster, "");
    PrintText(out, "\nName = %s", c.pName, "");
    PrintText(out, "\nCharSet = %s", c.pCharSet, "");
    PrintText(out, "\nLanguage = %s", c.pLanguage, "");
    PrintText(out, "\nPrimaryOwner = %s", c.pPrimaryOwner, "");
    PrintJoined(out, "\nOtherOwners = ", c.pOtherOwners);
    PrintJoined(out, "\nChildList = ", c.pChildList);
    PrintJoined(out, "\nCategoryList = ", c.pCategoryList);
    PR_fprintf(out, "\n");
}
