// The simulated handheld's sound output: a libmikmod driver that mixes with
// the library's software mixer exactly as many samples as the frames the
// virtual clock has run, and hands them to the host's sound device (window),
// a recorder (the WAV file of --wav), both, or nowhere. --mute zeroes the mixed samples and
// changes nothing else. A host sound device that cannot open is one line on
// standard error ("no sound device: running silent"); the music is mixed
// and the WAV written all the same.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "music/music.h"
#include "sim/sim.h"

struct MDRIVER;

// Silence kept queued ahead of the host's sound device: six frames at 60 Hz,
// so a frame that comes up to 100 ms late does not run the queue dry.
constexpr uint32_t SIM_AUDIO_LEAD_SAMPLES = 2210;

// The most sound data a WAV's 32-bit sizes can describe: the RIFF size
// (data + 36) stays below 2^32, in whole stereo samples.
constexpr uint64_t SIM_WAV_MAX_DATA_BYTES = (0xFFFFFFFFull - 36) / 4 * 4;

struct SimAudioSetup {
    SimSpeaker* speaker = nullptr;  // the host's sound device (a paced front end), or none
    bool mute = false;
    SimRecorder* wav =
        nullptr;              // the recording (a WAV file), or none; finished by sim_audio_finish
    int64_t wav_frames = -1;  // the recording covers frames 0 .. wav_frames-1 (-1: all)
    // The recording stops before the frame that would take its sound data
    // past this size (a WAV's sizes are 32-bit); tests use a small stand-in.
    uint64_t wav_max_data_bytes = SIM_WAV_MAX_DATA_BYTES;
    std::function<uint64_t()> frame_count;  // vertical blanks so far
    std::function<SimRate()> frame_rate;    // of the output being driven now
};

// The host's sound device, from the front end; before the program starts.
void sim_audio_set_speaker(SimSpeaker* speaker);

// sim_audio_setup with `machine`'s clock, finished at the machine's shutdown.
void sim_audio_attach(SimMachine& machine, SimAudioSetup setup);

// Installs the driver for the music glue.
void sim_audio_setup(const SimAudioSetup& setup);
// Silence up to the last frame run, then the recording is finished and the
// driver lets go of the clock. Idempotent.
void sim_audio_finish();
// The recording ends before `frame` (if it would not end sooner), as with
// wav_frames = `frame`; before the driver has accounted that frame.
void sim_audio_end_wav_at(uint64_t frame);
// -1, or the frame the recording stopped before because it was full: it is
// kept, complete, with frames 0 .. that frame - 1.
int64_t sim_audio_wav_full_at();
uint64_t sim_audio_wav_max_data_bytes();  // the limit in use

// Stereo samples of frame `frame`: floor((n+1)*R) - floor(n*R), R = MUSIC_MIX_RATE / rate.
uint64_t sim_audio_frame_samples(uint64_t frame, SimRate rate);
uint64_t sim_audio_samples_out();  // produced so far (mixed, paused or padding)
uint64_t sim_audio_mixer_bytes();  // bytes the software mixer was asked for
MDRIVER* sim_audio_driver();

// Makes the driver report "not present" so the library fails to start; also
// set by PALENDRO_SIM_AUDIO_FAIL=1 in the environment.
void sim_audio_fail_init(bool fail);
