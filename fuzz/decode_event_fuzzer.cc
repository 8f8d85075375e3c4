// Decodes the input as an events.db value.

#include <qel2/codec.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qEL2_VEVENT* event = qel2_NewEvent();
    qel2_pvt_DeserializeEvent(event, data, static_cast<uint32_t>(size));
    qel2_FreeEvent(&event);
    return 0;
}
