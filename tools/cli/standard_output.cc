#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <prio.h>

#include <qel2/diag.h>
#include <qel2/owned.h>

#include "cli_error.h"
#include "record_fields.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

PRInt32 WriteToStdout(PRFileDesc*, const void* buffer, PRInt32 amount) {
    const auto size = static_cast<size_t>(amount);
    return std::fwrite(buffer, 1, size, stdout) == size ? amount : -1;
}

[[noreturn]] void Fail(int error) {
    if (error == EPIPE) throw CliError("", kExitClosedPipe);
    throw CliError(std::string("cannot write to standard output") +
                   (error ? ": " + std::string(std::strerror(error)) : ""));
}

// Standard output as an NSPR descriptor for the library's dumps, written
// through stdio as it is: the dumps' stored text is escaped before they
// are printed.
PRFileDesc* DumpOutput() {
    static PRIOMethods methods = [] {
        PRIOMethods copy = *PR_GetDefaultIOMethods();
        copy.write = WriteToStdout;
        return copy;
    }();
    static PRFileDesc* output =
        PR_CreateIOLayerStub(PR_GetUniqueIdentity("qel2caldb stdout"), &methods);
    return output;
}

// Replaces every stored string of a record, and every element of its string
// lists, with its terminal form, allocated as the library's destructors
// expect. With `ownsText` false the record is a shallow copy that still
// points at the original's text: that text is left alone and the copy gets
// lists of its own. The walk always completes, so no field is left shared;
// a failed allocation leaves the field empty and Finish reports it.
class TextEscaper {
public:
    explicit TextEscaper(bool ownsText) : ownsText_(ownsText) {}

    // Numbers and flag words are printed by the dump as numbers.
    template <typename... Any>
    void Word(Any&&...) {}
    template <typename... Any>
    void SignedWord(Any&&...) {}
    template <typename... Any>
    void SignedByte(Any&&...) {}
    template <typename... Any>
    void Flags(Any&&...) {}

    void String(const char*, char*& text) { text = Escaped(text); }

    void List(const char*, array_t*& list) {
        if (list == nullptr) return;
        if (!ownsText_) list = SharedCopy(*list);
        for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
            list->elements[i] = Escaped(static_cast<char*>(list->elements[i]));
    }

    void Organizer(const char*, qEL2_ORGANIZER* organizer) {
        if (organizer != nullptr) qel2::mkstore::VisitOrganizerFields(*this, *organizer);
    }
    void Attendees(const char*, array_t* attendees) {
        for (uint32_t i = 0; attendees != nullptr && i < attendees->count; ++i)
            if (auto* attendee = static_cast<qEL2_ATTENDEE*>(attendees->elements[i]))
                qel2::mkstore::VisitAttendeeFields(*this, *attendee);
    }
    void Alarms(const char*, array_t* alarms) {
        for (uint32_t i = 0; alarms != nullptr && i < alarms->count; ++i)
            if (auto* alarm = static_cast<qEL2_VALARM*>(alarms->elements[i]))
                qel2::mkstore::VisitAlarmFields(*this, *alarm);
    }

    void Finish() const {
        if (failed_) throw std::bad_alloc();
    }

private:
    char* Escaped(char* text) {
        if (text == nullptr) return nullptr;
        char* shown = nullptr;
        try {
            shown = strdup(qel2::tools::TerminalText(text).c_str());
        } catch (const std::bad_alloc&) {}
        failed_ |= shown == nullptr;
        if (ownsText_) std::free(text);
        return shown;
    }

    // A new list holding the same elements, which the walk then replaces.
    array_t* SharedCopy(const array_t& list) {
        array_t* copy = array_new();
        for (uint32_t i = 0; copy != nullptr && i < list.count; ++i)
            if (array_append(copy, list.elements[i]) != 0) {
                // Elements not taken over are dropped from the copy, never shared.
                copy->count = i;
                failed_ = true;
                break;
            }
        failed_ |= copy == nullptr;
        return copy;
    }

    bool ownsText_;
    bool failed_ = false;
};

// Besides their stored fields: the calendar a linked record was read from,
// and the to-do's extra lists.
void EscapeFields(TextEscaper& escaper, qEL2_VEVENT& event) {
    qel2::mkstore::VisitEventFields(escaper, event);
    escaper.String("pLinkedCalID", event.pLinkedCalID);
}
void EscapeFields(TextEscaper& escaper, qEL2_VTODO& todo) {
    qel2::mkstore::VisitToDoFields(escaper, todo);
    escaper.String("pLinkedCalID", todo.pLinkedCalID);
    escaper.List("pExtraList1", todo.pExtraList1);
    escaper.List("pExtraList2", todo.pExtraList2);
    escaper.List("pExtraList3", todo.pExtraList3);
}

template <typename Record>
void Escape(Record& record) {
    TextEscaper escaper(/*ownsText=*/true);
    EscapeFields(escaper, record);
    escaper.Finish();
}

}  // namespace

void CheckOutput() {
    if (!std::ferror(stdout)) return;
    // stdio keeps what it could not write; one more flush tells why.
    errno = 0;
    std::fflush(stdout);
    Fail(errno);
}

void FinishOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0) Fail(errno);
    CheckOutput();
}

void DumpRecord(qEL2_VEVENT& event) {
    Escape(event);
    qel2dbut_PrintEvent(&event, DumpOutput());
}

void DumpRecord(qEL2_VTODO& todo) {
    Escape(todo);
    qel2dbut_PrintToDo(&todo, DumpOutput());
}

void DumpCalendar(const qEL2_CALPROPS& calendar) {
    // A copy whose texts and lists are escaped copies of the calendar's:
    // releasing it leaves the calendar as it was.
    qel2::CalPropsPtr copy = qel2::NewCalProps();
    if (!copy) throw std::bad_alloc();
    *copy = calendar;
    TextEscaper escaper(/*ownsText=*/false);
    qel2::mkstore::VisitCalPropsFields(escaper, *copy);
    escaper.Finish();
    qel2dbut_PrintCalProps(copy.get(), DumpOutput());
}

}  // namespace qel2::cli
