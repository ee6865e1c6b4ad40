// Composes N frames (N from the command line, default 1) so that callgrind
// can count the instructions of one; DISPLAY_BENCH_TV picks the TV frame.
#include <cstdlib>

#include "bench/display/display_scene.h"

#ifndef DISPLAY_BENCH_TV
#define DISPLAY_BENCH_TV 0
#endif

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 1;
    bench_display_setup(DISPLAY_BENCH_TV);
    SimFrame frame;
    uint32_t sum = 0;
    for (int f = 0; f < frames; ++f) {
        bench_display_compose(&frame);
        sum += frame.pixels[size_t(f) * 7919 % frame.pixels.size()];
    }
    return sum == 0xFFFFFFFFu;  // keeps the frames from being optimised away
}
