// The page's frame loop run on the PC: the same driver and the same work per
// frame as the page's test run with hash=1 (loop pass with its frame step and
// mixing, the frame composed and hashed, the sound written to a WAV), each
// frame timed with the host clock, so ./dev bench can set the page's figure
// beside the native one. Run it from the folder with the music file.
// usage: web_frames FRAMES WAV
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "web/web_run.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: web_frames FRAMES WAV\n");
        return 2;
    }
    WebRunSetup setup;
    setup.options.frames = std::atoll(argv[1]);
    setup.options.sim.exit_after_frames = setup.options.frames;
    setup.options.hash = true;
    setup.hooks.hash_line = [](const char*) {};
    setup.wav_path = argv[2];
    std::string error;
    if (!web_run_start(setup, &error)) {
        std::fprintf(stderr, "web_frames: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> times;
    for (;;) {
        const auto t = std::chrono::steady_clock::now();
        const bool going = web_run_until(web_run_frames() + 1);
        const auto took = std::chrono::steady_clock::now() - t;
        if (!going) break;
        times.push_back(std::chrono::duration<double, std::milli>(took).count());
    }
    // Milliseconds per frame: mean, worst (and which frame), 99th percentile;
    // the same figures as the page's test run writes.
    double total = 0;
    for (double ms : times) total += ms;
    const auto worst = std::max_element(times.begin(), times.end());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = times.size();
    std::printf("frames %zu mean %.3f ms worst %.3f ms at %td p99 %.3f ms\n", n, n ? total / n : 0,
                n ? *worst : 0, n ? worst - times.begin() : 0,
                n ? sorted[std::min(n - 1, n * 99 / 100)] : 0);
    return 0;
}
