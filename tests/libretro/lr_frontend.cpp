// The tests' libretro frontend (see lr_frontend.h).
#include "tests/libretro/lr_frontend.h"

#include <dlfcn.h>
#include <libretro.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "hw/hw_buttons.h"
#include "music/music.h"

namespace {

// One frontend at a time: the callbacks carry no context.
LrFront* g_front;

struct LrCore {
    void (*init)();
    void (*deinit)();
    void (*set_environment)(retro_environment_t);
    void (*set_video_refresh)(retro_video_refresh_t);
    void (*set_audio_sample)(retro_audio_sample_t);
    void (*set_audio_sample_batch)(retro_audio_sample_batch_t);
    void (*set_input_poll)(retro_input_poll_t);
    void (*set_input_state)(retro_input_state_t);
    void (*get_system_av_info)(retro_system_av_info*);
    bool (*load_game)(const retro_game_info*);
    void (*unload_game)();
    void (*run)();
    void (*reset)();
} g_core;

void take_av_info(const retro_system_av_info& info) {
    g_front->fps = info.timing.fps;
    g_front->sample_rate = info.timing.sample_rate;
    g_front->width = info.geometry.base_width;
    g_front->height = info.geometry.base_height;
    g_front->aspect = info.geometry.aspect_ratio;
}

void log_printf(retro_log_level, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::string text = line;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    g_front->log.push_back(text);
}

bool environment(unsigned cmd, void* data) {
    switch (cmd) {
    case RETRO_ENVIRONMENT_GET_CORE_OPTIONS_VERSION:
        *static_cast<unsigned*>(data) = 2;
        return true;
    case RETRO_ENVIRONMENT_SET_CORE_OPTIONS_V2:
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME:
    case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
        return true;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
        retro_variable* var = static_cast<retro_variable*>(data);
        if (std::strcmp(var->key, "palendro_display") == 0)
            var->value = g_front->options.display.c_str();
        else if (std::strcmp(var->key, "palendro_board") == 0)
            var->value = g_front->options.board.c_str();
        else
            return false;
        return true;
    }
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
        return *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_XRGB8888;
    case RETRO_ENVIRONMENT_GET_LOG_INTERFACE:
        static_cast<retro_log_callback*>(data)->log = log_printf;
        return true;
    case RETRO_ENVIRONMENT_SET_SYSTEM_AV_INFO:
        take_av_info(*static_cast<const retro_system_av_info*>(data));
        return true;
    case RETRO_ENVIRONMENT_SHUTDOWN:
        g_front->shutdown = true;
        return true;
    default:
        return false;
    }
}

void video(const void* data, unsigned width, unsigned height, size_t pitch) {
    SimFrame& f = g_front->frame;
    f.width = int(width);
    f.height = int(height);
    f.pixels.resize(size_t(width) * height);
    for (unsigned y = 0; y < height; ++y)
        std::memcpy(&f.pixels[size_t(y) * width], static_cast<const uint8_t*>(data) + y * pitch,
                    width * 4);
    g_front->frames_sent++;
}

void audio_sample(int16_t left, int16_t right) {
    g_front->sound.push_back(left);
    g_front->sound.push_back(right);
}

size_t audio_batch(const int16_t* data, size_t frames) {
    g_front->sound.insert(g_front->sound.end(), data, data + 2 * frames);
    return frames;
}

void input_poll() {}

int16_t input_state(unsigned port, unsigned device, unsigned, unsigned id) {
    if (port != 0 || device != RETRO_DEVICE_JOYPAD || id > 15) return 0;
    return (g_front->buttons >> id) & 1;
}

template <typename F> bool bind(void* library, const char* name, F* out, std::string* error) {
    *out = reinterpret_cast<F>(dlsym(library, name));
    if (!*out) *error = std::string("the core has no ") + name;
    return *out != nullptr;
}

}  // namespace

bool lr_front_open(LrFront* front, const std::string& core, std::string* error) {
    g_front = front;
    front->library = dlopen(core.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!front->library) {
        *error = dlerror();
        return false;
    }
    void* l = front->library;
    if (!bind(l, "retro_init", &g_core.init, error) ||
        !bind(l, "retro_deinit", &g_core.deinit, error) ||
        !bind(l, "retro_set_environment", &g_core.set_environment, error) ||
        !bind(l, "retro_set_video_refresh", &g_core.set_video_refresh, error) ||
        !bind(l, "retro_set_audio_sample", &g_core.set_audio_sample, error) ||
        !bind(l, "retro_set_audio_sample_batch", &g_core.set_audio_sample_batch, error) ||
        !bind(l, "retro_set_input_poll", &g_core.set_input_poll, error) ||
        !bind(l, "retro_set_input_state", &g_core.set_input_state, error) ||
        !bind(l, "retro_get_system_av_info", &g_core.get_system_av_info, error) ||
        !bind(l, "retro_load_game", &g_core.load_game, error) ||
        !bind(l, "retro_unload_game", &g_core.unload_game, error) ||
        !bind(l, "retro_run", &g_core.run, error) || !bind(l, "retro_reset", &g_core.reset, error))
        return false;
    g_core.set_environment(environment);
    g_core.set_video_refresh(video);
    g_core.set_audio_sample(audio_sample);
    g_core.set_audio_sample_batch(audio_batch);
    g_core.set_input_poll(input_poll);
    g_core.set_input_state(input_state);
    g_core.init();
    return true;
}

bool lr_front_load(LrFront* front, const std::string& content, std::string* error) {
    g_front = front;
    std::vector<char> bytes;
    retro_game_info info = {};
    if (!content.empty()) {
        std::ifstream in(content, std::ios::binary);
        if (!in) {
            *error = "cannot read " + content;
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        info.path = content.c_str();
        info.data = bytes.data();
        info.size = bytes.size();
    }
    if (!g_core.load_game(content.empty() ? nullptr : &info)) {
        *error = "retro_load_game failed";
        return false;
    }
    retro_system_av_info av;
    g_core.get_system_av_info(&av);
    take_av_info(av);
    return true;
}

void lr_front_run(LrFront* front) {
    g_front = front;
    g_core.run();
}

void lr_front_reset(LrFront* front) {
    g_front = front;
    g_core.reset();
}

void lr_front_unload(LrFront* front) {
    g_front = front;
    g_core.unload_game();
}

void lr_front_close(LrFront* front) {
    g_front = front;
    g_core.deinit();
    dlclose(front->library);
    front->library = nullptr;
}

uint32_t lr_front_pad_bits(uint32_t held) {
    static const struct {
        uint32_t button;
        unsigned id;
    } map[] = {
        {BUTTON_UP, RETRO_DEVICE_ID_JOYPAD_UP},
        {BUTTON_DOWN, RETRO_DEVICE_ID_JOYPAD_DOWN},
        {BUTTON_LEFT, RETRO_DEVICE_ID_JOYPAD_LEFT},
        {BUTTON_RIGHT, RETRO_DEVICE_ID_JOYPAD_RIGHT},
        {BUTTON_START, RETRO_DEVICE_ID_JOYPAD_START},
        {BUTTON_SELECT, RETRO_DEVICE_ID_JOYPAD_SELECT},
        {BUTTON_L, RETRO_DEVICE_ID_JOYPAD_L},
        {BUTTON_R, RETRO_DEVICE_ID_JOYPAD_R},
        {BUTTON_A, RETRO_DEVICE_ID_JOYPAD_A},
        {BUTTON_B, RETRO_DEVICE_ID_JOYPAD_B},
        {BUTTON_X, RETRO_DEVICE_ID_JOYPAD_X},
        {BUTTON_Y, RETRO_DEVICE_ID_JOYPAD_Y},
        {BUTTON_VOLUME_DOWN, RETRO_DEVICE_ID_JOYPAD_L2},
        {BUTTON_VOLUME_UP, RETRO_DEVICE_ID_JOYPAD_R2},
        {BUTTON_CLICK, RETRO_DEVICE_ID_JOYPAD_L3},
    };
    uint32_t bits = 0;
    for (const auto& m : map)
        if (held & m.button) bits |= 1u << m.id;
    return bits;
}

uint64_t lr_front_frames_from_sound(uint64_t samples, uint32_t num, uint32_t den) {
    const uint64_t per = uint64_t(MUSIC_MIX_RATE) * den;
    // The first n with floor(n * per / num) >= samples.
    uint64_t n = samples * num / per;
    while (n * per / num < samples) ++n;
    return n;
}
