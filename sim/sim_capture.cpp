// Frame captures: PNG through libpng, Y4M written by hand, frame hashes.
#include "sim/sim_capture.h"

#include <png.h>

#include <cerrno>
#include <cstring>

#include <bit>

#include "sim/color.h"

uint64_t sim_frame_hash(const SimFrame& frame) {
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

std::string sim_part_path(const std::string& path) { return path + ".part"; }

bool sim_commit_file(const std::string& path, bool keep, std::string* error) {
    const std::string part = sim_part_path(path);
    if (!keep) {
        std::remove(part.c_str());
        return true;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        *error = "cannot rename '" + part + "' to '" + path + "': " + std::strerror(errno);
        std::remove(part.c_str());
        return false;
    }
    return true;
}

// --- PNG ------------------------------------------------------------------

namespace {

struct PngFile {
    FILE* f = nullptr;
    ~PngFile() {
        if (f) std::fclose(f);
    }
};

}  // namespace

bool sim_png_write(const std::string& path, const SimFrame& frame, std::string* error) {
    PngFile out;
    out.f = std::fopen(path.c_str(), "wb");
    if (!out.f) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row(size_t(frame.width) * 3);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        *error = "cannot write '" + path + "': PNG encoding failed";
        return false;
    }
    png_init_io(png, out.f);
    png_set_IHDR(png, info, png_uint_32(frame.width), png_uint_32(frame.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < frame.height; ++y) {
        const uint32_t* src = frame.pixels.data() + size_t(y) * frame.width;
        for (int x = 0; x < frame.width; ++x) {
            row[3 * x] = uint8_t(src[x] >> 16);
            row[3 * x + 1] = uint8_t(src[x] >> 8);
            row[3 * x + 2] = uint8_t(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    const bool flushed = std::fflush(out.f) == 0 && !std::ferror(out.f);
    const int close_status = std::fclose(out.f);
    out.f = nullptr;
    if (!flushed || close_status != 0) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

bool sim_png_read(const std::string& path, SimFrame* frame, std::string* error) {
    PngFile in;
    in.f = std::fopen(path.c_str(), "rb");
    if (!in.f) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        *error = "cannot read '" + path + "': not a PNG";
        return false;
    }
    png_init_io(png, in.f);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    frame->width = int(png_get_image_width(png, info));
    frame->height = int(png_get_image_height(png, info));
    frame->pixels.assign(size_t(frame->width) * frame->height, 0);
    std::vector<uint8_t> row(png_get_rowbytes(png, info));
    for (int y = 0; y < frame->height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < frame->width; ++x)
            frame->pixels[size_t(y) * frame->width + x] =
                uint32_t(row[3 * x]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x + 2];
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// --- Y4M ------------------------------------------------------------------

bool sim_y4m_open(SimY4mWriter* w, const std::string& path, std::string* error) {
    *w = SimY4mWriter{};
    w->file = std::fopen(path.c_str(), "wb");
    if (!w->file) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

void sim_y4m_frame(SimY4mWriter* w, const SimFrame& frame, SimRate rate) {
    if (!w->file || w->failed) return;
    if (w->width == 0) {
        w->width = frame.width;
        w->height = frame.height;
        if (std::fprintf(w->file, "YUV4MPEG2 W%d H%d F%u:%u Ip A1:1 C444\n", w->width, w->height,
                         unsigned(rate.num), unsigned(rate.den)) < 0)
            w->failed = true;
    }
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
    if (std::fputs("FRAME\n", w->file) < 0 ||
        std::fwrite(w->plane_buffer.data(), 1, w->plane_buffer.size(), w->file) !=
            w->plane_buffer.size())
        w->failed = true;
}

bool sim_y4m_close(SimY4mWriter* w, std::string* error) {
    if (!w->file) return !w->failed;
    bool ok = !w->failed && std::fflush(w->file) == 0 && !std::ferror(w->file);
    int saved = errno;
    if (std::fclose(w->file) != 0) ok = false, saved = errno;
    w->file = nullptr;
    if (!ok) *error = std::string("recording failed: ") + std::strerror(saved);
    return ok;
}
