// The web page and the newlib build draw the handheld C library's random
// numbers: checked here against that very library, which the PC build links.
#include <gtest/gtest.h>

#include <cstdlib>

#include "glibc_rand/glibc_rand.h"

namespace {

TEST(GlibcRand, SameDrawsAsTheCLibraryForEverySeed) {
    for (unsigned seed : {1u, 0u, 12345u, 2147483647u, 2147483648u, 4000000000u}) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        GlibcRand g;
        glibc_rand_seed(&g, seed);
        int first_wrong = -1;
        for (int i = 0; i < 100000 && first_wrong < 0; ++i)
            if (glibc_rand_draw(&g) != std::rand()) first_wrong = i;
        EXPECT_EQ(first_wrong, -1);
    }
}

}  // namespace
