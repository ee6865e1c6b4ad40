// Plays the driver's samples through SDL's audio queue, kept SIM_AUDIO_LEAD_SAMPLES
// ahead of the device: when a late frame lets the queue fall below one frame
// it is topped up with silence once, instead of clicking at every frame.
// The sound system's own complaints (a machine without a sound card gets
// nine lines of them from ALSA) are kept off standard error while the device
// opens: a failed open is said in one line by the sound driver.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "sim/sim_audio.h"
#include "host/window/host_window.h"

namespace {

constexpr uint32_t SPEAKER_LOW_BYTES = 368 * 4;                          // one 60 Hz frame
constexpr uint32_t SPEAKER_HIGH_BYTES = 8 * SIM_AUDIO_LEAD_SAMPLES * 4;  // host clock ran ahead

// Standard error goes to /dev/null while it lives.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = ::open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_ = -1;
};

struct SdlSpeaker final : SimSpeaker {
    SDL_AudioDeviceID device = 0;

    void silence(uint32_t samples) {
        std::vector<int16_t> zeros(2 * samples);
        SDL_QueueAudio(device, zeros.data(), samples * 4);
    }

    bool open(uint32_t rate) override {
        QuietStderr quiet;
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

SimSpeaker* host_window_speaker() { return &g_speaker; }
