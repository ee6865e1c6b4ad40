// Frame captures: PNG screenshots, the Y4M recording, frame hashes.
#include "host/host_capture.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include <bit>

#include "sim/color.h"

uint64_t host_frame_hash(const SimFrame& frame) {
    constexpr uint64_t FNV_OFFSET = 0xCBF29CE484222325ull, FNV_PRIME = 0x100000001B3ull;
    // Four independent lanes over pixel pairs: the multiplies of one lane do
    // not wait for the others', so the hash runs at the multiplier's rate.
    uint64_t lane[4] = {FNV_OFFSET, FNV_OFFSET, FNV_OFFSET, FNV_OFFSET};
    const uint32_t* p = frame.pixels.data();
    const size_t n = frame.pixels.size();
    auto word = [p](size_t j) {
        if constexpr (std::endian::native == std::endian::little) {
            uint64_t w;  // the pair as it lies in memory: first pixel in the low half
            std::memcpy(&w, p + 2 * j, sizeof w);
            return w;
        }
        return uint64_t(p[2 * j]) | uint64_t(p[2 * j + 1]) << 32;
    };
    // A multiply moves bits only upward: folding the high half back down after
    // each step lets the second pixel of a pair reach the low bits too.
    auto step = [](uint64_t h, uint64_t w) {
        h = (h ^ w) * FNV_PRIME;
        return h ^ h >> 32;
    };
    const size_t words = n / 2;
    size_t j = 0;
    for (; j + 4 <= words; j += 4)
        for (int k = 0; k < 4; ++k) lane[k] = step(lane[k], word(j + k));
    for (; j < words; ++j) lane[j % 4] = step(lane[j % 4], word(j));
    if (n % 2) lane[words % 4] = step(lane[words % 4], p[n - 1]);
    uint64_t h = FNV_OFFSET;
    for (uint64_t v : lane) h = step(h, v);
    return h;
}

std::string host_frame_hash_line(uint64_t frame_number, const SimFrame& frame) {
    char line[40];
    std::snprintf(line, sizeof line, "frame %06" PRIu64 " hash %016" PRIx64, frame_number,
                  host_frame_hash(frame));
    return line;
}

// --- Y4M ------------------------------------------------------------------

bool host_y4m_open(HostY4mWriter* w, const std::string& path, std::string* error) {
    *w = HostY4mWriter{};
    return host_out_open(&w->out, path, error);
}

static bool y4m_header(HostY4mWriter* w, int width, int height, SimRate rate) {
    w->width = width;
    w->height = height;
    char header[80];
    const int n = std::snprintf(header, sizeof header, "YUV4MPEG2 W%d H%d F%u:%u Ip A1:1 C444\n",
                                width, height, unsigned(rate.num), unsigned(rate.den));
    return host_out_write(&w->out, header, size_t(n));
}

bool host_y4m_frame(HostY4mWriter* w, const SimFrame& frame, SimRate rate) {
    if (!w->out.file || w->out.error) return false;
    if (w->width == 0) y4m_header(w, frame.width, frame.height, rate);
    const size_t plane = size_t(w->width) * w->height;
    w->plane_buffer.assign(3 * plane, '\0');
    char* y = w->plane_buffer.data();
    char* cb = y + plane;
    char* cr = cb + plane;
    for (int row = 0; row < w->height; ++row)
        for (int x = 0; x < w->width; ++x) {
            uint32_t p = row < frame.height && x < frame.width
                             ? frame.pixels[size_t(row) * frame.width + x]
                             : 0;
            YCbCr c = rgb_to_ycbcr({uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
            size_t i = size_t(row) * w->width + x;
            y[i] = char(c.y);
            cb[i] = char(c.cb);
            cr[i] = char(c.cr);
        }
    host_out_write(&w->out, "FRAME\n", 6);
    return host_out_write(&w->out, w->plane_buffer.data(), w->plane_buffer.size());
}

bool host_y4m_close(HostY4mWriter* w, std::string* error) {
    if (w->out.file && w->width == 0) y4m_header(w, w->empty_width, w->empty_height, w->empty_rate);
    if (host_out_close(&w->out)) return true;
    *error = "recording failed: " + host_out_reason(w->out);
    return false;
}
