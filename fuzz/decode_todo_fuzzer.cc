// Decodes the input as a todos.db value.

#include <qel2/codec.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qEL2_VTODO* todo = qel2_NewToDo();
    qel2_pvt_DeserializeToDo(todo, data, static_cast<uint32_t>(size));
    qel2_FreeToDo(&todo);
    return 0;
}
