// Walks an XM file the way the module player's XM loader reads it (the same
// positions, the same quirks), so that what is checked is what the player
// will see, and rejects:
//  - any header, pattern or sample data that the file cuts short, and header
//    values the loader refuses anyway (the reason is then ours, and clearer);
//  - an Amiga-period module with a sample finetuned by +112 or more: a B note
//    of that sample reads one entry past the player's period table.
// Everything else is left to the player, which copes with it: envelope
// points, loops and positions past their counts, notes of empty instruments,
// sample maps past an instrument's samples, jumps past the song's end.
// Also refused: more than 256 rows in a pattern (XM's own limit), and a
// module whose file and decoded form (patterns, samples widened to 16 bits)
// together pass MUSIC_XM_MEMORY_BUDGET.
// Every read is bounded by the file's size; nothing is allocated.
#include "music/music_xm_check.h"

#include <cstring>

namespace {

constexpr size_t FILE_HEADER = 60;  // id, name, tracker, version: before the header block
constexpr size_t SAMPLE_HEADER = 40;
constexpr int NOTES = 96;
constexpr int AMIGA_FINETUNE_LIMIT = 112;
constexpr unsigned XM_MAX_ROWS = 256;
// What the player makes of a pattern cell (its note record, then its share of
// the tracks it packs them into), generously.
constexpr uint64_t DECODED_CELL_BYTES = 16;

struct Cursor {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool has(size_t n) const { return pos <= size && size - pos >= n; }
    uint8_t u8() { return data[pos++]; }
    uint16_t u16() {
        uint16_t v = uint16_t(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | uint32_t(u16()) << 16;
    }
    // The loader's seeks stop at the end of the file.
    void seek(size_t to) { pos = to < size ? to : size; }
    void skip(size_t n) { seek(n < size - pos ? pos + n : size); }
    bool at_end() const { return pos >= size; }
};

struct Header {
    uint16_t version;
    uint32_t header_size;
    uint16_t song_length, restart, channels, patterns, instruments, flags, speed, bpm;
};

struct Walk {
    Cursor in;
    Header h{};
    bool linear = false;
    unsigned samples = 0;  // samples of all instruments so far
    // Sample data still to find: in 1.04 files after each instrument's
    // sample headers, in older ones after the patterns.
    uint64_t pending_data = 0;
    uint64_t decoded = 0;  // bytes the player holds: patterns, samples at 16 bits
};

bool over_budget(const Walk& w) { return w.in.size + w.decoded > MUSIC_XM_MEMORY_BUDGET; }
const char* const OVER_BUDGET = "needs more memory than the handheld has for music";

const char* read_header(Walk* w) {
    Cursor& in = w->in;
    if (!in.has(FILE_HEADER + 20)) return "shorter than an XM header";
    if (std::memcmp(in.data, "Extended Module: ", 17) != 0 || in.data[37] != 0x1a)
        return "not an XM module";
    in.pos = 58;
    Header& h = w->h;
    h.version = in.u16();
    h.header_size = in.u32();
    h.song_length = in.u16(), h.restart = in.u16(), h.channels = in.u16();
    h.patterns = in.u16(), h.instruments = in.u16(), h.flags = in.u16();
    h.speed = in.u16(), h.bpm = in.u16();
    if (h.version < 0x0102 || h.version > 0x0104) return "not XM version 1.02 to 1.04";
    // What the loader refuses: counts past XM's limits, a header block that
    // cannot hold the order table.
    if (h.channels > 64 || h.speed > 32 || h.bpm < 32 || h.bpm > 255 || h.song_length > 256 ||
        h.header_size < 20 || h.header_size > 20 + 256 || h.patterns > 256 || h.instruments > 255 ||
        h.restart > 255)
        return "header values outside the XM format's ranges";
    if (!in.has(h.song_length)) return "order table cut short";
    in.seek(FILE_HEADER + h.header_size);
    if (in.at_end()) return "nothing after the header";
    w->linear = h.flags & 1;
    return nullptr;
}

// One packed cell; false when it runs past the end of the file.
bool read_cell(Cursor* in, int* bytes) {
    if (!in->has(1)) return false;
    uint8_t what = in->u8();
    int fields = 4;  // an unpacked cell: the note byte, then four more
    if (what & 0x80) {
        fields = 0;
        for (int bit = 0; bit < 5; bit++) fields += (what >> bit) & 1;
    }
    if (!in->has(size_t(fields))) return false;
    in->pos += size_t(fields);
    *bytes = 1 + fields;
    return true;
}

const char* read_patterns(Walk* w) {
    Cursor& in = w->in;
    const bool v102 = w->h.version == 0x0102;
    const size_t fixed = v102 ? 8 : 9;
    for (int p = 0; p < w->h.patterns; p++) {
        size_t start = in.pos;
        if (!in.has(fixed)) return "a pattern header is cut short";
        uint32_t header = in.u32();
        if (header < fixed) return "a pattern header is shorter than the format's";
        if (in.u8() != 0) return "a pattern is packed in an unknown way";
        unsigned rows = v102 ? in.u8() + 1u : in.u16();
        int packed = int16_t(in.u16());  // the loader reads the size as signed
        in.seek(start + 4);
        in.skip(header - 4);
        if (rows > XM_MAX_ROWS) return "a pattern has more than 256 rows";
        w->decoded += uint64_t(rows) * w->h.channels * DECODED_CELL_BYTES;
        if (over_budget(*w)) return OVER_BUDGET;
        if (rows == 0) continue;
        for (unsigned r = 0; r < rows && packed != 0; r++)
            for (unsigned c = 0; c < w->h.channels && packed != 0; c++) {
                int bytes = 0;
                if (!read_cell(&in, &bytes)) return "pattern data cut short";
                packed -= bytes;
                if (packed < 0) return "pattern data longer than its stated size";
            }
        in.skip(size_t(packed));
        if (in.at_end()) return "pattern data cut short";
    }
    return nullptr;
}

const char* read_sample_headers(Walk* w, unsigned count) {
    Cursor& in = w->in;
    uint64_t data = 0;
    for (unsigned s = 0; s < count; s++) {
        if (!in.has(SAMPLE_HEADER)) return "a sample header is cut short";
        size_t at = in.pos;
        uint32_t length = in.u32();
        in.pos = at + 13;
        int finetune = int8_t(in.u8());
        uint8_t type = in.u8();
        in.pos = at + 17;
        uint8_t reserved = in.u8();
        in.pos = at + SAMPLE_HEADER;
        bool adpcm = reserved == 0xad && !(type & 0x30);
        data += adpcm ? ((uint64_t(length) + 1) >> 1) + 16 : length;
        // The mixer keeps every sample at 16 bits: 8-bit and ADPCM ones double.
        w->decoded += (type & 0x10) && !adpcm ? uint64_t(length) : 2 * uint64_t(length);
        if (!w->linear && finetune >= AMIGA_FINETUNE_LIMIT)
            return "an Amiga-period sample is finetuned past +111";
    }
    if (over_budget(*w)) return OVER_BUDGET;
    w->samples += count;
    w->pending_data += data;
    return nullptr;
}

const char* read_sample_data(Walk* w) {
    if (w->pending_data > w->in.size - w->in.pos) return "sample data cut short";
    w->in.pos += size_t(w->pending_data);
    w->pending_data = 0;
    return nullptr;
}

const char* read_instruments(Walk* w) {
    Cursor& in = w->in;
    const bool v104 = w->h.version == 0x0104;
    for (int i = 0; i < w->h.instruments; i++) {
        size_t start = in.pos;
        // A stated size past the end of the file (or below 4) ends the
        // instruments: the player leaves the rest empty.
        if (!in.has(4)) break;
        uint32_t stated = in.u32();
        if (stated < 4 || stated > in.size - start) break;
        size_t end = start + stated;
        if (!in.has(25)) return "an instrument header is cut short";
        in.pos += 22 + 1;  // name, type
        uint16_t samples = in.u16();
        if (int16_t(stated) <= 29) continue;  // the loader goes on right here
        if (!in.has(4)) return "an instrument header is cut short";
        in.pos += 4;  // sample header size: the loader takes 40 bytes each
        if (int16_t(samples) > 0 && samples <= NOTES) {
            if (!in.has(NOTES + 48 + 48 + 14 + 2)) return "an instrument header is cut short";
            in.pos += NOTES + 48 + 48 + 14 + 2;  // note map, envelopes, their settings
            if (end >= in.pos) in.seek(end);
            if (in.at_end()) return "an instrument header is cut short";
            if (const char* why = read_sample_headers(w, samples)) return why;
            if (v104)
                if (const char* why = read_sample_data(w)) return why;
        } else {
            if (end < in.pos) break;
            in.seek(end);
            if (in.at_end() && (!v104 || i < w->h.instruments - 1))
                return "an instrument header is cut short";
        }
    }
    if (w->samples == 0) return "no instrument has a sample";
    return nullptr;
}

}  // namespace

const char* music_xm_check(const uint8_t* data, size_t size) {
    Walk w{Cursor{data, size}};
    if (const char* why = read_header(&w)) return why;
    if (w.h.version == 0x0104) {
        if (const char* why = read_patterns(&w)) return why;
        return read_instruments(&w);
    }
    if (const char* why = read_instruments(&w)) return why;
    if (const char* why = read_patterns(&w)) return why;
    return read_sample_data(&w);
}
