#include "dump_output.h"

#include <cstdio>

namespace qel2cli {

PRFileDesc* DumpOutput() {
    std::fflush(stdout);
    return PR_GetSpecialFD(PR_StandardOutput);
}

}  // namespace qel2cli
