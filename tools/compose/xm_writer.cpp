// XM layout: 60 bytes of header start, then a 276-byte header block with the
// order table, then each pattern (9-byte header, packed cells), then each
// instrument (263-byte header, 40-byte sample header, sample deltas).
#include "xm_writer.h"

#include <cstring>

#include "xm_bytes.h"

namespace {
using Out = XmBytes;

void write_pattern(Out* o, const std::vector<XmCell>& cells, int rows) {
    Out packed;
    for (const XmCell& c : cells) {
        int mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                   (c.effect ? 8 : 0) | (c.param ? 16 : 0);
        packed.u8(0x80 | mask);
        if (c.note) packed.u8(c.note);
        if (c.instrument) packed.u8(c.instrument);
        if (c.volume) packed.u8(c.volume);
        if (c.effect) packed.u8(c.effect);
        if (c.param) packed.u8(c.param);
    }
    o->u32(9);
    o->u8(0);
    o->u16(rows);
    o->u16(int(packed.b.size()));
    o->b.insert(o->b.end(), packed.b.begin(), packed.b.end());
}

void write_instrument(Out* o, const SynthInstrument& ins) {
    o->u32(263);
    o->text(ins.name, 22);
    o->u8(0);
    o->u16(1);     // samples
    o->u32(40);    // sample header size
    o->zeros(96);  // every note plays sample 0
    for (int i = 0; i < 12; i++) {
        bool used = i < int(ins.envelope.size());
        o->u16(used ? ins.envelope[i].tick : 0);
        o->u16(used ? ins.envelope[i].value : 0);
    }
    o->zeros(48);  // panning envelope
    o->u8(int(ins.envelope.size()));
    o->u8(0);
    o->u8(ins.envelope_sustain < 0 ? 0 : ins.envelope_sustain);
    o->u8(0), o->u8(0);            // volume loop
    o->u8(0), o->u8(0), o->u8(0);  // panning sustain and loop
    o->u8(ins.envelope.empty() ? 0 : 1 | (ins.envelope_sustain >= 0 ? 2 : 0));
    o->u8(0);
    o->u8(0), o->u8(0), o->u8(0), o->u8(0);  // auto-vibrato
    o->u16(ins.fadeout);
    o->zeros(22);
    // sample header: sizes in bytes
    o->u32(uint32_t(ins.data.size() * 2));
    o->u32(ins.loop_start * 2);
    o->u32(ins.loop_length * 2);
    o->u8(ins.volume);
    o->u8(uint8_t(ins.finetune));
    o->u8(0x10 | (ins.loop_length ? 1 : 0));  // 16-bit, forward loop
    o->u8(ins.panning);
    o->u8(uint8_t(ins.relative_note));
    o->u8(0);
    o->text(ins.name, 22);
    int16_t prev = 0;
    for (int16_t s : ins.data) {
        o->u16(uint16_t(s - prev));
        prev = s;
    }
}
}  // namespace

std::vector<uint8_t> xm_write(const XmSong& song) {
    Out o;
    o.text("Extended Module: ", 17);
    o.text(song.name, 20);
    o.u8(0x1a);
    o.text("palendro compose", 20);
    o.u16(0x0104);
    o.u32(276);
    o.u16(int(song.order.size()));
    o.u16(song.restart);
    o.u16(song.channels);
    o.u16(int(song.patterns.size()));
    o.u16(int(song.instruments.size()));
    o.u16(1);  // linear frequency table
    o.u16(song.speed);
    o.u16(song.bpm);
    for (int i = 0; i < 256; i++) o.u8(i < int(song.order.size()) ? song.order[i] : 0);
    for (size_t p = 0; p < song.patterns.size(); p++)
        write_pattern(&o, song.patterns[p], song.pattern_rows[p]);
    for (const SynthInstrument& ins : song.instruments) write_instrument(&o, ins);
    return o.b;
}
