// Connects the sound driver to the simulated handheld's clock and exit, as
// the host command line asks; the front end adds its speaker later.
#include "sim/sim_audio.h"
#include "sim/sim_audio_sink.h"
#include "sim/sim_options.h"

#include <cstdio>
#include <cstdlib>

void sim_audio_attach(SimMachine& machine, SimAudioSetup setup) {
    setup.frame_count = [&machine] { return machine.frame_count(); };
    setup.frame_rate = [&machine] { return machine.frame_rate(); };
    machine.on_exit(sim_audio_finish);
    sim_audio_setup(setup);
}

bool sim_audio_configure(const HostOptions& options, SimMachine& machine) {
    SimAudioSetup setup;
    setup.mute = options.mute;
    setup.wav_frames = options.frames;  // like the video: frames 0 .. N-1
    // For tests: a WAV that is full after a few frames instead of 13 hours.
    if (const char* limit = std::getenv("PALENDRO_SIM_WAV_MAX_BYTES"))
        setup.wav_max_data_bytes = std::strtoull(limit, nullptr, 10);
    std::string error;
    // Not committed at the end of the sound: the host run commits all of its files together.
    setup.wav = sim_wav_record(options.wav_path, false, &error);
    if (!options.wav_path.empty() && !setup.wav) {
        std::fprintf(stderr, "palendro: %s\n", error.c_str());
        return false;
    }
    sim_audio_attach(machine, setup);
    return true;
}
