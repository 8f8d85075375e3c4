// Decodes the input as a calprops.db value.

#include <qel2/codec.h>
#include <qel2/owned.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qel2::CalPropsPtr calprops = qel2::NewCalProps();
    qel2_pvt_DeserializeCalProps(calprops.get(), data, static_cast<uint32_t>(size));
    return 0;
}
