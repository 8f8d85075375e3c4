// Builders and output capture for the diagnostics tests.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include <prio.h>

#include <qel2/records.h>

namespace qel2diagtest {

// A string array holding copies of `items`; a null item stays null.
array_t* StringList(std::initializer_list<const char*> items);

// Runs `write` on a fresh NSPR file and returns what it wrote.
std::string Capture(const std::function<void(PRFileDesc*)>& write);

}  // namespace qel2diagtest
