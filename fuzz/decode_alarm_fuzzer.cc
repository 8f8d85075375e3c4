// Decodes the input as one alarm block at the start of a value.

#include <cstdlib>

#include <qel2/codec.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qEL2_VALARM* alarm = qel2_NewAlarm();
    const unsigned char* cursor = data;
    int result = qel2_pvt_DeserializeAlarm(alarm, data, &cursor, static_cast<uint32_t>(size));
    // A decoded block must end inside the value.
    if (result == 0 && (cursor < data || cursor > data + size)) abort();
    qel2_FreeAlarm(&alarm);
    return 0;
}
