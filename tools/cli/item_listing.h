// What the events and todos commands share: read one calendar's records in
// a window and print them one line each, dumped, or as JSON.
#pragma once

#include "command_line.h"

namespace qel2::cli {

enum class ItemKind { Event, ToDo };

int ListItems(const Arguments& arguments, ItemKind kind);

}  // namespace qel2::cli
