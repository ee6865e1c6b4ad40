// 32-bit two's-complement arithmetic for the renderer, spelled out so that
// it is defined for every input: products and sums wrap modulo 2^32 as the
// handheld's ALU does, and the one division that can overflow
// (INT32_MIN / -1) gives the wrapped result instead of trapping.
#pragma once

#include <cstdint>

inline int32_t r3d_wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t r3d_wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t r3d_wrap_mul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t r3d_wrap_neg(int32_t a) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
// Truncating division; b must not be 0.
inline int32_t r3d_wrap_div(int32_t a, int32_t b) { return b == -1 ? r3d_wrap_neg(a) : a / b; }
inline int32_t r3d_clamp(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
