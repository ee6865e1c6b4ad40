// Captures of composed frames: PNG screenshots, a Y4M recording and frame
// hashes. Files are written under a temporary name (host_file.h) and renamed
// only when the run keeps them, so an interrupted run never leaves a
// truncated file under the real name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/sim.h"
#include "sim/sim_compositor.h"
#include "host/host_file.h"

// The frame hash. The pixels (32-bit words 0x00RRGGBB, row by row from the
// top, left to right) are taken in pairs as 64-bit words w_j = pixel[2j] |
// pixel[2j+1] << 32; an odd last pixel is a last word with a zero high half.
// Word j goes to lane j mod 4. Each lane starts at 0xCBF29CE484222325 and
// takes its words by the FNV-1a 64 step followed by a fold (h ^= w;
// h *= 0x100000001B3 modulo 2^64; h ^= h >> 32); the hash is the same steps
// over the four lane values in lane order, from the same start.
uint64_t host_frame_hash(const SimFrame& frame);
// The line --frame-hash prints for a frame, without the newline:
// "frame 000123 hash 0123456789abcdef".
std::string host_frame_hash_line(uint64_t frame_number, const SimFrame& frame);

// An 8-bit RGB PNG of the frame. On failure returns false with a reason
// (always, in a build without zlib).
// False in a build without zlib (the page, the handheld's): no PNG files there.
bool host_png_available();
bool host_png_write(const std::string& path, const SimFrame& frame, std::string* error);
// The same into an opened output file, which is then closed; false (and
// f->error set) when that fails.
bool host_png_write_file(HostOutFile* f, const SimFrame& frame);

// A Y4M recording: "YUV4MPEG2 W.. H.. F<num>:<den> Ip A1:1 C444", then per
// frame "FRAME\n" and the full-resolution Y, Cb and Cr planes, converted with
// rgb_to_ycbcr (BT.601 video range, as Y4M readers assume).
// The size is that of the first frame; a later frame of another size is
// cropped or padded with black to it. A recording without frames is the
// header alone, of the size and rate given as `empty_*`.
struct HostY4mWriter {
    HostOutFile out;  // under its temporary name until the run commits it
    int width = 0, height = 0;
    int empty_width = 320, empty_height = 240;
    SimRate empty_rate{60, 1};
    std::string plane_buffer;
};
bool host_y4m_open(HostY4mWriter* w, const std::string& path, std::string* error);
// False when a write failed (the recording is then bad).
bool host_y4m_frame(HostY4mWriter* w, const SimFrame& frame, SimRate rate);
// Closes the file (not yet renamed); false with the reason when a write failed.
bool host_y4m_close(HostY4mWriter* w, std::string* error);
