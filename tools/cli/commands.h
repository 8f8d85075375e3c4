// The commands of qel2caldb, one file each (cmd_<name>.cc); events and
// todos share cmd_items.cc.
#pragma once

#include "command_line.h"

namespace qel2::cli {

extern const Command kRecoverCommand;
extern const Command kInfoCommand;
extern const Command kCalendarsCommand;
extern const Command kEventsCommand;
extern const Command kToDosCommand;
extern const Command kShowCommand;
extern const Command kDumpCommand;
extern const Command kVerifyCommand;
extern const Command kExportCommand;
extern const Command kPushCommand;

}  // namespace qel2::cli
