// One line of text for an attendee: its address, RSVP and the parameters
// that are present, in iCalendar's parameter style.

#include <qel2/diag.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "dump_lines.h"

namespace {

// Appends one formatted piece. The text grows as needed, so a long
// attendee (many members, long addresses) is never cut.
[[gnu::format(printf, 2, 3)]] void Append(std::string& text, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        const size_t end = text.size();
        text.resize(end + static_cast<size_t>(length));
        // vsnprintf writes a NUL behind the piece; std::string keeps room
        // for it at data()[size()].
        std::vsnprintf(text.data() + end, static_cast<size_t>(length) + 1, format, again);
    }
    va_end(again);
}

// `label` and then the elements in double quotes, comma-separated; nothing
// for an empty list.
void AppendQuotedList(std::string& text, const char* label, const array_t* list) {
    const uint32_t count = qel2::diag::Count(list);
    if (count == 0) return;
    text += label;
    for (uint32_t i = 0; i < count; ++i) {
        Append(text, "%s\"%s\"", i == 0 ? "" : ",",
               qel2::diag::OrNull(strarray_elementat(list, i)));
    }
}

}  // namespace

extern "C" char* qel2dbut_FmtAttendee(const qEL2_ATTENDEE* attendee) {
    if (attendee == nullptr) return nullptr;
    try {
        std::string text;
        Append(text, "%s RSVP=%s", qel2::diag::OrNull(attendee->pCalAddress),
               attendee->bRSVP != 0 ? "TRUE" : "FALSE");
        const struct {
            const char* format;
            const char* value;
        } parameters[] = {
            {";CN=%s", attendee->pCN},
            {";CUTYPE=%s", attendee->pCUType},
            {";PARTSTAT=%s", attendee->pPartStat},
            {";DIR=%s", attendee->pDir},
            {";ROLE=%s", attendee->pRole},
            {";SENT-BY=%s", attendee->pSentBy},
        };
        for (const auto& parameter : parameters) {
            if (parameter.value != nullptr) Append(text, parameter.format, parameter.value);
        }
        AppendQuotedList(text, ";DELEGATE-FROM=", attendee->pDelegatedFrom);
        // The delegated-to list gets its own label, iCalendar's name for the
        // parameter, so that the two delegate lists can be told apart.
        AppendQuotedList(text, ";DELEGATED-TO=", attendee->pDelegatedTo);
        AppendQuotedList(text, ";MEMBER=", attendee->pMember);
        return strdup(text.c_str());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
