// The PNG writer: chunks with their CRC-32, the image rows as a zlib stream,
// and a small deflate encoder. The encoder looks for repeats with a hash of
// three bytes and a short chain of earlier places (greedy, no lazy matching)
// and codes them with the fixed Huffman codes; a segment that would come out
// larger that way (noise, photographs) goes into stored blocks instead, so a
// file is never much larger than its pixels.
#include "sim/png.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::array<uint32_t, 256> CRC_TABLE = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

constexpr uint32_t ADLER_MOD = 65521;
constexpr size_t ADLER_RUN = 5552;  // bytes before the sums could pass 2^32

constexpr int WINDOW = 32768;  // the farthest a match may reach back
constexpr int HASH_BITS = 15;
constexpr int MAX_CHAIN = 16;  // earlier places tried per position
constexpr int MIN_MATCH = 3, MAX_MATCH = 258;
constexpr uint32_t STORED_MAX = 65535;  // bytes in one stored block
constexpr size_t SEGMENT = STORED_MAX;  // input bytes per block choice: one stored block at most
constexpr uint16_t END_OF_BLOCK = 256;

// Bits go out least significant first, Huffman codes most significant first.
struct BitWriter {
    std::vector<uint8_t>* out;
    uint64_t bits = 0;
    int count = 0;

    void put(uint32_t value, int n) {
        bits |= uint64_t(value) << count;
        count += n;
        for (; count >= 8; count -= 8, bits >>= 8) out->push_back(uint8_t(bits));
    }
    void put_code(uint32_t code, int n) {
        uint32_t reversed = 0;
        for (int i = 0; i < n; ++i) reversed |= ((code >> i) & 1) << (n - 1 - i);
        put(reversed, n);
    }
    void align() {
        if (count) put(0, 8 - count);
    }
};

// A literal byte (distance 0) or a match of `value` bytes `distance` back.
struct Symbol {
    uint16_t value;
    uint16_t distance;
};

int length_index(int length) {
    int i = DEFLATE_LENGTH_CODES - 1;
    while (DEFLATE_LENGTH_BASE[i] > length) --i;
    return i;
}

int distance_index(int distance) {
    int i = DEFLATE_DISTANCE_CODES - 1;
    while (DEFLATE_DISTANCE_BASE[i] > distance) --i;
    return i;
}

// The fixed literal/length code (RFC 1951, 3.2.6).
int fixed_bits(int symbol) { return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8; }
void put_fixed(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.put_code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.put_code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.put_code(symbol - 256, 7);
    else
        w.put_code(0xC0 + symbol - 280, 8);
}

uint64_t symbol_bits(const Symbol& s) {
    if (!s.distance) return fixed_bits(s.value);
    const int l = length_index(s.value), d = distance_index(s.distance);
    return fixed_bits(257 + l) + DEFLATE_LENGTH_EXTRA[l] + 5 + DEFLATE_DISTANCE_EXTRA[d];
}

void put_fixed_block(BitWriter& w, const std::vector<Symbol>& symbols, bool final) {
    w.put(final, 1);
    w.put(1, 2);
    for (const Symbol& s : symbols) {
        if (!s.distance) {
            put_fixed(w, s.value);
            continue;
        }
        const int l = length_index(s.value), d = distance_index(s.distance);
        put_fixed(w, 257 + l);
        w.put(s.value - DEFLATE_LENGTH_BASE[l], DEFLATE_LENGTH_EXTRA[l]);
        w.put_code(d, 5);
        w.put(s.distance - DEFLATE_DISTANCE_BASE[d], DEFLATE_DISTANCE_EXTRA[d]);
    }
    put_fixed(w, END_OF_BLOCK);
}

void put_stored_blocks(BitWriter& w, const uint8_t* data, size_t size, bool final) {
    do {
        const uint32_t n = uint32_t(size < STORED_MAX ? size : STORED_MAX);
        w.put(final && n == size, 1);
        w.put(0, 2);
        w.align();
        w.put(n, 16);
        w.put(~n & 0xFFFF, 16);
        w.out->insert(w.out->end(), data, data + n);
        data += n;
        size -= n;
    } while (size);
}

uint64_t stored_bits(size_t size) {
    const uint64_t blocks = size ? (size + STORED_MAX - 1) / STORED_MAX : 1;
    return blocks * (3 + 7 + 32) + 8 * uint64_t(size);  // header, worst alignment, LEN/NLEN
}

// Greedy LZ77 over `data`: each position takes the longest match found
// among its hash chain, within its own segment.
struct Matcher {
    const uint8_t* data;
    size_t size;
    std::vector<int32_t> head = std::vector<int32_t>(1 << HASH_BITS, -1);
    std::vector<int32_t> prev = std::vector<int32_t>(WINDOW, -1);

    uint32_t hash(size_t i) const {
        const uint32_t v = data[i] | uint32_t(data[i + 1]) << 8 | uint32_t(data[i + 2]) << 16;
        return (v * 2654435761u) >> (32 - HASH_BITS);
    }
    void insert(size_t i) {
        if (i + MIN_MATCH > size) return;
        const uint32_t h = hash(i);
        prev[i % WINDOW] = head[h];
        head[h] = int32_t(i);
    }
    Symbol at(size_t i, size_t end) const {
        Symbol best{data[i], 0};
        if (end - i < size_t(MIN_MATCH)) return best;
        const size_t limit = end - i < size_t(MAX_MATCH) ? end - i : size_t(MAX_MATCH);
        size_t best_length = MIN_MATCH - 1;
        int32_t candidate = head[hash(i)];
        for (int chain = MAX_CHAIN; candidate >= 0 && chain > 0; --chain) {
            const size_t c = size_t(candidate);
            if (i - c > size_t(WINDOW)) break;
            size_t n = 0;
            while (n < limit && data[c + n] == data[i + n]) ++n;
            if (n > best_length) {
                best_length = n;
                best = Symbol{uint16_t(n), uint16_t(i - c)};
                if (n == limit) break;
            }
            const int32_t next = prev[c % WINDOW];
            if (next >= candidate) break;
            candidate = next;
        }
        return best;
    }
};

void put_be32(std::vector<uint8_t>* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(v >> shift));
}

void put_chunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    put_be32(out, uint32_t(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    put_be32(out, png_crc32(out->data() + start, out->size() - start));
}

}  // namespace

uint32_t png_crc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = CRC_TABLE[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t png_adler32(const uint8_t* data, size_t size, uint32_t adler) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (size) {
        const size_t n = size < ADLER_RUN ? size : ADLER_RUN;
        for (size_t i = 0; i < n; ++i) b += a += data[i];
        a %= ADLER_MOD;
        b %= ADLER_MOD;
        data += n;
        size -= n;
    }
    return b << 16 | a;
}

std::vector<uint8_t> png_zlib_compress(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out = {0x78, 0x01};  // deflate with a 32 KiB window, no dictionary
    BitWriter w{&out};
    Matcher matcher{data, size};
    std::vector<Symbol> symbols;
    size_t begin = 0;
    do {
        const size_t end = size - begin < SEGMENT ? size : begin + SEGMENT;
        const bool final = end == size;
        symbols.clear();
        uint64_t bits = 3 + fixed_bits(END_OF_BLOCK);
        for (size_t i = begin; i < end;) {
            const Symbol s = matcher.at(i, end);
            symbols.push_back(s);
            bits += symbol_bits(s);
            const size_t step = s.distance ? s.value : 1;
            for (size_t k = 0; k < step; ++k) matcher.insert(i + k);
            i += step;
        }
        if (bits <= stored_bits(end - begin))
            put_fixed_block(w, symbols, final);
        else
            put_stored_blocks(w, data + begin, end - begin, final);
        begin = end;
    } while (begin < size);
    w.align();
    put_be32(&out, png_adler32(data, size));
    return out;
}

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
    put_chunk(&file, "IDAT", png_zlib_compress(rows.data(), rows.size()));
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
