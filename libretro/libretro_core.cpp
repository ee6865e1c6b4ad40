// The libretro API of the core: what a frontend (RetroArch and the like)
// calls. One retro_run is one pass of the program's main loop (lr_run.h);
// its frame goes out as XRGB8888 at the display's real size, its samples
// (exactly those of the frames the pass ran, 22100 Hz stereo) through
// audio_sample_batch, the RetroPad's buttons come in as the handheld's.
// Without content the built-in song plays; an .xm given as content plays
// instead, through the same module check (a damaged one: a silent run and
// one line in the frontend's log). The program's own ways out end the core
// (RETRO_ENVIRONMENT_SHUTDOWN). No save states: see retro_serialize_size.
#include <libretro.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "hw/hw_buttons.h"
#include "libretro/lr_run.h"
#include "music/music.h"
#include "music/music_output.h"

namespace {

retro_environment_t g_env;
retro_video_refresh_t g_video;
retro_audio_sample_t g_audio_sample;
retro_audio_sample_batch_t g_audio_batch;
retro_input_poll_t g_input_poll;
retro_input_state_t g_input_state;
retro_log_printf_t g_log;

LrSetup g_setup;  // of the loaded content; the options are read again at reset
bool g_loaded = false;
bool g_shutdown_sent = false;
// The rate and frame size the frontend was last told (av_info).
SimRate g_told_rate{60, 1};
int g_told_width = 320, g_told_height = 240;

const char* const VERSION = "1.0.0";

retro_core_option_v2_definition g_option_defs[] = {
    {"palendro_display",
     "Display",
     nullptr,
     "What the handheld drives: its LCD (320 x 240, 60 Hz), an NTSC TV (720 x 480, 59.94 Hz) "
     "or a PAL TV (720 x 576, 50 Hz). Takes effect on reset.",
     nullptr,
     nullptr,
     {{"lcd", "LCD"}, {"ntsc", "NTSC TV"}, {"pal", "PAL TV"}, {nullptr, nullptr}},
     "lcd"},
    {"palendro_board",
     "Board variant",
     nullptr,
     "The handheld's board: no touch screen, a touch screen, or a touch screen with GPIO port I "
     "pin 12 low. Takes effect on reset.",
     nullptr,
     nullptr,
     {{"plain", "No touch screen"},
      {"touch", "Touch screen"},
      {"touch-low", "Touch screen, port I pin 12 low"},
      {nullptr, nullptr}},
     "plain"},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {{nullptr, nullptr}}, nullptr},
};
retro_core_options_v2 g_options = {nullptr, g_option_defs};

// The RetroPad's buttons are the handheld's of the same name; L2/R2 are the
// volume buttons, L3 the stick pressed in.
struct LrButton {
    unsigned id;
    uint32_t mask;
    const char* name;
};
constexpr LrButton LR_BUTTONS[] = {
    {RETRO_DEVICE_ID_JOYPAD_UP, BUTTON_UP, "Up"},
    {RETRO_DEVICE_ID_JOYPAD_DOWN, BUTTON_DOWN, "Down"},
    {RETRO_DEVICE_ID_JOYPAD_LEFT, BUTTON_LEFT, "Left"},
    {RETRO_DEVICE_ID_JOYPAD_RIGHT, BUTTON_RIGHT, "Right"},
    {RETRO_DEVICE_ID_JOYPAD_START, BUTTON_START, "Start (pause menu)"},
    {RETRO_DEVICE_ID_JOYPAD_SELECT, BUTTON_SELECT, "Select"},
    {RETRO_DEVICE_ID_JOYPAD_L, BUTTON_L, "L (with R: quit)"},
    {RETRO_DEVICE_ID_JOYPAD_R, BUTTON_R, "R (with L: quit)"},
    {RETRO_DEVICE_ID_JOYPAD_A, BUTTON_A, "A"},
    {RETRO_DEVICE_ID_JOYPAD_B, BUTTON_B, "B (choose)"},
    {RETRO_DEVICE_ID_JOYPAD_X, BUTTON_X, "X"},
    {RETRO_DEVICE_ID_JOYPAD_Y, BUTTON_Y, "Y"},
    {RETRO_DEVICE_ID_JOYPAD_L2, BUTTON_VOLUME_DOWN, "Volume down"},
    {RETRO_DEVICE_ID_JOYPAD_R2, BUTTON_VOLUME_UP, "Volume up"},
    {RETRO_DEVICE_ID_JOYPAD_L3, BUTTON_CLICK, "Stick click"},
};

void log_line(retro_log_level level, const char* line) {
    if (g_log)
        g_log(level, "%s\n", line);
    else
        std::fprintf(stderr, "%s\n", line);
}

void log_music(const char* line) { log_line(RETRO_LOG_WARN, line); }

const char* option(const char* key) {
    retro_variable var = {key, nullptr};
    if (g_env && g_env(RETRO_ENVIRONMENT_GET_VARIABLE, &var)) return var.value;
    return nullptr;
}

void read_options(LrSetup* setup) {
    const char* display = option("palendro_display");
    setup->output = !display                            ? SimOutput::LCD
                    : std::strcmp(display, "ntsc") == 0 ? SimOutput::TV_NTSC
                    : std::strcmp(display, "pal") == 0  ? SimOutput::TV_PAL
                                                        : SimOutput::LCD;
    const char* board = option("palendro_board");
    setup->board = !board                                 ? SimBoard::PLAIN
                   : std::strcmp(board, "touch") == 0     ? SimBoard::TOUCH
                   : std::strcmp(board, "touch-low") == 0 ? SimBoard::TOUCH_LOW
                                                          : SimBoard::PLAIN;
}

void fill_av_info(retro_system_av_info* info) {
    const SimRate rate = lr_run_rate();
    const SimFrame& frame = lr_run_frame();
    info->geometry.base_width = unsigned(frame.width);
    info->geometry.base_height = unsigned(frame.height);
    info->geometry.max_width = 720;
    info->geometry.max_height = 576;
    info->geometry.aspect_ratio = 4.0f / 3.0f;
    info->timing.fps = double(rate.num) / rate.den;
    info->timing.sample_rate = MUSIC_MIX_RATE;
    g_told_rate = rate;
    g_told_width = frame.width;
    g_told_height = frame.height;
}

void start() {
    read_options(&g_setup);
    lr_run_start(g_setup);
    g_shutdown_sent = false;
}

uint32_t read_buttons() {
    uint32_t mask = 0;
    for (const LrButton& b : LR_BUTTONS)
        if (g_input_state(0, RETRO_DEVICE_JOYPAD, 0, b.id)) mask |= b.mask;
    return mask;
}

void send_sound() {
    std::vector<int16_t>& samples = lr_run_sound();
    size_t done = 0;
    const size_t frames = samples.size() / 2;
    while (done < frames && g_audio_batch) {
        const size_t took = g_audio_batch(samples.data() + 2 * done, frames - done);
        if (took == 0) break;  // a frontend that takes nothing now drops the rest
        done += took;
    }
    lr_run_sound_taken();
}

}  // namespace

extern "C" {

RETRO_API unsigned retro_api_version(void) { return RETRO_API_VERSION; }

RETRO_API void retro_set_environment(retro_environment_t env) {
    g_env = env;
    bool no_game = true;
    env(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
    unsigned version = 0;
    if (env(RETRO_ENVIRONMENT_GET_CORE_OPTIONS_VERSION, &version) && version >= 2)
        env(RETRO_ENVIRONMENT_SET_CORE_OPTIONS_V2, &g_options);
    else {
        // Frontends before the v2 interface: the same keys, values listed.
        static const retro_variable legacy[] = {
            {"palendro_display", "Display (takes effect on reset); lcd|ntsc|pal"},
            {"palendro_board", "Board variant (takes effect on reset); plain|touch|touch-low"},
            {nullptr, nullptr}};
        env(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(legacy));
    }
}
RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) { g_video = cb; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t cb) { g_audio_sample = cb; }
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) { g_audio_batch = cb; }
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) { g_input_poll = cb; }
RETRO_API void retro_set_input_state(retro_input_state_t cb) { g_input_state = cb; }

RETRO_API void retro_init(void) {
    retro_log_callback log = {nullptr};
    g_log = g_env && g_env(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &log) ? log.log : nullptr;
    music_report_to(log_music);
}

RETRO_API void retro_deinit(void) {
    lr_run_stop();
    g_loaded = false;
    music_report_to(nullptr);
    g_log = nullptr;
}

RETRO_API void retro_get_system_info(retro_system_info* info) {
    std::memset(info, 0, sizeof *info);
    info->library_name = "Palendro";
    info->library_version = VERSION;
    info->valid_extensions = "xm";
    info->need_fullpath = false;
    info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(retro_system_av_info* info) { fill_av_info(info); }

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API bool retro_load_game(const retro_game_info* game) {
    retro_pixel_format format = RETRO_PIXEL_FORMAT_XRGB8888;
    if (!g_env(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
        log_line(RETRO_LOG_ERROR, "palendro: the frontend cannot show XRGB8888");
        return false;
    }
    retro_input_descriptor descriptors[sizeof LR_BUTTONS / sizeof LR_BUTTONS[0] + 1] = {};
    for (size_t i = 0; i < sizeof LR_BUTTONS / sizeof LR_BUTTONS[0]; ++i)
        descriptors[i] = {0, RETRO_DEVICE_JOYPAD, 0, LR_BUTTONS[i].id, LR_BUTTONS[i].name};
    g_env(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS, descriptors);

    static std::string content_name;
    g_setup = LrSetup{};
    if (game && game->data && game->size > 0) {
        const uint8_t* bytes = static_cast<const uint8_t*>(game->data);
        g_setup.module.assign(bytes, bytes + game->size);
        content_name = game->path ? game->path : "the content";
        const size_t slash = content_name.find_last_of('/');
        if (slash != std::string::npos) content_name.erase(0, slash + 1);
        g_setup.module_name = content_name.c_str();
    }
    start();
    g_loaded = true;
    return true;
}

RETRO_API bool retro_load_game_special(unsigned, const retro_game_info*, size_t) { return false; }

RETRO_API void retro_unload_game(void) {
    lr_run_stop();
    g_setup = LrSetup{};
    g_loaded = false;
}

// Power-on: the program starts again from the beginning, with the display
// and board options as they are now and the same content. A new display's
// rate and size go to the frontend in the next retro_run (the only place
// the API allows it).
RETRO_API void retro_reset(void) {
    if (g_loaded) start();
}

RETRO_API void retro_run(void) {
    g_input_poll();
    if (lr_run_running()) {
        if (!lr_run_step(read_buttons()) && !g_shutdown_sent) {
            g_shutdown_sent = true;
            g_env(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
        }
    }
    const SimRate rate = lr_run_rate();
    const SimFrame& frame = lr_run_frame();
    if (lr_run_running() && (rate.num != g_told_rate.num || rate.den != g_told_rate.den ||
                             frame.width != g_told_width || frame.height != g_told_height)) {
        retro_system_av_info info;
        fill_av_info(&info);
        g_env(RETRO_ENVIRONMENT_SET_SYSTEM_AV_INFO, &info);
    }
    g_video(frame.pixels.data(), unsigned(frame.width), unsigned(frame.height),
            size_t(frame.width) * sizeof(uint32_t));
    send_sound();
}

// No save states. The program's state is spread over the globals of every
// layer (scenes, renderer, overlay, hardware layer), the machine and the
// sound library's player and mixer, none of which has a way to write or
// read itself; a state that missed one would come back subtly wrong.
RETRO_API size_t retro_serialize_size(void) { return 0; }
RETRO_API bool retro_serialize(void*, size_t) { return false; }
RETRO_API bool retro_unserialize(const void*, size_t) { return false; }

RETRO_API void retro_cheat_reset(void) {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API unsigned retro_get_region(void) {
    return g_setup.output == SimOutput::TV_PAL ? RETRO_REGION_PAL : RETRO_REGION_NTSC;
}
RETRO_API void* retro_get_memory_data(unsigned) { return nullptr; }
RETRO_API size_t retro_get_memory_size(unsigned) { return 0; }

}  // extern "C"
