// The test side of the PNG writer: the chunk reader, with zlib's inflate and
// CRC-32.
#include "tests/support/png_read.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include <zlib.h>

namespace {

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

}  // namespace

bool png_decode_rgb(const std::vector<uint8_t>& file, PngImage* image, std::string* error) {
    static const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(SIGNATURE, SIGNATURE + 8, file.begin()))
        return fail(error, "not a PNG");
    std::vector<uint8_t> idat;
    bool header = false, end = false;
    for (size_t at = 8; !end;) {
        if (file.size() - at < 12) return fail(error, "chunk cut short");
        const uint32_t length = be32(&file[at]);
        if (file.size() - at - 12 < length) return fail(error, "chunk cut short");
        const std::string type(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
        const uint8_t* body = &file[at + 8];
        if (be32(body + length) != crc32(0, &file[at + 4], uInt(length + 4)))
            return fail(error, "CRC of " + type + " does not match");
        if (type == "IHDR") {
            if (length != 13 || body[8] != 8 || body[9] != 2 || body[10] || body[11] || body[12])
                return fail(error, "not an 8-bit RGB PNG without interlace");
            image->width = int(be32(body));
            image->height = int(be32(body + 4));
            header = true;
        } else if (type == "IDAT") {
            idat.insert(idat.end(), body, body + length);
        } else if (type == "IEND") {
            end = true;
        }
        at += 12 + length;
    }
    if (!header) return fail(error, "no IHDR");
    const size_t row_bytes = size_t(image->width) * 3;
    std::vector<uint8_t> rows((row_bytes + 1) * size_t(image->height) + 1);
    uLongf size = uLongf(rows.size());
    if (uncompress(rows.data(), &size, idat.data(), uLong(idat.size())) != Z_OK)
        return fail(error, "image data damaged");
    if (size != rows.size() - 1) return fail(error, "image data of the wrong size");
    image->rgb.clear();
    for (int y = 0; y < image->height; ++y) {
        const uint8_t* row = &rows[(row_bytes + 1) * size_t(y)];
        if (row[0] != 0) return fail(error, "a row filter this project does not write");
        image->rgb.insert(image->rgb.end(), row + 1, row + 1 + row_bytes);
    }
    return true;
}

bool png_read_rgb(const std::string& path, PngImage* image, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(error, "cannot read '" + path + "'");
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!png_decode_rgb(file, image, error)) return fail(error, "'" + path + "': " + *error);
    return true;
}
