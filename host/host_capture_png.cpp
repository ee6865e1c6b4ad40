// Screenshots on the PC: the frame as an 8-bit RGB PNG (host/png.h, zlib).
#include "host/png.h"
#include "host/host_capture.h"

static std::vector<uint8_t> frame_rgb(const SimFrame& frame) {
    std::vector<uint8_t> rgb(frame.pixels.size() * 3);
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        rgb[3 * i] = uint8_t(frame.pixels[i] >> 16);
        rgb[3 * i + 1] = uint8_t(frame.pixels[i] >> 8);
        rgb[3 * i + 2] = uint8_t(frame.pixels[i]);
    }
    return rgb;
}

bool host_png_available() { return true; }

bool host_png_write(const std::string& path, const SimFrame& frame, std::string* error) {
    return png_write_rgb(path, frame.width, frame.height, frame_rgb(frame).data(), error);
}

bool host_png_write_file(HostOutFile* f, const SimFrame& frame) {
    const std::vector<uint8_t> png =
        png_encode_rgb(frame.width, frame.height, frame_rgb(frame).data());
    host_out_write(f, png.data(), png.size());
    return host_out_close(f);
}
