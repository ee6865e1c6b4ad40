// Connects the sound driver to the simulated handheld's clock and exit, as
// the host command line asks; the front end adds its speaker later.
#include "sim/sim_audio.h"
#include "sim/sim_options.h"

#include <cstdio>
#include <cstdlib>

bool sim_audio_attach(SimMachine& machine, SimAudioSetup setup) {
    setup.frame_count = [&machine] { return machine.frame_count(); };
    setup.frame_rate = [&machine] { return machine.frame_rate(); };
    machine.on_exit(sim_audio_finish);
    return sim_audio_setup(setup);
}

bool sim_audio_configure(const HostOptions& options, SimMachine& machine) {
    SimAudioSetup setup;
    setup.mute = options.mute;
    setup.wav_path = options.wav_path;
    setup.wav_frames = options.frames;  // like the video: frames 0 .. N-1
    setup.wav_commit = false;           // the host run commits all of its files together
    // For tests: a WAV that is full after a few frames instead of 13 hours.
    if (const char* limit = std::getenv("PALENDRO_SIM_WAV_MAX_BYTES"))
        setup.wav_max_data_bytes = std::strtoull(limit, nullptr, 10);
    if (sim_audio_attach(machine, setup)) return true;
    std::fprintf(stderr, "palendro: %s\n", sim_audio_wav_open_error().c_str());
    return false;
}
