// A bounds-checked cursor over one stored value: big-endian words at any
// byte position, NUL-terminated strings, counted string lists and signed
// bytes. Every read is checked against the end of the value, so a damaged
// value fails with qEL2_ERR_INVALID (22) instead of being read past its end.
#pragma once

#include <cstddef>
#include <cstdint>

#include <qel2/host.h>
#include <qel2/results.h>

namespace qel2 {

// The most bytes the strings and lists decoded from one value may take. A
// value packs an empty string into one byte, and its copy with its list
// slot takes tens; past this limit the value is damaged (qEL2_ERR_INVALID), not
// allocated. Set at each open from "caldb.maxdecodedrecordmb".
inline constexpr size_t kDefaultDecodedLimit = size_t{32} << 20;
void SetDecodedLimit(size_t bytes);

// Each read returns 0, qEL2_ERR_NOMEM (12) when a copy or a list cannot be
// allocated, or qEL2_ERR_INVALID (22) when the value ends before the read does. After
// a failure the cursor means nothing: the decoders stop at the first one.
class ValueReader {
public:
    ValueReader(const unsigned char* value, uint32_t size)
        : begin_(value), pos_(value), end_(value + size) {}

    const unsigned char* begin() const { return begin_; }
    uint32_t size() const { return static_cast<uint32_t>(end_ - begin_); }
    const unsigned char* position() const { return pos_; }
    size_t remaining() const { return static_cast<size_t>(end_ - pos_); }

    // Moves the cursor to `position`, which must lie inside the value.
    int seek(const unsigned char* position);
    int skip(size_t bytes);
    int peekByte(unsigned char& out) const;

    int word(uint32_t& out);
    // A word taken as a signed value (geographic positions, lExtra2).
    int word(int32_t& out);
    // One byte, sign-extended.
    int signedByte(int32_t& out);
    // A count word for items of at least `minItemSize` bytes each. A count
    // that cannot fit in what is left fails here, before anything is
    // allocated or looped over.
    int count(uint32_t& out, size_t minItemSize);
    // A non-empty string becomes an owned copy; the lone NUL leaves `out`
    // untouched (null in a fresh record).
    int string(char*& out);
    // A count and that many strings, or a count of 0 and one filler byte
    // (the list then stays null).
    int stringList(array_t*& out);
    // The `count` strings of a list whose count was already read. The array
    // is stored in `out` before the first element, so a list cut short by a
    // failure is released with its record.
    int stringListItems(uint32_t count, array_t*& out);

    // Several reads of one kind in stored order, stopping at the first
    // failure.
    template <typename... Fields>
    int words(Fields&... fields) {
        return Each([this](auto& field) { return this->word(field); }, fields...);
    }
    template <typename... Fields>
    int strings(Fields&... fields) {
        return Each([this](char*& field) { return this->string(field); }, fields...);
    }
    template <typename... Fields>
    int stringLists(Fields&... fields) {
        return Each([this](array_t*& field) { return this->stringList(field); }, fields...);
    }

private:
    template <typename Read, typename... Fields>
    static int Each(Read read, Fields&... fields) {
        int result = 0;
        static_cast<void>((... && ((result = read(fields)) == 0)));
        return result;
    }

    // The NUL that ends the string at the cursor, or null when the value
    // ends first.
    const unsigned char* terminator() const;
    // Counts `bytes` more of decoded memory; qEL2_ERR_INVALID past the limit.
    int charge(size_t bytes);

    const unsigned char* begin_;
    const unsigned char* pos_;
    const unsigned char* end_;
    size_t decoded_ = 0;
};

}  // namespace qel2
