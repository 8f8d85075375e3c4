// Bit helpers for re-packing flag words into the host's layout.
#pragma once

#include <cstdint>

namespace qel2::mapping {

// `mask` when `set` is nonzero, else 0.
constexpr uint32_t BitIf(int set, uint32_t mask) { return set ? mask : 0; }

// `word` with the bits of `mask` replaced by those of `bits`.
constexpr uint32_t ReplaceBits(uint32_t word, uint32_t mask, uint32_t bits) {
    return (word & ~mask) | (bits & mask);
}

}  // namespace qel2::mapping
