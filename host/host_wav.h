// The WAV file the sound driver records into (--wav), and the host run's
// set-up of the sound: its clock, --mute and the WAV.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/host_file.h"
#include "sim/sim_front.h"

struct HostOptions;
class SimMachine;

struct HostWav {
    HostOutFile out;  // under its temporary name until committed
    uint32_t rate = 0;
    uint64_t samples = 0;  // stereo samples written
};

// False, with one line, when the file cannot be created.
bool host_wav_open(HostWav* wav, const std::string& path, uint32_t rate, std::string* error);
void host_wav_write(HostWav* wav, const int16_t* stereo, uint32_t samples);
// Sizes, then the file is closed (not yet renamed). False when any write failed.
bool host_wav_close(HostWav* wav);

// The run's WAV as the sound driver's recorder, one at a time: created at
// `path` (after the recording in progress, if any, is finished); null when
// `path` is "" or, with one line in `error`, when it cannot be created. With
// `commit_at_finish` it takes its real name (or is removed when a write
// failed) when the driver finishes; otherwise it is only closed then, and
// host_wav_commit decides, with the run's other files.
SimRecorder* host_wav_record(const std::string& path, bool commit_at_finish, std::string* error);
// False when the WAV could not be written completely (it is then not kept).
bool host_wav_ok();
std::string host_wav_reason();  // why not, as errno says
// The WAV takes its real name (`keep`) or is removed; false, with one line,
// when the rename fails.
bool host_wav_commit(bool keep, std::string* error);

// From the host command line: --wav, --mute; the clock is `machine`'s, the
// WAV is finished when the machine shuts down. False, with one line on
// standard error, when the WAV cannot be created.
bool host_audio_configure(const HostOptions& options, SimMachine& machine);
