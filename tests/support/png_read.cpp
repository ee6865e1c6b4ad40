// The test side of the PNG writer: a small inflate (stored and fixed blocks)
// and the chunk reader.
#include "tests/support/png_read.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sim/png.h"

namespace {

struct BitReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;  // in bits
    bool overrun = false;

    uint32_t bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++pos) {
            if (pos / 8 >= size) {
                overrun = true;
                return 0;
            }
            v |= uint32_t(data[pos / 8] >> (pos % 8) & 1) << i;
        }
        return v;
    }
    // A Huffman code, most significant bit first.
    uint32_t code(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 1 | bits(1);
        return v;
    }
};

int fixed_symbol(BitReader& r) {
    uint32_t v = r.code(7);
    if (v <= 0x17) return int(256 + v);
    v = v << 1 | r.code(1);
    if (v >= 0x30 && v <= 0xBF) return int(v - 0x30);
    if (v >= 0xC0 && v <= 0xC7) return int(280 + v - 0xC0);
    v = v << 1 | r.code(1);
    return int(144 + v - 0x190);
}

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

}  // namespace

bool png_zlib_decompress(const uint8_t* data, size_t size, std::vector<uint8_t>* out,
                         std::string* error) {
    out->clear();
    if (size < 6 || (data[0] & 0x0F) != 8 || (data[0] << 8 | data[1]) % 31 != 0 || (data[1] & 0x20))
        return fail(error, "not a zlib stream");
    BitReader r{data + 2, size - 6};
    bool final = false;
    while (!final) {
        final = r.bits(1);
        const uint32_t type = r.bits(2);
        if (type == 0) {
            r.pos = (r.pos + 7) / 8 * 8;
            const uint32_t n = r.bits(16), check = r.bits(16);
            if ((n ^ check) != 0xFFFF) return fail(error, "stored block length damaged");
            if (r.pos / 8 + n > r.size) return fail(error, "stored block runs past the end");
            out->insert(out->end(), r.data + r.pos / 8, r.data + r.pos / 8 + n);
            r.pos += 8 * size_t(n);
        } else if (type == 1) {
            for (;;) {
                const int symbol = fixed_symbol(r);
                if (r.overrun) return fail(error, "deflate data ends early");
                if (symbol < 256) {
                    out->push_back(uint8_t(symbol));
                    continue;
                }
                if (symbol == 256) break;
                const int l = symbol - 257;
                if (l >= DEFLATE_LENGTH_CODES) return fail(error, "bad length code");
                const size_t length = DEFLATE_LENGTH_BASE[l] + r.bits(DEFLATE_LENGTH_EXTRA[l]);
                const uint32_t d = r.code(5);
                if (d >= uint32_t(DEFLATE_DISTANCE_CODES)) return fail(error, "bad distance code");
                const size_t distance =
                    DEFLATE_DISTANCE_BASE[d] + r.bits(DEFLATE_DISTANCE_EXTRA[d]);
                if (distance > out->size()) return fail(error, "match reaches before the start");
                for (size_t k = 0; k < length; ++k) out->push_back((*out)[out->size() - distance]);
            }
        } else {
            return fail(error, "a block type this project does not write");
        }
        if (r.overrun) return fail(error, "deflate data ends early");
    }
    const size_t end = (r.pos + 7) / 8;
    if (end != r.size) return fail(error, "bytes after the last deflate block");
    if (be32(data + size - 4) != png_adler32(out->data(), out->size()))
        return fail(error, "Adler-32 does not match");
    return true;
}

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
        if (be32(body + length) != png_crc32(&file[at + 4], length + 4))
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
    std::vector<uint8_t> rows;
    if (!png_zlib_decompress(idat.data(), idat.size(), &rows, error)) return false;
    const size_t row_bytes = size_t(image->width) * 3;
    if (rows.size() != (row_bytes + 1) * size_t(image->height))
        return fail(error, "image data of the wrong size");
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
