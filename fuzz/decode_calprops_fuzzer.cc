// Decodes the input as a calprops.db value.

#include <cstdlib>

#include <qel2/codec.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The readers allocate calendar records zeroed; there is no constructor.
    auto* calprops = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    qel2_pvt_DeserializeCalProps(calprops, data, static_cast<uint32_t>(size));
    qel2_FreeCalProps(&calprops);
    return 0;
}
