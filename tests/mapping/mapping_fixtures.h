// Source records, NSPR output capture and record descriptions shared by
// the mapping tests.
#pragma once

#include <prio.h>

#include <initializer_list>
#include <string>

#include <qel2/mapping.h>

#include "support/temp_dir.h"

namespace qel2test {

// A string array holding copies of `texts`.
array_t* StringList(std::initializer_list<const char*> texts);

// An event or to-do with every string, list, an organizer, three
// attendees and one alarm filled in.
qEL2_VEVENT* FullEvent();
qEL2_VTODO* FullToDo();

// Every field of a host event or to-do, sub-records included, as text;
// `mapped_at` is left out, so that two mappings of one record compare equal.
std::string Describe(const CALDB_EVENT& event);
std::string Describe(const CALDB_TODO& todo);

// An NSPR file descriptor on a temporary file, and what was written to it.
class PrOutput {
public:
    PrOutput();
    ~PrOutput();
    PrOutput(const PrOutput&) = delete;
    PrOutput& operator=(const PrOutput&) = delete;

    PRFileDesc* fd() const { return fd_; }
    std::string text() const;

private:
    TempDir dir_;
    std::string path_;
    PRFileDesc* fd_;
};

}  // namespace qel2test
