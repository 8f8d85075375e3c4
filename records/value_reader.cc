// Bounds-checked reads of the stored primitives.

#include "value_reader.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <qel2/log.h>

namespace qel2 {

namespace {

std::atomic<size_t> gDecodedLimit{kDefaultDecodedLimit};
// What the allocator spends on a block beside its bytes.
constexpr size_t kAllocationCost = 16;

}  // namespace

void SetDecodedLimit(size_t bytes) { gDecodedLimit.store(bytes, std::memory_order_relaxed); }

int ValueReader::charge(size_t bytes) {
    decoded_ += bytes + kAllocationCost;
    return decoded_ > gDecodedLimit.load(std::memory_order_relaxed) ? qEL2_ERR_INVALID : 0;
}

int ValueReader::seek(const unsigned char* position) {
    // std::less gives a total order even for a pointer from elsewhere.
    if (std::less<>{}(position, begin_) || std::less<>{}(end_, position)) return qEL2_ERR_INVALID;
    pos_ = position;
    return 0;
}

int ValueReader::skip(size_t bytes) {
    if (bytes > remaining()) return qEL2_ERR_INVALID;
    pos_ += bytes;
    return 0;
}

int ValueReader::peekByte(unsigned char& out) const {
    if (remaining() < 1) return qEL2_ERR_INVALID;
    out = *pos_;
    return 0;
}

int ValueReader::word(uint32_t& out) {
    if (remaining() < 4) return qEL2_ERR_INVALID;
    out = (uint32_t{pos_[0]} << 24) | (uint32_t{pos_[1]} << 16) | (uint32_t{pos_[2]} << 8) |
          uint32_t{pos_[3]};
    pos_ += 4;
    return 0;
}

int ValueReader::word(int32_t& out) {
    uint32_t stored = 0;
    if (int result = word(stored)) return result;
    out = static_cast<int32_t>(stored);
    return 0;
}

int ValueReader::signedByte(int32_t& out) {
    if (remaining() < 1) return qEL2_ERR_INVALID;
    out = static_cast<signed char>(*pos_);
    pos_ += 1;
    return 0;
}

int ValueReader::count(uint32_t& out, size_t minItemSize) {
    uint32_t stored = 0;
    if (int result = word(stored)) return result;
    if (uint64_t{stored} * minItemSize > remaining()) return qEL2_ERR_INVALID;
    out = stored;
    return 0;
}

const unsigned char* ValueReader::terminator() const {
    return static_cast<const unsigned char*>(memchr(pos_, '\0', remaining()));
}

int ValueReader::string(char*& out) {
    const unsigned char* nul = terminator();
    if (nul == nullptr) return qEL2_ERR_INVALID;
    if (nul != pos_) {
        if (int result = charge(static_cast<size_t>(nul - pos_) + 1)) return result;
        out = strdup(reinterpret_cast<const char*>(pos_));
        if (out == nullptr) return qEL2_ERR_NOMEM;
    }
    pos_ = nul + 1;
    return 0;
}

int ValueReader::stringList(array_t*& out) {
    uint32_t items = 0;
    if (int result = count(items, 1)) return result;
    if (items == 0) return skip(1);
    return stringListItems(items, out);
}

int ValueReader::stringListItems(uint32_t count, array_t*& out) {
    out = array_new();
    if (out == nullptr) return qEL2_ERR_NOMEM;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* nul = terminator();
        if (nul == nullptr) return qEL2_ERR_INVALID;
        if (int result = charge(static_cast<size_t>(nul - pos_) + 1 + sizeof(void*))) return result;
        // strarray_append makes the one copy of the element, empty or not.
        if (strarray_append(out, reinterpret_cast<const char*>(pos_)) != 0) return qEL2_ERR_NOMEM;
        pos_ = nul + 1;
    }
    return 0;
}

}  // namespace qel2
