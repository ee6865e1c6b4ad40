// The page's C library rand and srand: the handheld's sequence (web_rand.h).
#include <cstdlib>

#include "web/web_rand.h"

static WebRand g_web_rand = [] {
    WebRand g;
    web_rand_seed(&g, 1);  // never seeded: as if srand(1)
    return g;
}();

extern "C" int rand(void) { return web_rand_draw(&g_web_rand); }
extern "C" void srand(unsigned seed) { web_rand_seed(&g_web_rand, seed); }
