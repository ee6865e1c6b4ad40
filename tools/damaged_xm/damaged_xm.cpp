#include "tools/damaged_xm/damaged_xm.h"

#include "tools/xm/xm_build.h"

namespace {

constexpr uint8_t FX_JUMP = 0x0b, FX_BREAK = 0x0d, FX_ENVELOPE_POSITION = 0x15;

DamagedXm made(const std::string& name, const XmBuildModule& m) {
    return {name, xm_build(m).bytes};
}

XmBuildCell& cell(XmBuildModule* m, int pattern, int row, int channel) {
    return m->patterns[size_t(pattern)].cells[size_t(row * m->channels + channel)];
}

}  // namespace

std::vector<DamagedXm> damaged_xm_kinds() {
    std::vector<DamagedXm> out;
    const XmBuildModule base = xm_build_example();
    out.push_back(made("healthy", base));
    XmBuildModule m = base;
    m.version = 0x0103;
    out.push_back(made("healthy_1_03", m));
    m.version = 0x0102;
    out.push_back(made("healthy_1_02", m));

    m = base;
    m.instruments[0].volume.sustain = 30;
    out.push_back(made("envelope_sustain_past_points", m));

    m = base;
    m.instruments[0].volume.loop_start = 20, m.instruments[0].volume.loop_end = 25;
    out.push_back(made("envelope_loop_start_past_points", m));

    m = base;
    m.instruments[0].panning.loop_end = 200;
    out.push_back(made("envelope_loop_end_past_points", m));

    // The tone plays with its envelopes on, then the same channel starts the
    // empty placeholder, then a note whose sample map points past the samples.
    m = base;
    cell(&m, 0, 1, 0) = {50, 2, 0, 0, 0};
    out.push_back(made("note_on_instrument_without_samples", m));

    m = base;
    m.instruments[0].note_sample[52] = 7;
    cell(&m, 0, 1, 0) = {53, 1, 0, 0, 0};
    out.push_back(made("sample_map_past_samples", m));

    m = base;
    cell(&m, 0, 1, 0) = {0, 0, 0, FX_ENVELOPE_POSITION, 0xf0};
    cell(&m, 0, 2, 1) = {0, 0, 0, FX_ENVELOPE_POSITION, 0xff};
    out.push_back(made("envelope_position_past_32_points", m));

    m = base;
    cell(&m, 0, 3, 2) = {0, 0, 0, FX_JUMP, 0x40};
    cell(&m, 0, 3, 3) = {0, 0, 0, FX_BREAK, 0x00};
    out.push_back(made("jump_past_song_length_with_break", m));

    // A one-sample loop played at the top note, raised four more octaves.
    m = base;
    XmBuildSample& s = m.instruments[0].samples[0];
    s.loop_start = 60 * 2, s.loop_length = 2;
    s.relative_note = 48;
    cell(&m, 0, 0, 0) = {96, 1, 0, 0, 0};
    cell(&m, 1, 0, 0) = {95, 1, 0, 0x01, 0xff};  // and sliding up
    out.push_back(made("short_loop_past_top_octave", m));

    // Amiga periods with the highest finetune, at the bottom and the top.
    m = base;
    m.flags = 0;
    for (XmBuildInstrument& ins : m.instruments)
        for (XmBuildSample& smp : ins.samples) smp.finetune = 127;
    cell(&m, 0, 0, 0) = {1, 1, 0, 0, 0};
    cell(&m, 0, 4, 1) = {96, 3, 0, 0, 0};
    out.push_back(made("amiga_period_high_finetune", m));
    return out;
}

std::vector<DamagedXm> damaged_xm_truncations() {
    std::vector<DamagedXm> out;
    XmBuildOutput full = xm_build(xm_build_example());
    for (size_t cut : full.boundaries) {
        if (cut >= full.bytes.size()) continue;
        for (size_t at : {cut - 1, cut}) {
            std::vector<uint8_t> b(full.bytes.begin(), full.bytes.begin() + long(at));
            out.push_back({"cut_at_" + std::to_string(at), b});
        }
    }
    return out;
}
