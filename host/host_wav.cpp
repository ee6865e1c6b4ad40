// Writes 16-bit stereo PCM as a RIFF WAVE file under a temporary name; the
// sizes are filled in when it is complete, and the run renames it. It is the
// sound driver's recorder, set up with --mute and the machine's clock.
#include "host/host_wav.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host_file.h"
#include "host/host_options.h"
#include "music/music.h"
#include "sim/sim_audio.h"

constexpr uint32_t WAV_HEADER_BYTES = 44;
constexpr uint64_t HOST_WAV_MAX_SAMPLES = (0xFFFFFFFFull - 36) / 4;

static void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (8 * i));
}
static void put_u16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

static void wav_header(uint8_t* h, uint32_t rate, uint64_t samples) {
    // The driver stops the file before it passes SIM_WAV_MAX_DATA_BYTES
    // (about 13.5 hours at 22100 Hz), so the sizes fit.
    uint32_t data_bytes = uint32_t(samples * 4);
    memcpy(h, "RIFF", 4);
    put_u32(h + 4, 36 + data_bytes);
    memcpy(h + 8, "WAVEfmt ", 8);
    put_u32(h + 16, 16);
    put_u16(h + 20, 1);  // PCM
    put_u16(h + 22, 2);  // stereo
    put_u32(h + 24, rate);
    put_u32(h + 28, rate * 4);
    put_u16(h + 32, 4);
    put_u16(h + 34, 16);
    memcpy(h + 36, "data", 4);
    put_u32(h + 40, data_bytes);
}

bool host_wav_open(HostWav* wav, const std::string& path, uint32_t rate, std::string* error) {
    *wav = HostWav{};
    wav->rate = rate;
    if (!host_out_open(&wav->out, path, error)) return false;
    // A device or a pipe cannot take the sizes afterwards: its header says
    // "as long as the largest WAV", which readers take as "to the end".
    uint8_t h[WAV_HEADER_BYTES];
    wav_header(h, rate, wav->out.temp.empty() ? HOST_WAV_MAX_SAMPLES : 0);
    host_out_write(&wav->out, h, sizeof h);
    return true;
}

void host_wav_write(HostWav* wav, const int16_t* stereo, uint32_t samples) {
    if (!wav->out.file) return;
    uint8_t bytes[4096];
    for (uint32_t done = 0; done < samples;) {
        uint32_t n = samples - done < 1024 ? samples - done : 1024;
        for (uint32_t i = 0; i < 2 * n; i++) put_u16(bytes + 2 * i, uint16_t(stereo[2 * done + i]));
        host_out_write(&wav->out, bytes, 4 * n);
        done += n;
    }
    wav->samples += samples;
}

bool host_wav_close(HostWav* wav) {
    if (!wav->out.file) return !wav->out.error;
    if (!wav->out.temp.empty() && !wav->out.error) {
        uint8_t h[WAV_HEADER_BYTES];
        wav_header(h, wav->rate, wav->samples);
        if (fseek(wav->out.file, 0, SEEK_SET) != 0) wav->out.error = errno;
        host_out_write(&wav->out, h, sizeof h);
    }
    return host_out_close(&wav->out);
}

namespace {

struct WavRecorder final : SimRecorder {
    HostWav wav;
    bool active = false;  // a WAV was asked for
    bool commit = false;  // renamed or removed at finish
    bool ok = true;       // opened, and every write and the close went through

    void record(const int16_t* stereo, uint32_t samples) override {
        host_wav_write(&wav, stereo, samples);
    }
    void finish() override {
        if (!host_wav_close(&wav)) ok = false;
        std::string error;
        if (commit && !host_wav_commit(ok, &error)) ok = false;
    }
};

WavRecorder g_host_wav;

}  // namespace

SimRecorder* host_wav_record(const std::string& path, bool commit_at_finish, std::string* error) {
    sim_audio_finish();  // the driver lets go of the recorder it has
    g_host_wav = WavRecorder{};
    if (path.empty()) return nullptr;
    g_host_wav.active = true;
    g_host_wav.commit = commit_at_finish;
    g_host_wav.ok = host_wav_open(&g_host_wav.wav, path, MUSIC_MIX_RATE, error);
    return g_host_wav.ok ? &g_host_wav : nullptr;
}

bool host_wav_ok() { return !g_host_wav.active || (g_host_wav.ok && !g_host_wav.wav.out.error); }

std::string host_wav_reason() { return host_out_reason(g_host_wav.wav.out); }

bool host_wav_commit(bool keep, std::string* error) {
    if (keep) return host_out_commit(&g_host_wav.wav.out, error);
    host_out_withdraw(&g_host_wav.wav.out);
    return true;
}

bool host_audio_configure(const HostOptions& options, SimMachine& machine) {
    SimAudioSetup setup;
    setup.mute = options.mute;
    setup.wav_frames = options.frames;  // like the video: frames 0 .. N-1
    // For tests: a WAV that is full after a few frames instead of 13 hours.
    if (const char* limit = std::getenv("PALENDRO_SIM_WAV_MAX_BYTES"))
        setup.wav_max_data_bytes = std::strtoull(limit, nullptr, 10);
    std::string error;
    // Not committed at the end of the sound: the host run commits all of its files together.
    setup.wav = host_wav_record(options.wav_path, false, &error);
    if (!options.wav_path.empty() && !setup.wav) {
        std::fprintf(stderr, "palendro: %s\n", error.c_str());
        return false;
    }
    sim_audio_attach(machine, setup);
    return true;
}
