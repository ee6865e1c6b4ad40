// The PNG writer: chunks with their CRC-32 and the image rows as one zlib
// stream, both from zlib.
#include "host/png.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Fixed, so a file's bytes depend on its pixels alone.
constexpr int PNG_LEVEL = 9;
constexpr int PNG_WINDOW_BITS = 15;
constexpr int PNG_MEM_LEVEL = 8;

void put_be32(std::vector<uint8_t>* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(v >> shift));
}

void put_chunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    put_be32(out, uint32_t(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    put_be32(out, uint32_t(crc32(0, out->data() + start, uInt(out->size() - start))));
}

std::vector<uint8_t> deflate_rows(const std::vector<uint8_t>& rows) {
    z_stream z{};
    deflateInit2(&z, PNG_LEVEL, Z_DEFLATED, PNG_WINDOW_BITS, PNG_MEM_LEVEL, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, uLong(rows.size())));
    z.next_in = const_cast<Bytef*>(rows.data());
    z.avail_in = uInt(rows.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);  // the bound leaves room for all of it
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace

std::vector<uint8_t> png_encode_rgb(int width, int height, const uint8_t* rgb) {
    const size_t row_bytes = size_t(width) * 3;
    std::vector<uint8_t> rows;
    rows.reserve((row_bytes + 1) * size_t(height));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        const uint8_t* row = rgb + row_bytes * size_t(y);
        rows.insert(rows.end(), row, row + row_bytes);
    }
    std::vector<uint8_t> header;
    put_be32(&header, uint32_t(width));
    put_be32(&header, uint32_t(height));
    header.insert(header.end(),
                  {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filter set 0, no interlace

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(&file, "IHDR", header);
    put_chunk(&file, "IDAT", deflate_rows(rows));
    put_chunk(&file, "IEND", {});
    return file;
}

bool png_write_rgb(const std::string& path, int width, int height, const uint8_t* rgb,
                   std::string* error) {
    const std::vector<uint8_t> file = png_encode_rgb(width, height, rgb);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = std::fflush(f) == 0 && ok;
    int saved = errno;
    if (std::fclose(f) != 0) ok = false, saved = errno;
    if (!ok) *error = "cannot write '" + path + "': " + std::strerror(saved);
    return ok;
}
