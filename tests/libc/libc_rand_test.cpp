// The web page and the newlib build draw the handheld C library's random
// numbers: checked here against that very library, which the PC build links.
#include <gtest/gtest.h>

#include <cstdlib>

#include "libc/libc_rand.h"

namespace {

TEST(LibcRand, SameDrawsAsTheCLibraryForEverySeed) {
    for (unsigned seed : {1u, 0u, 12345u, 2147483647u, 2147483648u, 4000000000u}) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        LibcRand g;
        libc_rand_seed(&g, seed);
        int first_wrong = -1;
        for (int i = 0; i < 100000 && first_wrong < 0; ++i)
            if (libc_rand_draw(&g) != std::rand()) first_wrong = i;
        EXPECT_EQ(first_wrong, -1);
    }
}

}  // namespace
