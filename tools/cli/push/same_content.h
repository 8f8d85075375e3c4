// Whether the server's copy of a resource says the same as ours. Servers
// re-serialize what they store (property order, parameter order and
// quoting, folding, a list parameter written once with commas or as
// several quoted values), so both texts are compared in a canonical form:
// lines unfolded; per component its properties, each with its parameter
// values split and sorted, then its sub-components, all sorted. A DTSTAMP
// the server added to a component that had none (RFC 5545 requires one)
// is not a difference.
//
// libical is not used here: its parser keeps only the first of several
// quoted values of one parameter (MEMBER="a","b").
#pragma once

#include <string>

namespace qel2::cli::push {

bool SameContent(const std::string& ours, const std::string& theirs);

}  // namespace qel2::cli::push
