// The C library's rand and srand with the handheld's sequence (glibc_rand.h),
// for the programs whose own C library draws another one: linked into the
// web page and into every program of the newlib build.
#include <cstdlib>

#include "glibc_rand/glibc_rand.h"

namespace {
GlibcRand g_glibc_rand;
bool g_glibc_rand_seeded = false;  // never seeded: as if srand(1)
}  // namespace

extern "C" int rand(void) {
    if (!g_glibc_rand_seeded) {
        glibc_rand_seed(&g_glibc_rand, 1);
        g_glibc_rand_seeded = true;
    }
    return glibc_rand_draw(&g_glibc_rand);
}
extern "C" void srand(unsigned seed) {
    glibc_rand_seed(&g_glibc_rand, seed);
    g_glibc_rand_seeded = true;
}
