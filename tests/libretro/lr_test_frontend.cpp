// palendro_libretro_front: the tests' libretro frontend as a program. It runs
// the core as a frontend would and prints what --frame-hash prints for each
// frame the core sent (numbered by the vertical blanks run so far, which the
// sound's length tells), so the lines can be set beside the PC program's.
//
//   palendro_libretro_front CORE [--display lcd|ntsc|pal] [--board B]
//       [--frames N] [--input SCRIPT] [--content FILE.xm] [--sound FILE]
//       [--lifecycle] [--log] [--reset-from DISPLAY]
//
// Runs until frame N-1 was sent (default 600) or the core asked to shut
// down ("shutdown" is printed then). --sound writes the samples of frames
// 0 .. N-1 as 16-bit stereo, the bytes of --wav's data. --lifecycle runs
// the same four times in one process (load; reset; unload and load;
// deinit, dlclose, dlopen, init and load) and fails unless all four give
// the same frames and sound. --log prints the core's log lines.
// --reset-from starts on the display DISPLAY, runs 60 frames there, then
// sets --display's and resets: the run printed is the one after the reset.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_capture.h"
#include "host/host_options.h"
#include "tests/libretro/lr_frontend.h"

namespace {

struct Args {
    std::string core, content, sound_path, reset_from;
    LrFrontOptions options;
    int64_t frames = 600;
    std::vector<SimInputStep> script;
    bool lifecycle = false, log = false;
};

struct Result {
    std::vector<std::string> lines;
    std::vector<int16_t> sound;
    bool shutdown = false;
};

SimRate rate_of(double fps) {
    if (fps > 59.99) return {60, 1};
    if (fps > 59.9) return {60000, 1001};
    return {50, 1};
}

uint32_t script_at(const std::vector<SimInputStep>& script, uint64_t frame) {
    uint32_t held = 0;
    for (const SimInputStep& s : script)
        if (s.frame <= frame) held = s.buttons;
    return held;
}

// Runs a loaded core from power-on to frame N-1 or its shutdown.
Result play(LrFront* front, const Args& a) {
    Result r;
    front->sound.clear();
    front->shutdown = false;
    // The rate as the core last told it: after a reset to another display the
    // first retro_run tells the new one.
    SimRate rate = rate_of(front->fps);
    for (uint64_t runs = 0; runs < uint64_t(a.frames) + 10; ++runs) {
        const uint64_t next =
            lr_front_frames_from_sound(front->sound.size() / 2, rate.num, rate.den);
        // A pass reads the buttons held since the last blank (frame next - 1).
        front->buttons = lr_front_pad_bits(script_at(a.script, next > 0 ? next - 1 : 0));
        const uint64_t sent = front->frames_sent;
        lr_front_run(front);
        rate = rate_of(front->fps);
        const uint64_t done =
            lr_front_frames_from_sound(front->sound.size() / 2, rate.num, rate.den);
        if (front->frames_sent != sent + 1) {
            r.lines.push_back("error: retro_run sent " + std::to_string(front->frames_sent - sent) +
                              " frames");
            break;
        }
        if (front->shutdown) {
            r.shutdown = true;
            r.lines.push_back("shutdown");
            break;
        }
        if (done == 0) continue;
        if (int64_t(done) > a.frames) break;
        r.lines.push_back(host_frame_hash_line(done - 1, front->frame));
        if (int64_t(done) == a.frames) break;
    }
    const uint64_t per = uint64_t(22100) * rate.den;
    const uint64_t keep = 2 * (uint64_t(a.frames) * per / rate.num);
    r.sound = front->sound;
    if (r.sound.size() > keep) r.sound.resize(keep);
    return r;
}

bool parse(int argc, char** argv, Args* a) {
    if (argc < 2) return false;
    a->core = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string o = argv[i];
        const bool more = i + 1 < argc;
        if (o == "--lifecycle") {
            a->lifecycle = true;
        } else if (o == "--log") {
            a->log = true;
        } else if (!more) {
            return false;
        } else if (o == "--display") {
            a->options.display = argv[++i];
        } else if (o == "--reset-from") {
            a->reset_from = argv[++i];
        } else if (o == "--board") {
            a->options.board = argv[++i];
        } else if (o == "--frames") {
            a->frames = std::atoll(argv[++i]);
        } else if (o == "--content") {
            a->content = argv[++i];
        } else if (o == "--sound") {
            a->sound_path = argv[++i];
        } else if (o == "--input") {
            std::ifstream in(argv[++i]);
            std::stringstream text;
            text << in.rdbuf();
            std::string error;
            if (!in || !host_parse_input_script(text.str(), &a->script, &error)) {
                std::fprintf(stderr, "palendro_libretro_front: %s: %s\n", argv[i], error.c_str());
                return false;
            }
        } else {
            return false;
        }
    }
    return a->frames > 0;
}

bool fail(const std::string& what) {
    std::fprintf(stderr, "palendro_libretro_front: %s\n", what.c_str());
    return false;
}

bool same(const Result& a, const Result& b, const char* what) {
    if (a.lines == b.lines && a.sound == b.sound && a.shutdown == b.shutdown) return true;
    return fail(std::string("the run after ") + what + " differs from the first");
}

// The run after each of the ways a frontend starts the core again must be
// the first run, frame for frame and sample for sample.
bool lifecycle(LrFront* front, const Args& a, Result* first) {
    std::string error;
    *first = play(front, a);
    lr_front_reset(front);
    if (!same(*first, play(front, a), "retro_reset")) return false;
    lr_front_unload(front);
    if (!lr_front_load(front, a.content, &error)) return fail(error);
    if (!same(*first, play(front, a), "unload and load")) return false;
    lr_front_close(front);
    if (!lr_front_open(front, a.core, &error) || !lr_front_load(front, a.content, &error))
        return fail(error);
    return same(*first, play(front, a), "dlclose and dlopen");
}

}  // namespace

int main(int argc, char** argv) {
    Args a;
    if (!parse(argc, argv, &a)) {
        std::fprintf(stderr, "usage: palendro_libretro_front CORE [--display lcd|ntsc|pal] "
                             "[--board B] [--frames N] [--input SCRIPT] [--content FILE.xm] "
                             "[--sound FILE] [--lifecycle] [--log] [--reset-from DISPLAY]\n");
        return 2;
    }
    LrFront front;
    front.options = a.options;
    if (!a.reset_from.empty()) front.options.display = a.reset_from;
    std::string error;
    if (!lr_front_open(&front, a.core, &error) || !lr_front_load(&front, a.content, &error)) {
        fail(error);
        return 1;
    }
    std::printf("av_info %ux%u aspect %.4f fps %.4f rate %.0f\n", front.width, front.height,
                double(front.aspect), front.fps, front.sample_rate);
    Result r;
    bool ok = true;
    if (!a.reset_from.empty()) {
        Args before = a;
        before.frames = 60;
        play(&front, before);
        front.options.display = a.options.display;  // an option changed, then Restart
        lr_front_reset(&front);
    }
    if (a.lifecycle)
        ok = lifecycle(&front, a, &r);
    else
        r = play(&front, a);
    for (const std::string& line : r.lines) std::printf("%s\n", line.c_str());
    if (a.log)
        for (const std::string& line : front.log) std::printf("log %s\n", line.c_str());
    if (!a.sound_path.empty()) {
        FILE* f = std::fopen(a.sound_path.c_str(), "wb");
        // 16-bit little-endian, as the WAV holds them (every target here is little-endian).
        if (!f || std::fwrite(r.sound.data(), 2, r.sound.size(), f) != r.sound.size() ||
            std::fclose(f) != 0)
            ok = fail("cannot write " + a.sound_path);
    }
    lr_front_unload(&front);
    lr_front_close(&front);
    if (a.lifecycle && ok)
        std::printf("lifecycle: the same frames and sound after dlclose and dlopen\n");
    return ok ? 0 : 1;
}
