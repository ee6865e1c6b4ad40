// The song onto the XM writer: every instrument has one 16-bit sample that
// every note plays, a volume envelope and no panning envelope.
#include "xm_writer.h"

namespace {

XmBuildInstrument instrument(const SynthInstrument& ins) {
    XmBuildInstrument out;
    out.name = ins.name;
    for (const XmEnvelopePoint& p : ins.envelope) {
        out.volume.points.push_back(p.tick);
        out.volume.points.push_back(p.value);
    }
    out.volume.count = uint8_t(ins.envelope.size());
    out.volume.sustain = uint8_t(ins.envelope_sustain < 0 ? 0 : ins.envelope_sustain);
    out.volume.flags = uint8_t(ins.envelope.empty() ? 0 : 1 | (ins.envelope_sustain >= 0 ? 2 : 0));
    out.fadeout = ins.fadeout;
    XmBuildSample s;
    s.data = ins.data;
    s.loop_start = ins.loop_start * 2;  // samples to bytes
    s.loop_length = ins.loop_length * 2;
    s.volume = ins.volume;
    s.finetune = ins.finetune;
    s.type = uint8_t(0x10 | (ins.loop_length ? 1 : 0));  // 16-bit, forward loop
    s.panning = ins.panning;
    s.relative_note = ins.relative_note;
    out.samples = {s};
    return out;
}

}  // namespace

std::vector<uint8_t> xm_write(const XmSong& song) {
    XmBuildModule m;
    m.name = song.name;
    m.tracker = "palendro compose";
    m.channels = song.channels;
    m.restart = song.restart;
    m.speed = song.speed;
    m.bpm = song.bpm;
    m.order = song.order;
    for (size_t p = 0; p < song.patterns.size(); p++) {
        m.patterns.push_back({song.pattern_rows[p], song.patterns[p]});
    }
    for (const SynthInstrument& ins : song.instruments) m.instruments.push_back(instrument(ins));
    return xm_build(m).bytes;
}
