// The random numbers of the handheld's C library (glibc's rand). The demo's
// cube colours and starts come from the unseeded rand, so every target whose
// own C library draws another sequence (the web page's, newlib on the
// handheld build) takes these instead (glibc_rand_hooks.cpp) to show the same
// frames.
//
// The generator: r0 = seed; r(i) = 16807 r(i-1) mod (2^31 - 1) for i = 1..30;
// r(i) = r(i-31) for i = 31..33; r(i) = r(i-3) + r(i-31) mod 2^32 from i = 34
// on; draw k is r(344 + k) >> 1.
#pragma once

#include <cstdint>

struct GlibcRand {
    uint32_t ring[31];  // ring[i mod 31] holds r(i - 31) before draw i is made
    int next;           // i mod 31 of the next draw
};

void glibc_rand_seed(GlibcRand* g, uint32_t seed);  // a seed of 0 counts as 1, as in the library
int glibc_rand_draw(GlibcRand* g);                  // 0 .. 2^31 - 1
