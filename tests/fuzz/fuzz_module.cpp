// What must hold for any module file: the check either refuses it, or the
// library loads (or refuses) it and plays a few hundred ticks of it at the
// program's own settings, without a memory error or undefined behaviour that
// the sanitizers see, and without hanging (libFuzzer's time limit).
#include "tests/fuzz/fuzz_checks.h"

#include <mikmod.h>

#include "music/music_xm_check.h"
#include "music/music.h"

namespace {

constexpr int TICKS = 300;
constexpr int MAX_UPDATES = 200;  // the silent driver mixes 8192 samples each: 20+ ticks at 125 bpm
constexpr UWORD MODE = DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC;
static_assert(MODE == 11, "the program's mixing mode");

int g_ticks;
MikMod_player_t g_player_tick;

void count_tick() {
    ++g_ticks;
    g_player_tick();
}

bool start_library() {
    static const bool started = [] {
        MikMod_RegisterDriver(&drv_nos);
        MikMod_RegisterLoader(&load_xm);
        md_mode = MODE;
        md_mixfreq = MUSIC_MIX_RATE;
        char no_options[] = "";
        if (MikMod_Init(no_options)) return false;
        g_player_tick = MikMod_RegisterPlayer(count_tick);
        return true;
    }();
    return started;
}

}  // namespace

const char* fuzz_check_module(const uint8_t* data, size_t size) {
    if (!start_library()) return "the library did not start";
    if (music_xm_check(data, size)) return nullptr;
    MODULE* module = Player_LoadMem(reinterpret_cast<const char*>(data), int(size), 32, 0);
    if (!module) return nullptr;
    Player_Start(module);
    g_ticks = 0;
    for (int i = 0; i < MAX_UPDATES && g_ticks < TICKS && Player_Active(); i++) MikMod_Update();
    Player_Stop();
    Player_Free(module);
    return nullptr;
}
