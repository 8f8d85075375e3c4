// Whether the server's copy of a resource says the same as ours. Servers
// re-serialize what they store (property order, parameter order and
// quoting, folding, a list parameter written once with commas or repeated),
// so both are read with libical and compared in a canonical form: per
// component its properties with their parameters sorted, then its
// sub-components, sorted. A DTSTAMP the server added to a component that
// had none (RFC 5545 requires one) is not a difference.
#pragma once

#include <string>

namespace qel2push {

bool SameContent(const std::string& ours, const std::string& theirs);

}  // namespace qel2push
