// Connects the sound driver to the simulated handheld's clock and exit, as
// the host command line asks; the front end adds its speaker later.
#include "sim/sim_audio.h"
#include "sim/sim_options.h"

#include <cstdio>

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
    if (sim_audio_attach(machine, setup)) return true;
    std::fprintf(stderr, "palendro: cannot write sound '%s'\n", options.wav_path.c_str());
    return false;
}
