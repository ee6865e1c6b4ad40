// XM 1.04 layout: 60 bytes of file header, the header block (its size at
// offset 60, counted from there; the order table in it), the patterns (each a
// 9-byte header and packed cells), then the instruments (each a header of its
// own stated size, one 40-byte header per sample, then the samples' data).
// Versions 1.02 and 1.03 put the instruments before the patterns and all the
// sample data after them; 1.02 pattern headers are 8 bytes (rows - 1 in one).
#include "tools/xm/xm_build.h"

#include "tools/xm/xm_bytes.h"

namespace {

using Out = XmBytes;

void write_cells(Out* o, const XmBuildPattern& p) {
    for (const XmBuildCell& c : p.cells) {
        int mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                   (c.effect ? 8 : 0) | (c.param ? 16 : 0);
        o->u8(0x80 | mask);
        if (c.note) o->u8(c.note);
        if (c.instrument) o->u8(c.instrument);
        if (c.volume) o->u8(c.volume);
        if (c.effect) o->u8(c.effect);
        if (c.param) o->u8(c.param);
    }
}

uint32_t sample_bytes(const XmBuildSample& s) {
    if (s.length) return s.length;
    return uint32_t(s.data.size() * (s.type & 0x10 ? 2 : 1));
}

void write_envelope_points(Out* o, const XmBuildEnvelope& e) {
    for (size_t i = 0; i < 24; i++) o->u16(i < e.points.size() ? e.points[i] : 0);
}

void write_sample_data(Out* o, const XmBuildInstrument& ins, std::vector<size_t>* cuts) {
    for (const XmBuildSample& s : ins.samples) {
        int prev = 0;
        for (int16_t v : s.data) {
            if (s.type & 0x10)
                o->u16(v - prev);
            else
                o->u8(v - prev);
            prev = v;
        }
        cuts->push_back(o->b.size());
    }
}

// The header and the sample headers; in 1.04 files the sample data follows.
void write_instrument(Out* o, const XmBuildInstrument& ins, bool with_data,
                      std::vector<size_t>* cuts) {
    size_t start = o->b.size();
    o->u32(ins.header_size);
    o->text(ins.name, 22);
    o->u8(0);
    o->u16(int(ins.samples.size()));
    if (ins.header_size > 29) {
        o->u32(40);
        for (uint8_t s : ins.note_sample) o->u8(s);
        write_envelope_points(o, ins.volume);
        write_envelope_points(o, ins.panning);
        o->u8(ins.volume.count), o->u8(ins.panning.count);
        o->u8(ins.volume.sustain), o->u8(ins.volume.loop_start), o->u8(ins.volume.loop_end);
        o->u8(ins.panning.sustain), o->u8(ins.panning.loop_start), o->u8(ins.panning.loop_end);
        o->u8(ins.volume.flags), o->u8(ins.panning.flags);
        o->u8(ins.vibrato_type), o->u8(ins.vibrato_sweep);
        o->u8(ins.vibrato_depth), o->u8(ins.vibrato_rate);
        o->u16(ins.fadeout);
    }
    o->pad_to(start + ins.header_size);
    cuts->push_back(o->b.size());
    for (const XmBuildSample& s : ins.samples) {
        o->u32(sample_bytes(s));
        o->u32(s.loop_start), o->u32(s.loop_length);
        o->u8(s.volume), o->u8(uint8_t(s.finetune)), o->u8(s.type), o->u8(s.panning);
        o->u8(uint8_t(s.relative_note)), o->u8(0);
        o->text(ins.name, 22);
        cuts->push_back(o->b.size());
    }
    if (with_data) write_sample_data(o, ins, cuts);
}

void write_patterns(Out* o, const XmBuildModule& m, std::vector<size_t>* cuts) {
    for (const XmBuildPattern& p : m.patterns) {
        Out cells;
        write_cells(&cells, p);
        if (m.version == 0x0102) {
            o->u32(8);
            o->u8(0);
            o->u8(p.rows - 1);
        } else {
            o->u32(9);
            o->u8(0);
            o->u16(p.rows);
        }
        o->u16(int(cells.b.size()));
        cuts->push_back(o->b.size());
        o->b.insert(o->b.end(), cells.b.begin(), cells.b.end());
        cuts->push_back(o->b.size());
    }
}

}  // namespace

XmBuildOutput xm_build(const XmBuildModule& m) {
    XmBuildOutput r;
    Out o;
    o.text("Extended Module: ", 17);
    o.text(m.name, 20);
    o.u8(0x1a);
    o.text(m.tracker, 20);
    o.u16(m.version);
    r.boundaries.push_back(o.b.size());
    o.u32(m.header_size);
    o.u16(m.song_length < 0 ? int(m.order.size()) : m.song_length);
    o.u16(m.restart);
    o.u16(m.channels);
    o.u16(int(m.patterns.size()));
    o.u16(int(m.instruments.size()));
    o.u16(m.flags);
    o.u16(m.speed);
    o.u16(m.bpm);
    for (size_t i = 0; i < 256; i++) o.u8(i < m.order.size() ? m.order[i] : 0);
    o.b.resize(60 + m.header_size);
    r.boundaries.push_back(o.b.size());
    if (m.version >= 0x0104) {
        write_patterns(&o, m, &r.boundaries);
        for (const XmBuildInstrument& ins : m.instruments)
            write_instrument(&o, ins, true, &r.boundaries);
    } else {  // older files: instruments, patterns, then all the sample data
        for (const XmBuildInstrument& ins : m.instruments)
            write_instrument(&o, ins, false, &r.boundaries);
        write_patterns(&o, m, &r.boundaries);
        for (const XmBuildInstrument& ins : m.instruments)
            write_sample_data(&o, ins, &r.boundaries);
    }
    r.bytes = o.b;
    return r;
}

static XmBuildPattern pattern(int rows, int channels) {
    XmBuildPattern p;
    p.rows = rows;
    p.cells.resize(size_t(rows * channels));
    return p;
}

XmBuildModule xm_build_example() {
    XmBuildModule m;
    m.channels = 4;
    m.order = {0, 1, 0};

    XmBuildPattern a = pattern(16, m.channels);
    for (int row = 0; row < 16; row += 4) {
        a.cells[size_t(row * 4 + 0)] = {uint8_t(49 + row / 4), 1, 0x40, 0, 0};
        a.cells[size_t(row * 4 + 1)] = {uint8_t(37 + row), 3, 0, 0x0c, 0x30};
    }
    a.cells[2 * 4 + 0].effect = 0x04, a.cells[2 * 4 + 0].param = 0x44;  // vibrato
    a.cells[6 * 4 + 2] = {97, 0, 0, 0, 0};                              // key off
    XmBuildPattern b = pattern(8, m.channels);
    b.cells[0] = {61, 1, 0, 0x0a, 0x02};
    b.cells[1] = {25, 3, 0, 0, 0};
    b.cells[3 * 4 + 0] = {0, 0, 0, 0x0e, 0x93};  // retrigger
    m.patterns = {a, b};

    XmBuildInstrument tone;
    tone.name = "tone";
    XmBuildSample s;
    for (int i = 0; i < 64; i++) s.data.push_back(int16_t((i < 32 ? i : 64 - i) * 700 - 11000));
    s.type = 0x10 | 1;
    s.loop_start = 16 * 2, s.loop_length = 48 * 2;
    tone.samples = {s};
    tone.volume = {{0, 64, 4, 48, 12, 32, 40, 0}, 4, 1, 1, 2, 1 | 2 | 4};
    tone.panning = {{0, 32, 10, 48, 20, 16}, 3, 0, 0, 2, 1 | 4};
    tone.vibrato_type = 1, tone.vibrato_sweep = 4, tone.vibrato_depth = 6, tone.vibrato_rate = 8;
    tone.fadeout = 0x400;

    XmBuildInstrument placeholder;
    placeholder.name = "(empty)";
    placeholder.header_size = 29;

    XmBuildInstrument click;
    click.name = "click";
    XmBuildSample c;
    for (int i = 0; i < 40; i++) c.data.push_back(int16_t(i % 8 < 4 ? 90 : -90));
    c.type = 0;  // 8-bit, no loop
    c.relative_note = -12;
    c.finetune = -16;
    click.samples = {c};
    m.instruments = {tone, placeholder, click};
    return m;
}
