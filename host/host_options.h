// The host command line: options that configure the simulated handheld
// around the program (the device build reads none).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim.h"

struct ScreenshotRequest {
    uint64_t frame;
    std::string path;
};

struct HostOptions {
    SimConfig sim;
    bool headless = false;  // also chosen when no display is available
    int64_t frames = -1;    // -1: run until the user quits
    int scale = 3;          // window scale
    std::vector<ScreenshotRequest> screenshots;
    std::string record_path;  // Y4M
    bool frame_hash = false;
    std::string wav_path;
    std::string input_path;  // the --input script, "" = none
    bool mute = false;
    bool help = false;
    bool version = false;
};

// Parses argv. On an error returns false with one line (no newline) in
// `error`; nothing has been started then.
bool host_parse_options(int argc, char** argv, HostOptions* out, std::string* error);
// What is known at the start about the files the run writes; false with one
// line when a screenshot frame lies past --frames, an output names a folder,
// two outputs name one file, or an output names the input script or the
// music module (paths compared after resolving them).
bool host_check_outputs(const HostOptions& options, std::string* error);
// `text` with every byte outside printable ASCII as \xNN, for error lines.
std::string host_printable(const std::string& text);
// An input script is a regular file of at most this size.
constexpr uint64_t HOST_INPUT_MAX_BYTES = uint64_t(64) << 20;
// Parses an input script; errors name the line number.
bool host_parse_input_script(const std::string& text, std::vector<SimInputStep>* out,
                             std::string* error);
const char* host_usage();
// Key names of the input script and their button-mask bits.
struct KeyName {
    const char* name;
    uint32_t mask;
};
extern const KeyName HOST_KEY_NAMES[];
extern const int HOST_KEY_NAME_COUNT;
