// Draws N frames of the scroller workload (N from the command line, default
// 1) so that callgrind can count the instructions of one frame.
#include <cstdlib>
#include <vector>

#include "bench/render3d/scroller_scene.h"

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 1;
    bench_scene_init();
    std::vector<uint16_t> pixels(BENCH_WIDTH * BENCH_HEIGHT);
    Surface s{BENCH_WIDTH, BENCH_HEIGHT, pixels.data()};
    unsigned sum = 0;
    for (int f = 0; f < frames; ++f) {
        bench_frame_r3d(&s, f % 8);  // the same eight poses in turn, whatever N is
        sum += pixels[f % pixels.size()];
    }
    return sum == 0xFFFFFFFFu;  // keeps the frames from being optimised away
}
