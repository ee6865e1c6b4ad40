// The page's entry points: what the page's script (web/page/front.js) calls
// in the module, and the few calls the module makes into the page (show a
// frame, write a hash line). Everything else is web_run.cpp's, which knows
// nothing of the browser.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "music/music.h"
#include "sim/sim_controls.h"
#include "sim/sim_options.h"
#include "web/web_options.h"
#include "web/web_run.h"
#include "web/web_speaker.h"

// clang-format off
EM_JS(void, web_page_present, (const uint8_t* rgba, int width, int height), {
    Module.palendro.present(rgba, width, height);
});
EM_JS(void, web_page_hash_line, (const char* line), {
    Module.palendro.hashLine(UTF8ToString(line));
});
// clang-format on

namespace {

// The test run's sound, in the module's in-memory file system.
constexpr char TEST_WAV_PATH[] = "/palendro.wav";

WebOptionPairs g_option_pairs;
WebOptions g_options;
std::string g_error;
WebPace g_pace;
std::vector<uint8_t> g_rgba;  // the frame shown, as a canvas takes it

void present(const SimFrame& frame) {
    const size_t n = size_t(frame.width) * frame.height;
    g_rgba.resize(4 * n);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = frame.pixels[i];
        g_rgba[4 * i] = uint8_t(p >> 16);
        g_rgba[4 * i + 1] = uint8_t(p >> 8);
        g_rgba[4 * i + 2] = uint8_t(p);
        g_rgba[4 * i + 3] = 255;
    }
    web_page_present(g_rgba.data(), frame.width, frame.height);
}

}  // namespace

extern "C" {

// The address's options, as the page decoded them: one call per pair, then
// web_configure reads them all; null, or one line saying what is wrong.
EMSCRIPTEN_KEEPALIVE void web_option_pair(const char* name, const char* value) {
    g_option_pairs.emplace_back(name, value);
}
EMSCRIPTEN_KEEPALIVE const char* web_configure() {
    const bool ok = web_parse_options(g_option_pairs, &g_options, &g_error);
    g_option_pairs.clear();
    return ok ? nullptr : g_error.c_str();
}
EMSCRIPTEN_KEEPALIVE int web_option_scale() { return g_options.scale; }
EMSCRIPTEN_KEEPALIVE double web_option_frames() { return double(g_options.frames); }
EMSCRIPTEN_KEEPALIVE int web_option_hash() { return g_options.hash; }
EMSCRIPTEN_KEEPALIVE uint32_t web_mix_rate() { return MUSIC_MIX_RATE; }  // the sound card's rate

// Builds the machine and starts the program: `speaker` when the page's sound
// output runs. A test run with hashes writes its sound to TEST_WAV_PATH.
EMSCRIPTEN_KEEPALIVE const char* web_start(int speaker) {
    WebRunSetup setup;
    setup.options = g_options;
    setup.hooks.present = present;
    setup.hooks.hash_line = web_page_hash_line;
    setup.speaker = speaker ? web_page_speaker() : nullptr;
    if (g_options.hash) setup.wav_path = TEST_WAV_PATH;
    if (web_run_start(setup, &g_error)) return nullptr;
    return g_error.c_str();
}

// One refresh of the page in real time: the frames due by the browser clock.
// 0 once the program has shut down.
EMSCRIPTEN_KEEPALIVE int web_animation_frame(double now_ms) {
    return web_run_until(web_pace_due(&g_pace, now_ms, web_run_frames(), web_run_rate()));
}

// A test run: `count` more frames, as fast as they come. 0 once it has ended.
EMSCRIPTEN_KEEPALIVE int web_run_more(int count) {
    return web_run_until(web_run_frames() + uint64_t(count));
}
EMSCRIPTEN_KEEPALIVE double web_frame_count() { return double(web_run_frames()); }

// The page's input: buttons held by the keyboard, pads and touch buttons.
EMSCRIPTEN_KEEPALIVE void web_set_buttons(uint32_t mask) {
    if (SimMachine* m = web_run_machine()) m->set_host_buttons(mask);
}
EMSCRIPTEN_KEEPALIVE uint32_t web_key_buttons(const char* dom_code) {
    return sim_key_buttons_dom(dom_code);
}
EMSCRIPTEN_KEEPALIVE uint32_t web_pad_buttons(uint32_t pressed, int left_x, int left_y,
                                              int left_trigger, int right_trigger) {
    return sim_pad_buttons({pressed, left_x, left_y, left_trigger, right_trigger});
}
// The key table, for the page's legend: binding i's key and its buttons.
EMSCRIPTEN_KEEPALIVE int web_key_binding_count() { return SIM_KEY_BINDING_COUNT; }
EMSCRIPTEN_KEEPALIVE const char* web_key_binding_code(int i) {
    return SIM_KEY_BINDINGS[i].dom_code;
}
EMSCRIPTEN_KEEPALIVE uint32_t web_key_binding_buttons(int i) { return SIM_KEY_BINDINGS[i].buttons; }
// The script names of the buttons in `mask`, joined by '+' ("l+r").
EMSCRIPTEN_KEEPALIVE const char* web_button_names(uint32_t mask) {
    static std::string names;
    names.clear();
    for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i)
        if (mask & HOST_KEY_NAMES[i].mask)
            names += (names.empty() ? "" : "+") + std::string(HOST_KEY_NAMES[i].name);
    return names.c_str();
}
// The mask of one button by its script name ("start", "volup" ...).
EMSCRIPTEN_KEEPALIVE uint32_t web_button(const char* name) {
    for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i)
        if (std::string(name) == HOST_KEY_NAMES[i].name) return HOST_KEY_NAMES[i].mask;
    return 0;
}

}  // extern "C"
