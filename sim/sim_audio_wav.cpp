// Writes 16-bit stereo PCM as a RIFF WAVE file under a temporary name; the
// sizes are filled in and the file renamed only when it is complete.
#include <cstring>

#include "sim/sim_audio_sink.h"
#include "sim/sim_file.h"

constexpr uint32_t WAV_HEADER_BYTES = 44;

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

bool sim_wav_open(SimWav* wav, const std::string& path, uint32_t rate) {
    wav->path = path;
    wav->rate = rate;
    wav->samples = 0;
    wav->failed = false;
    wav->file = fopen(sim_part_path(path).c_str(), "wb");
    if (!wav->file) return false;
    uint8_t h[WAV_HEADER_BYTES];
    wav_header(h, rate, 0);
    wav->failed = fwrite(h, 1, sizeof h, wav->file) != sizeof h;
    return true;
}

void sim_wav_write(SimWav* wav, const int16_t* stereo, uint32_t samples) {
    if (!wav->file) return;
    uint8_t bytes[4096];
    for (uint32_t done = 0; done < samples;) {
        uint32_t n = samples - done < 1024 ? samples - done : 1024;
        for (uint32_t i = 0; i < 2 * n; i++) put_u16(bytes + 2 * i, uint16_t(stereo[2 * done + i]));
        if (fwrite(bytes, 4, n, wav->file) != n) wav->failed = true;
        done += n;
    }
    wav->samples += samples;
}

bool sim_wav_close(SimWav* wav) {
    if (!wav->file) return true;
    uint8_t h[WAV_HEADER_BYTES];
    wav_header(h, wav->rate, wav->samples);
    bool ok = !wav->failed && fseek(wav->file, 0, SEEK_SET) == 0 &&
              fwrite(h, 1, sizeof h, wav->file) == sizeof h;
    ok = fclose(wav->file) == 0 && ok;
    wav->file = nullptr;
    std::string error;
    return sim_commit_file(wav->path, ok, &error) && ok;
}
