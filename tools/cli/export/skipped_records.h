// The records a calendar walk passes over without a word: a value that
// does not decode, or a link whose calendar or record cannot be read. A
// cursor over the calendar's keys follows the walk; every key it passes
// that the walk did not offer is reported with the reason its value tells
// (a damaged value is left out; a dangling link, which holds no data of
// its own, is reported as dropped).
#pragma once

#include <cstdint>
#include <string>

#include <db.h>

#include <qel2/bdb_holders.h>
#include <qel2/keys.h>
#include <qel2/records.h>

#include "migration_report.h"

namespace qel2::cli::exporter {

enum class RecordKind { kEvent, kToDo };

class SkippedRecords {
public:
    SkippedRecords(RecordKind kind, qEL2_CALPROPS& calendar, CalendarReport& report);
    SkippedRecords(const SkippedRecords&) = delete;
    SkippedRecords& operator=(const SkippedRecords&) = delete;

    // The walk offered the record stored under `uid` and `recurrenceId`:
    // every key before it was passed over.
    void Offered(const char* uid, uint32_t recurrenceId);
    // The walk ended: every key left was passed over.
    void Finish();

private:
    // Steps to the next key of the calendar; false at its end.
    bool Step();
    void ReportCurrent();

    RecordKind kind_;
    qEL2_CALPROPS& calendar_;
    CalendarReport& report_;
    DB* db_;
    qel2::Cursor cursor_;
    unsigned char key_[qEL2_EVENT_KEY_SIZE] = {};
    bool atKey_ = false;  // key_ holds a key of the calendar not yet offered
    bool ended_ = false;
};

}  // namespace qel2::cli::exporter
