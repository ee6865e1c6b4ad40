// The C library's rand and srand with the handheld's sequence (libc_rand.h),
// for the programs whose own C library draws another one: linked into the
// web page and into every program of the newlib build.
#include <cstdlib>

#include "libc/libc_rand.h"

namespace {
LibcRand g_libc_rand;
bool g_libc_rand_seeded = false;  // never seeded: as if srand(1)
}  // namespace

extern "C" int rand(void) {
    if (!g_libc_rand_seeded) {
        libc_rand_seed(&g_libc_rand, 1);
        g_libc_rand_seeded = true;
    }
    return libc_rand_draw(&g_libc_rand);
}
extern "C" void srand(unsigned seed) {
    libc_rand_seed(&g_libc_rand, seed);
    g_libc_rand_seeded = true;
}
