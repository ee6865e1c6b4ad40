// The edge walk's division by the row count: the reciprocal table against
// the bound that makes it exact, and the quotient against a 64-bit division.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "render3d/r3d_fixed.h"

namespace {

uint32_t reference(int32_t num, uint32_t magnitude, bool negative) {
    const int64_t d = negative ? -int64_t{magnitude} : int64_t{magnitude};
    return static_cast<uint32_t>(static_cast<uint64_t>(int64_t{num} / d));
}

TEST(RowQuotient, EveryReciprocalMeetsTheExactnessBound) {
    for (uint32_t d = 2; d <= R3D_ROW_DIVISORS; ++d) {
        uint32_t l = 0;
        while ((uint64_t{1} << l) < d) ++l;
        const R3dRowDivisor& e = r3d_row_divisors[d];
        ASSERT_EQ(e.shift, l - 1) << d;
        const uint64_t scale = uint64_t{1} << (31 + l), product = uint64_t{e.magic} * d;
        // 2^(31+l) <= magic * d < 2^(31+l) + 2^l: then the error of n * magic
        // stays below one step of n / d for every n < 2^31.
        EXPECT_GE(product, scale) << d;
        EXPECT_LT(product, scale + (uint64_t{1} << l)) << d;
    }
}

TEST(RowQuotient, EqualsTheWideDivisionForEveryTableRow) {
    std::mt19937 rng(11);
    for (uint32_t d = 1; d <= R3D_ROW_DIVISORS + 8; ++d) {
        // Around 0 and around the multiples of d, the largest numerators with
        // the largest remainder (where a reciprocal rounds up the most), the
        // ends of the range and random 8.8 differences.
        std::vector<int32_t> nums;
        for (int32_t k = -3 * int32_t(d) - 2; k <= 3 * int32_t(d) + 2; ++k) nums.push_back(k);
        // Past the ends the values wrap, as the edge walk's numerators do.
        const auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
        const int64_t top = int64_t{(0x7FFFFFFFu / d) * d} - 1;
        for (int64_t k = 0; k < 3; ++k) {
            nums.push_back(wrap(top - k * d));
            nums.push_back(wrap(-top + k * d));
            nums.push_back(wrap(top + 1 + k));
            nums.push_back(wrap(-top - 1 - k));
        }
        nums.insert(nums.end(), {INT32_MAX, INT32_MIN, INT32_MIN + 1, INT32_MAX - 1});
        for (int i = 0; i < 1500; ++i) {
            nums.push_back(static_cast<int32_t>(rng()));
            nums.push_back(static_cast<int32_t>(
                static_cast<uint32_t>(int32_t(rng() % 131072) - 65536) * 256u));
        }
        for (int32_t num : nums)
            for (bool negative : {false, true})
                ASSERT_EQ(r3d_row_quotient(num, d, negative), reference(num, d, negative))
                    << num << " / " << (negative ? "-" : "") << d;
    }
}

TEST(RowQuotient, RowCountsBeyondTheTable) {
    const uint32_t ds[] = {R3D_ROW_DIVISORS + 1, 4096u,       65535u,      65536u,     0x7FFFFFFFu,
                           0x80000000u,          0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    const int32_t nums[] = {0, 1, -1, 255, -256, 65536 * 256, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (uint32_t d : ds)
        for (int32_t num : nums)
            for (bool negative : {false, true})
                EXPECT_EQ(r3d_row_quotient(num, d, negative), reference(num, d, negative))
                    << num << " / " << (negative ? "-" : "") << d;
    // INT32_MIN / -1 wraps to itself.
    EXPECT_EQ(r3d_row_quotient(INT32_MIN, 1, true), 0x80000000u);
}

}  // namespace
