// Music playback: configures libmikmod once, services its mixer once per
// main-loop iteration, maps the overlay's volume and pause to the player and
// releases everything at exit. Decoding, sequencing and mixing are the
// library's; which output driver it mixes into is music_driver.cpp's choice.
#include "music/music.h"

#include <cstdint>
#include <cstdio>

#include <mikmod.h>

#include "music/music_driver.h"

static const char MUSIC_FILE[] = "bellwarm_harmonic.xm";
constexpr int MUSIC_MAX_CHANNELS = 32;
// 16-bit stereo software mixing of the music only: no sound-effect voices,
// surround, interpolation, high-quality mixer or reversed stereo.
constexpr uint16_t MUSIC_MODE = DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC;
static_assert(MUSIC_MODE == 11);

MODULE* g_module;
// The library appends a loader to its list without looking for it there, so
// registering the XM loader twice links it to itself and the next file that
// fails its test loops for ever: register it once per process.
static bool g_music_loader_registered;

int music_start() {
    MikMod_RegisterDriver(music_output_driver());
    if (!g_music_loader_registered) MikMod_RegisterLoader(&load_xm);
    g_music_loader_registered = true;
    md_mode = MUSIC_MODE;
    md_mixfreq = MUSIC_MIX_RATE;
    char no_options[] = "";
    if (MikMod_Init(no_options)) {
        printf("Could not initialize sound, reason: %s\n", MikMod_strerror(MikMod_errno));
        return 0;
    }
    // A missing or unreadable file leaves g_module null: no music, no message.
    g_module = Player_Load(const_cast<char*>(MUSIC_FILE), MUSIC_MAX_CHANNELS, 0);
    Player_Start(g_module);
    return 1;
}

void music_update() {
    if (Player_Active()) MikMod_Update();
}

void music_stop() {
    // Before any music_start the library has no driver to shut down.
    if (!g_music_loader_registered) return;
    Player_Stop();
    MikMod_DisableOutput();
    Player_Free(g_module);
    g_module = nullptr;
    MikMod_Exit();
}

void music_set_volume(int volume) { Player_SetVolume(static_cast<int16_t>(volume)); }

void music_toggle_pause(int) { Player_TogglePause(); }
