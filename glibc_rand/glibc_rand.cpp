// The handheld C library's additive-feedback generator (see glibc_rand.h).
#include "glibc_rand/glibc_rand.h"

void glibc_rand_seed(GlibcRand* g, uint32_t seed) {
    if (seed == 0) seed = 1;
    // The first values come from the seed by the minimal-standard multiplier;
    // the library takes the seed as a signed 32-bit number.
    int64_t word = int32_t(seed);
    g->ring[0] = seed;
    for (int i = 1; i < 31; ++i) {
        int64_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        g->ring[i] = uint32_t(word);
    }
    g->next = 34 % 31;
    for (int i = 0; i < 310; ++i) glibc_rand_draw(g);  // the library throws these away
}

int glibc_rand_draw(GlibcRand* g) {
    uint32_t& slot = g->ring[g->next];     // r(i - 31)
    slot += g->ring[(g->next + 28) % 31];  // + r(i - 3)
    g->next = (g->next + 1) % 31;
    return int(slot >> 1);
}
