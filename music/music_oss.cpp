// The handheld's sound driver: the library's software mixer (VC_*) into the
// firmware's OSS device, /dev/dsp. Each service asks the device how much room
// it has (GETOSPACE) and mixes and writes only that much, up to a fill level
// well under 100 ms of sound and at most MUSIC_OSS_PASS_BYTES: in steady state
// one frame's worth a pass, whatever fragment size the driver grants, and no
// write ever waits on the device.
#include "music/music_oss.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/soundcard.h>
#include <unistd.h>

#include <mikmod.h>

#include "music/music.h"

// Fragments of 1 KiB (under one frame's 1,473 bytes at 60 Hz), as many as the
// driver has: the fill is ours to keep, by GETOSPACE.
constexpr int MUSIC_OSS_FRAGMENT = 0x7FFF000A;
static_assert((MUSIC_OSS_FRAGMENT & 0xFFFF) == 10);

struct MusicOss {
    int fd = -1;
    bool has_space = true;
    alignas(4) SBYTE buffer[MUSIC_OSS_PASS_BYTES];
};

static MusicOss g_music_oss;

// Room below the fill level, from the device's buffer and its free bytes.
static int music_oss_room(int total, int free_bytes) {
    int room = MUSIC_OSS_FILL_BYTES - (total - free_bytes);
    if (room > free_bytes) room = free_bytes;
    if (room > MUSIC_OSS_PASS_BYTES) room = MUSIC_OSS_PASS_BYTES;
    return room > 0 ? room & ~3 : 0;  // whole stereo samples
}

// The bytes this pass may write: what the device has room for, or (a driver
// without GETOSPACE) one pass's worth, written blocking.
static int music_oss_pass_bytes() {
    MusicOss& o = g_music_oss;
    if (o.has_space) {
        audio_buf_info info;
        if (ioctl(o.fd, SNDCTL_DSP_GETOSPACE, &info) == 0)
            return music_oss_room(info.fragstotal * info.fragsize, info.bytes);
        o.has_space = false;
    }
    return MUSIC_OSS_SLOW_BYTES;
}

static void music_oss_write(const SBYTE* bytes, int n) {
    while (n > 0) {
        const ssize_t done = write(g_music_oss.fd, bytes, size_t(n));
        if (done <= 0) return;  // the sound is lost; the demo goes on
        bytes += done;
        n -= int(done);
    }
}

static void music_oss_fill(bool silence) {
    const int n = music_oss_pass_bytes();
    if (n <= 0) return;
    if (silence)
        VC_SilenceBytes(g_music_oss.buffer, ULONG(n));
    else
        VC_WriteBytes(g_music_oss.buffer, ULONG(n));
    music_oss_write(g_music_oss.buffer, n);
}

static void music_oss_command_line(const CHAR*) {}
static BOOL music_oss_is_present() { return access("/dev/dsp", W_OK) == 0; }

static int music_oss_init() {
    MusicOss& o = g_music_oss;
    o.fd = open("/dev/dsp", O_WRONLY);
    if (o.fd < 0) {
        MikMod_errno = MMERR_OPENING_AUDIO;
        return 1;
    }
    int fragment = MUSIC_OSS_FRAGMENT, format = AFMT_S16_LE, channels = 2, rate = MUSIC_MIX_RATE;
    // The fragment request comes first: the driver takes it only before the
    // format is set.
    ioctl(o.fd, SNDCTL_DSP_SETFRAGMENT, &fragment);
    if (ioctl(o.fd, SNDCTL_DSP_SETFMT, &format) < 0 || format != AFMT_S16_LE ||
        ioctl(o.fd, SNDCTL_DSP_CHANNELS, &channels) < 0 || channels != 2 ||
        ioctl(o.fd, SNDCTL_DSP_SPEED, &rate) < 0) {
        close(o.fd);
        o.fd = -1;
        MikMod_errno = MMERR_OSS_SETSAMPLESIZE;
        return 1;
    }
    md_mixfreq = UWORD(rate);
    o.has_space = true;
    return VC_Init();
}

static void music_oss_exit() {
    VC_Exit();
    if (g_music_oss.fd >= 0) close(g_music_oss.fd);
    g_music_oss.fd = -1;
}

static int music_oss_reset() {
    VC_Exit();
    return VC_Init();
}

static void music_oss_update() { music_oss_fill(false); }
static void music_oss_pause() { music_oss_fill(true); }

static MDRIVER g_music_oss_driver = {
    nullptr,
    "Handheld OSS",
    "Palendro handheld OSS sound 1.0",
    0,
    255,
    "oss",
    "",
    music_oss_command_line,
    music_oss_is_present,
    VC_SampleLoad,
    VC_SampleUnload,
    VC_SampleSpace,
    VC_SampleLength,
    music_oss_init,
    music_oss_exit,
    music_oss_reset,
    VC_SetNumVoices,
    VC_PlayStart,
    VC_PlayStop,
    music_oss_update,
    music_oss_pause,
    VC_VoiceSetVolume,
    VC_VoiceGetVolume,
    VC_VoiceSetFrequency,
    VC_VoiceGetFrequency,
    VC_VoiceSetPanning,
    VC_VoiceGetPanning,
    VC_VoicePlay,
    VC_VoiceStop,
    VC_VoiceStopped,
    VC_VoiceGetPosition,
    VC_VoiceRealVolume,
};

MDRIVER* music_oss_driver() { return &g_music_oss_driver; }
