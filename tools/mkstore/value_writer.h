// The stored primitives, written: big-endian words, NUL-terminated strings
// (absent or empty as the lone NUL) and counted string lists.
#pragma once

#include <cstdint>
#include <vector>

#include <qel2/host.h>

namespace qel2::mkstore {

class ValueWriter {
public:
    // `filler` is the byte written after the count of an empty list; the
    // readers skip it whatever it holds.
    explicit ValueWriter(uint8_t filler = 0) : filler_(filler) {}

    void Word(uint32_t value);
    void Byte(uint8_t value);
    // Null and "" are both written as the lone NUL.
    void String(const char* text);
    // A null or empty list is a count of 0 and one filler byte.
    void List(const array_t* list);
    // Only the count word of a list, for the calendar's last list, which a
    // store may end right after a count of 0.
    void ListWithoutFiller(const array_t* list);

    std::vector<unsigned char>& bytes() { return bytes_; }

private:
    void Elements(const array_t* list);

    std::vector<unsigned char> bytes_;
    uint8_t filler_;
};

}  // namespace qel2::mkstore
