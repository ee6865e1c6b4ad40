// The simulated handheld's sound device on a page: the driver's samples go to
// the page's Web Audio output (web/page/front.js), which keeps a small ring
// buffer SIM_AUDIO_LEAD_SAMPLES ahead of the sound card, as the window's
// queue does.
#include "web/web_speaker.h"

#include <emscripten.h>

#include "sim/sim_audio.h"

// clang-format off
EM_JS(int, web_page_speaker_open, (unsigned rate, unsigned lead), {
    return Module.palendro.speakerOpen(rate, lead) ? 1 : 0;
});
EM_JS(void, web_page_speaker_queue, (const int16_t* stereo, unsigned samples), {
    Module.palendro.speakerQueue(stereo, samples);
});
EM_JS(void, web_page_speaker_close, (), {
    Module.palendro.speakerClose();
});
// clang-format on

namespace {

struct PageSpeaker final : SimSpeaker {
    bool open(uint32_t rate) override {
        return web_page_speaker_open(rate, SIM_AUDIO_LEAD_SAMPLES) != 0;
    }
    void queue(const int16_t* stereo, uint32_t samples) override {
        web_page_speaker_queue(stereo, samples);
    }
    void close() override { web_page_speaker_close(); }
};

PageSpeaker g_page_speaker;

}  // namespace

SimSpeaker* web_page_speaker() { return &g_page_speaker; }
