// 32-bit two's-complement arithmetic for the renderer, spelled out so that
// it is defined for every input: products and sums wrap modulo 2^32 as the
// handheld's ALU does, and the one division that can overflow
// (INT32_MIN / -1) gives the wrapped result instead of trapping.
//
// The handheld's core has no divide instruction: the edge walk divides by
// the row count through a table of exact reciprocals (r3d_row_quotient).
#pragma once

#include <array>
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

// High word of the 64-bit product a * b. One umull on the handheld's core
// (ARMv4T multiplies 32 x 32 into 64 bits; only 64-bit division is missing).
inline uint32_t r3d_mul_high(uint32_t a, uint32_t b) {
    return static_cast<uint32_t>((uint64_t{a} * b) >> 32);
}

// Division by a row count d = 2 .. R3D_ROW_DIVISORS through its reciprocal:
// for n < 2^31, n / d = high_word(n * magic) >> shift, where
// magic = ceil(2^(31 + l) / d), shift = l - 1 and l = ceil(log2 d). Then
// 2^(31 + l) <= magic * d < 2^(31 + l) + 2^l, which makes the quotient exact
// for every such n (the test checks this bound for each entry).
constexpr uint32_t R3D_ROW_DIVISORS = 1024;
struct R3dRowDivisor {
    uint32_t magic;
    uint32_t shift;
};
constexpr std::array<R3dRowDivisor, R3D_ROW_DIVISORS + 1> r3d_make_row_divisors() {
    std::array<R3dRowDivisor, R3D_ROW_DIVISORS + 1> t{};
    for (uint32_t d = 2; d <= R3D_ROW_DIVISORS; ++d) {
        uint32_t l = 0;
        while ((1u << l) < d) ++l;
        const uint64_t scale = uint64_t{1} << (31 + l);  // built by the compiler, not at run time
        t[d] = R3dRowDivisor{static_cast<uint32_t>((scale + d - 1) / d), l - 1};
    }
    return t;
}
inline constexpr std::array<R3dRowDivisor, R3D_ROW_DIVISORS + 1> r3d_row_divisors =
    r3d_make_row_divisors();

// num / d truncated toward zero, as the 32-bit pattern of the quotient, where
// the divisor d is given as its magnitude (1 .. 2^32 - 1) and its sign.
// Equal to the 64-bit division for every input; row counts above the table
// and num = INT32_MIN take a 32-bit division.
inline uint32_t r3d_row_quotient(int32_t num, uint32_t magnitude, bool negative) {
    const uint32_t n = num < 0 ? 0u - static_cast<uint32_t>(num) : static_cast<uint32_t>(num);
    uint32_t q;
    if (magnitude == 1) {
        q = n;
    } else if (magnitude <= R3D_ROW_DIVISORS && n < 0x80000000u) {
        const R3dRowDivisor& e = r3d_row_divisors[magnitude];
        q = r3d_mul_high(n, e.magic) >> e.shift;
    } else {
        q = n / magnitude;
    }
    return (num < 0) != negative ? 0u - q : q;
}
