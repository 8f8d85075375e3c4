// Makes NSPR's PR_CreateThread fail on demand for the library's calls.
// The test executable defines PR_CreateThread itself, which takes the
// library's call; every call not told to fail goes on to NSPR's own.
#pragma once

namespace qel2::test {

// The next `successes` thread creations succeed, the one after fails with
// PR_INSUFFICIENT_RESOURCES_ERROR, later ones succeed again.
void FailThreadCreationAfter(int successes);

}  // namespace qel2::test
