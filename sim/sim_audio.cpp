// The sound driver of the simulated handheld. The library's software mixer
// does all the mixing (VC_*); this driver only decides how many samples each
// service produces: those of every frame the virtual clock has run since the
// last one, so the sound stays sample-exact with the picture. Frames before
// the driver starts, while it is stopped and after it ends are silence.
#include "sim/sim_audio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <mikmod.h>

#include "music/music_output.h"

constexpr uint32_t CHUNK_SAMPLES = 1024;

struct SimAudio {
    SimAudioSetup setup;
    bool fail_init = false;
    bool speaker_open = false;  // the host's sound device
    uint64_t frames = 0;        // frames accounted in `due`
    uint64_t due = 0;           // stereo samples owed for those frames
    uint64_t out = 0;           // stereo samples produced
    uint64_t mixer_bytes = 0;
    uint64_t wav_end = UINT64_MAX;  // samples before this one go to the WAV
    int64_t wav_full_at = -1;       // the frame the WAV stopped before when full
    bool wav_done = false;          // the recorder was finished
};

static SimAudio g_sim_audio;

uint64_t sim_audio_frame_samples(uint64_t frame, SimRate rate) {
    uint64_t per = uint64_t(MUSIC_MIX_RATE) * rate.den;  // u64: exact for 10^9 frames
    return (frame + 1) * per / rate.num - frame * per / rate.num;
}

static void account_frames() {
    SimAudio& a = g_sim_audio;
    if (!a.setup.frame_count) return;
    uint64_t now = a.setup.frame_count();
    if (a.frames >= now) return;
    SimRate rate = a.setup.frame_rate();
    for (; a.frames < now; a.frames++) {
        const uint64_t n = sim_audio_frame_samples(a.frames, rate);
        if (a.wav_end == UINT64_MAX) {
            // The WAV ends with whole frames: at the run's last captured frame,
            // or before the first frame that would not fit.
            if (int64_t(a.frames) == a.setup.wav_frames) {
                a.wav_end = a.due;
            } else if ((a.due + n) * 4 > a.setup.wav_max_data_bytes) {
                a.wav_end = a.due;
                if (a.setup.wav) a.wav_full_at = int64_t(a.frames);
            }
        }
        a.due += n;
    }
}

enum class Fill { MIX, PAUSE, GAP };

// Produces the samples owed: mixed, the library's silence (paused), or plain
// zeros for time the library is not running.
static void produce(Fill fill) {
    SimAudio& a = g_sim_audio;
    account_frames();
    int16_t buf[2 * CHUNK_SAMPLES];
    while (a.out < a.due) {
        uint32_t n = uint32_t(a.due - a.out < CHUNK_SAMPLES ? a.due - a.out : CHUNK_SAMPLES);
        SBYTE* bytes = reinterpret_cast<SBYTE*>(buf);
        if (fill == Fill::MIX) {
            VC_WriteBytes(bytes, n * 4);
            a.mixer_bytes += n * 4;
        } else if (fill == Fill::PAUSE) {
            VC_SilenceBytes(bytes, n * 4);
        } else {
            memset(buf, 0, n * 4);
        }
        if (a.setup.mute) memset(buf, 0, n * 4);
        if (a.setup.wav && a.out < a.wav_end)
            a.setup.wav->record(buf, uint32_t(a.wav_end - a.out < n ? a.wav_end - a.out : n));
        if (a.speaker_open) a.setup.speaker->queue(buf, n);
        a.out += n;
    }
}

static void driver_command_line(const CHAR*) {}

static BOOL driver_is_present() {
    const char* env = getenv("PALENDRO_SIM_AUDIO_FAIL");
    return !(g_sim_audio.fail_init || (env && env[0] == '1'));
}

static int driver_init() {
    SimAudio& a = g_sim_audio;
    // The host's sound device only listens: without it the music is mixed
    // all the same (for the WAV), and the handheld's sound did start.
    if (a.setup.speaker) {
        a.speaker_open = a.setup.speaker->open(MUSIC_MIX_RATE);
        if (!a.speaker_open) std::fputs("palendro: no sound device: running silent\n", stderr);
    }
    return VC_Init();
}

static void driver_exit() {
    VC_Exit();
    if (g_sim_audio.speaker_open) {
        produce(Fill::GAP);
        g_sim_audio.setup.speaker->close();
        g_sim_audio.speaker_open = false;
    }
}

static int driver_reset() {
    VC_Exit();
    return VC_Init();
}

static int driver_play_start() {
    produce(Fill::GAP);  // the frames before the sound started
    return VC_PlayStart();
}

static void driver_play_stop() {
    produce(Fill::GAP);
    VC_PlayStop();
}

static void driver_update() { produce(Fill::MIX); }
static void driver_pause() { produce(Fill::PAUSE); }

static MDRIVER g_sim_audio_driver = {
    nullptr,
    "Simulated handheld",
    "Palendro simulated handheld sound 1.0",
    0,
    255,
    "palendro",
    "",
    driver_command_line,
    driver_is_present,
    VC_SampleLoad,
    VC_SampleUnload,
    VC_SampleSpace,
    VC_SampleLength,
    driver_init,
    driver_exit,
    driver_reset,
    VC_SetNumVoices,
    driver_play_start,
    driver_play_stop,
    driver_update,
    driver_pause,
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

MDRIVER* sim_audio_driver() { return &g_sim_audio_driver; }

void sim_audio_setup(const SimAudioSetup& setup) {
    sim_audio_finish();
    bool fail = g_sim_audio.fail_init;
    g_sim_audio = SimAudio{};
    g_sim_audio.setup = setup;
    g_sim_audio.fail_init = fail;
    music_use_driver(&g_sim_audio_driver);
}

void sim_audio_attach(SimMachine& machine, SimAudioSetup setup) {
    setup.frame_count = [&machine] { return machine.frame_count(); };
    setup.frame_rate = [&machine] { return machine.frame_rate(); };
    machine.on_exit(sim_audio_finish);
    sim_audio_setup(setup);
}

void sim_audio_set_speaker(SimSpeaker* speaker) { g_sim_audio.setup.speaker = speaker; }

void sim_audio_finish() {
    SimAudio& a = g_sim_audio;
    produce(Fill::GAP);
    if (!a.wav_done && a.setup.wav) {
        a.wav_done = true;
        a.setup.wav->finish();
    }
    // The clock's machine may go away now: later services make no samples.
    g_sim_audio.setup.frame_count = nullptr;
    g_sim_audio.setup.frame_rate = nullptr;
}

void sim_audio_end_wav_at(uint64_t frame) {
    SimAudio& a = g_sim_audio;
    if (a.wav_end != UINT64_MAX || a.frames > frame) return;  // already ended
    if (a.setup.wav_frames < 0 || int64_t(frame) < a.setup.wav_frames)
        a.setup.wav_frames = int64_t(frame);
}

int64_t sim_audio_wav_full_at() { return g_sim_audio.wav_full_at; }
uint64_t sim_audio_wav_max_data_bytes() { return g_sim_audio.setup.wav_max_data_bytes; }

uint64_t sim_audio_samples_out() { return g_sim_audio.out; }
uint64_t sim_audio_mixer_bytes() { return g_sim_audio.mixer_bytes; }
void sim_audio_fail_init(bool fail) { g_sim_audio.fail_init = fail; }
