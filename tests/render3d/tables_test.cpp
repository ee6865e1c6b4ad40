// The lookup tables against identities that do not depend on how they are made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "render3d/r3d.h"
#include "tests/render3d/r3d_test_support.h"

namespace {

class Tables : public ::testing::Test {
  protected:
    void SetUp() override { r3d_test_init(); }
};

int fixed88(float f) { return int(f * 256.0f); }

TEST_F(Tables, SineAndCosineLieOnTheUnitCircle) {
    for (int i = 0; i < 256; ++i) {
        const float s = r3d_sin_table[i], c = r3d_cos_table[i];
        EXPECT_NEAR(s * s + c * c, 1.0f, 1e-6f) << i;
        // In 8.8 each value truncates by less than 1, so the sum of squares
        // falls short of 65536 by less than 2 * 2 * 256.
        const int s8 = fixed88(s), c8 = fixed88(c);
        EXPECT_LE(std::abs(s8 * s8 + c8 * c8 - 65536), 1024) << i;
    }
}

TEST_F(Tables, QuadrantSymmetryAndPeriod) {
    for (int i = 0; i < 256; ++i) {
        EXPECT_NEAR(r3d_sin_table[(i + 64) & 255], r3d_cos_table[i], 1e-6f) << i;
        EXPECT_NEAR(r3d_sin_table[(128 - i) & 255], r3d_sin_table[i], 1e-6f) << i;
        EXPECT_NEAR(r3d_sin_table[(256 - i) & 255], -r3d_sin_table[i], 1e-6f) << i;
        EXPECT_NEAR(r3d_cos_table[(256 - i) & 255], r3d_cos_table[i], 1e-6f) << i;
    }
    // The quarter turns are exact in single precision.
    EXPECT_EQ(r3d_sin_table[0], 0.0f);
    EXPECT_EQ(r3d_cos_table[0], 1.0f);
    EXPECT_EQ(r3d_sin_table[64], 1.0f);
    EXPECT_EQ(r3d_cos_table[128], -1.0f);
    EXPECT_EQ(r3d_sin_table[192], -1.0f);
}

TEST_F(Tables, ReciprocalTimesDivisorIsJustBelowOne) {
    for (int d = -1024; d <= 1023; ++d) {
        const int r = r3d_recip_table[d + R3D_RECIP_ZERO];
        if (d == 0) {
            EXPECT_EQ(r, 65536);
            continue;
        }
        // Truncation toward zero: |r * d| is at most 65536 and within |d| of it.
        const int p = std::abs(r * d);
        EXPECT_LE(p, 65536) << d;
        EXPECT_GT(p, 65536 - std::abs(d)) << d;
        EXPECT_EQ(r < 0, d < 0) << d;
    }
    EXPECT_EQ(r3d_recip_table[1024 + 3], 21845);
    EXPECT_EQ(r3d_recip_table[1024 + 1023], 64);
}

TEST_F(Tables, VectorLengthTruncates) {
    EXPECT_EQ(r3d_vector_length(3, 4, 0), 5);
    EXPECT_EQ(r3d_vector_length(0, 0, -255), 255);
    EXPECT_EQ(r3d_vector_length(255, 255, 255), 441);  // sqrt(195075) = 441.67
    EXPECT_EQ(r3d_vector_length(0, 0, 0), 0);
    // Past the 32-bit sum of squares: no overflow, and saturation at the top.
    EXPECT_EQ(r3d_vector_length(0, 65536, 0), 65536);
    EXPECT_EQ(r3d_vector_length(INT32_MIN, INT32_MIN, INT32_MIN), INT32_MAX);
}

}  // namespace
