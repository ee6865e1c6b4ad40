// Plays the driver's samples through SDL's audio queue, kept SIM_AUDIO_LEAD_SAMPLES
// ahead of the device: when a late frame lets the queue fall below one frame
// it is topped up with silence once, instead of clicking at every frame.
#include <SDL.h>

#include <vector>

#include "sim/sim_audio.h"
#include "sim/sim_audio_sink.h"

constexpr uint32_t SPEAKER_LOW_BYTES = 368 * 4;                          // one 60 Hz frame
constexpr uint32_t SPEAKER_HIGH_BYTES = 8 * SIM_AUDIO_LEAD_SAMPLES * 4;  // host clock ran ahead

static SDL_AudioDeviceID g_speaker;

static void speaker_silence(uint32_t samples) {
    std::vector<int16_t> zeros(2 * samples);
    SDL_QueueAudio(g_speaker, zeros.data(), samples * 4);
}

bool sim_speaker_open(uint32_t rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{}, have{};
    want.freq = int(rate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    g_speaker = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts to the device
    if (!g_speaker) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    speaker_silence(SIM_AUDIO_LEAD_SAMPLES);
    SDL_PauseAudioDevice(g_speaker, 0);
    return true;
}

void sim_speaker_queue(const int16_t* stereo, uint32_t samples) {
    if (!g_speaker) return;
    uint32_t queued = SDL_GetQueuedAudioSize(g_speaker);
    if (queued > SPEAKER_HIGH_BYTES) return;  // drop rather than drift ever later
    if (queued < SPEAKER_LOW_BYTES) speaker_silence(SIM_AUDIO_LEAD_SAMPLES - queued / 4);
    SDL_QueueAudio(g_speaker, stereo, samples * 4);
}

void sim_speaker_close() {
    if (!g_speaker) return;
    SDL_CloseAudioDevice(g_speaker);
    g_speaker = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
