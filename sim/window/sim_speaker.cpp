// Plays the driver's samples through SDL's audio queue, kept SIM_AUDIO_LEAD_SAMPLES
// ahead of the device: when a late frame lets the queue fall below one frame
// it is topped up with silence once, instead of clicking at every frame.
#include <SDL.h>

#include <vector>

#include "sim/sim_audio.h"
#include "sim/window/sim_window.h"

namespace {

constexpr uint32_t SPEAKER_LOW_BYTES = 368 * 4;                          // one 60 Hz frame
constexpr uint32_t SPEAKER_HIGH_BYTES = 8 * SIM_AUDIO_LEAD_SAMPLES * 4;  // host clock ran ahead

struct SdlSpeaker final : SimSpeaker {
    SDL_AudioDeviceID device = 0;

    void silence(uint32_t samples) {
        std::vector<int16_t> zeros(2 * samples);
        SDL_QueueAudio(device, zeros.data(), samples * 4);
    }

    bool open(uint32_t rate) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{}, have{};
        want.freq = int(rate);
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 512;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts to the device
        if (!device) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        silence(SIM_AUDIO_LEAD_SAMPLES);
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    void queue(const int16_t* stereo, uint32_t samples) override {
        if (!device) return;
        uint32_t queued = SDL_GetQueuedAudioSize(device);
        if (queued > SPEAKER_HIGH_BYTES) return;  // drop rather than drift ever later
        if (queued < SPEAKER_LOW_BYTES) silence(SIM_AUDIO_LEAD_SAMPLES - queued / 4);
        SDL_QueueAudio(device, stereo, samples * 4);
    }

    void close() override {
        if (!device) return;
        SDL_CloseAudioDevice(device);
        device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

SdlSpeaker g_speaker;

}  // namespace

SimSpeaker* sim_window_speaker() { return &g_speaker; }
