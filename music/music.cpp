// Music playback: configures libmikmod once, services its mixer once per
// main-loop iteration, maps the overlay's volume and pause to the player and
// releases everything at exit. Decoding, sequencing and mixing are the
// library's; the output driver it mixes into and where its report lines go are
// the entry point's choice (music_output.h).
// The module file is read into memory once and checked (music_xm_check.h)
// before the library parses the same bytes.
#include "music/music.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <mikmod.h>
#include <sys/stat.h>

#include "music/music_output.h"
#include "music/music_xm_check.h"

constexpr int MUSIC_MAX_CHANNELS = 32;
// Larger files are refused unread: the library would hold all of it (and the
// samples widened to 16 bits) in the handheld's 64 MiB.
constexpr size_t MUSIC_MAX_FILE_BYTES = size_t(32) << 20;
// 16-bit stereo software mixing of the music only: no sound-effect voices,
// surround, interpolation, high-quality mixer or reversed stereo.
constexpr uint16_t MUSIC_MODE = DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC;
static_assert(MUSIC_MODE == 11);

MODULE* g_module;
// The library appends a loader to its list without looking for it there, so
// registering the XM loader twice links it to itself and the next file that
// fails its test loops for ever: register it once per process.
static bool g_music_loader_registered;

struct MusicFile {
    uint8_t* bytes = nullptr;
    size_t size = 0;
};

// The whole file, read once; the reason when it cannot be (nullptr = read).
// Its size comes first (`st`): a file that is not a regular one (a FIFO would
// block) or is over MUSIC_MAX_FILE_BYTES is refused unread.
static const char* music_read_file(const struct stat& st, MusicFile* out) {
    if (S_ISDIR(st.st_mode)) return strerror(EISDIR);  // as reading it would say
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    if (uint64_t(st.st_size) > MUSIC_MAX_FILE_BYTES) return "larger than 32 MiB";
    FILE* f = fopen(MUSIC_FILE, "rb");
    if (!f) return strerror(errno);
    out->bytes = static_cast<uint8_t*>(malloc(size_t(st.st_size) + 1));
    if (!out->bytes) {
        fclose(f);
        return "not enough memory to read it";
    }
    out->size = fread(out->bytes, 1, size_t(st.st_size) + 1, f);
    const bool failed = ferror(f) != 0;
    const int saved = errno;
    fclose(f);
    return failed ? strerror(saved) : nullptr;  // one that grew meanwhile: music_load_bytes
}

// The module's bytes a front end handed over in place of the file.
struct MusicGiven {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    const char* name = MUSIC_FILE;
};
static MusicGiven g_music_given;

void music_use_module(const uint8_t* bytes, size_t size, const char* name) {
    g_music_given = bytes ? MusicGiven{bytes, size, name} : MusicGiven{};
}

// Checks and loads the module's bytes; the reason when it cannot be played.
static const char* music_load_bytes(const uint8_t* bytes, size_t size, MODULE** module) {
    if (size > MUSIC_MAX_FILE_BYTES) return "larger than 32 MiB";
    if (const char* why = music_xm_check(bytes, size)) return why;
    *module =
        Player_LoadMem(reinterpret_cast<const char*>(bytes), int(size), MUSIC_MAX_CHANNELS, 0);
    return *module ? nullptr : MikMod_strerror(MikMod_errno);
}

// The module, or null: no file, a file that cannot be read, one the check
// refuses, or one the library cannot load. Each is reported once.
static MODULE* music_load_module() {
    MODULE* module = nullptr;
    if (g_music_given.bytes) {
        const char* why = music_load_bytes(g_music_given.bytes, g_music_given.size, &module);
        if (why) music_report_unreadable(g_music_given.name, why);
        return module;
    }
    struct stat st;
    if (stat(MUSIC_FILE, &st) != 0) {
        if (errno == ENOENT)
            music_report_missing(MUSIC_FILE);
        else
            music_report_unreadable(MUSIC_FILE, strerror(errno));
        return nullptr;
    }
    MusicFile file;
    const char* why = music_read_file(st, &file);
    if (!why) why = music_load_bytes(file.bytes, file.size, &module);
    free(file.bytes);
    if (why) music_report_unreadable(MUSIC_FILE, why);
    return module;
}

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
    // A missing or unreadable file leaves g_module null: no music (and on a
    // PC one line saying why).
    g_module = music_load_module();
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
