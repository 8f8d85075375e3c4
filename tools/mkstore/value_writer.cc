// The stored primitives, written.

#include "value_writer.h"

#include <cstring>

namespace qel2::mkstore {

namespace {

uint32_t Count(const array_t* list) { return list == nullptr ? 0 : list->count; }

}  // namespace

void ValueWriter::Word(uint32_t value) {
    bytes_.push_back(static_cast<unsigned char>(value >> 24));
    bytes_.push_back(static_cast<unsigned char>(value >> 16));
    bytes_.push_back(static_cast<unsigned char>(value >> 8));
    bytes_.push_back(static_cast<unsigned char>(value));
}

void ValueWriter::Byte(uint8_t value) { bytes_.push_back(value); }

void ValueWriter::String(const char* text) {
    if (text != nullptr) bytes_.insert(bytes_.end(), text, text + strlen(text));
    bytes_.push_back(0);
}

void ValueWriter::List(const array_t* list) {
    Word(Count(list));
    if (Count(list) == 0) {
        Byte(filler_);
        return;
    }
    Elements(list);
}

void ValueWriter::ListWithoutFiller(const array_t* list) {
    Word(Count(list));
    Elements(list);
}

void ValueWriter::Elements(const array_t* list) {
    for (uint32_t i = 0; i < Count(list); ++i) String(strarray_elementat(list, i));
}

}  // namespace qel2::mkstore
