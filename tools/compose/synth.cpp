// Synthesized instruments of "Bellwarm Harmonic". Tonal samples hold a whole
// number of periods of their fundamental at their own rate (P samples per
// period of middle C), and relative note + finetune bring that rate back to
// the tracker's reference, so every note plays in tune. Loops hold a whole
// number of periods of every partial, so they join without a seam.
#include "synth.h"

#include <cmath>

constexpr double PI = 3.14159265358979323846;
constexpr double MIDDLE_C_HZ = 261.6255653005986;
constexpr double XM_REFERENCE_HZ = 8363.0;  // rate of a sample at note C-4, relative note 0

// Deterministic sine: reduce to [-pi/2, pi/2] and a Taylor polynomial to x^17
// (error below 1e-15, far under the 16-bit step).
static double dsin(double x) {
    double turns = x / (2 * PI);
    x -= 2 * PI * double(int64_t(turns >= 0 ? turns + 0.5 : turns - 0.5));
    if (x > PI / 2) x = PI - x;
    if (x < -PI / 2) x = -PI - x;
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n <= 8; n++) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// Deterministic exp for the small negative arguments of per-sample decays.
static double dexp(double x) {
    double term = 1, sum = 1;
    for (int n = 1; n < 30; n++) {
        term *= x / n;
        sum += term;
    }
    return sum;
}

// Per-sample factor of a decay with time constant `seconds`.
static double decay_factor(double seconds, double rate) { return dexp(-1.0 / (seconds * rate)); }

static int16_t to_i16(double v) {
    double s = v * 32767.0;
    s = s > 32767 ? 32767 : s < -32767 ? -32767 : s;
    return int16_t(s >= 0 ? int32_t(s + 0.5) : -int32_t(-s + 0.5));
}

// Relative note and finetune that make a sample of rate `rate` whose period
// of middle C is `period` samples play middle C at note C-4... so the song's
// notes are MIDI numbers minus 11.
static void tune(SynthInstrument* ins, double rate) {
    double semis = 12.0 * std::log2(rate / XM_REFERENCE_HZ);
    int whole = int(std::floor(semis));
    int fine = int(std::lround((semis - whole) * 128.0));
    if (fine == 128) whole++, fine = 0;
    if (fine > 127) fine = 127;
    if (fine >= 64) whole++, fine -= 128;  // keep finetune in -64..63 around the nearer note
    ins->relative_note = int8_t(whole);
    ins->finetune = int8_t(fine);
}

// 32-bit linear congruential noise in -1..1.
struct Noise {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return double(int32_t(state)) / 2147483648.0;
    }
};

// Warm pad: a soft sawtooth-like spectrum (8 harmonics, 1/h^1.5) doubled by
// a second voice one loop-cycle sharper (about 13 cents): a slow chorus.
static SynthInstrument make_pad() {
    SynthInstrument ins;
    ins.name = "warm pad";
    const int period = 128, cycles = 128;
    double rate = MIDDLE_C_HZ * period;
    uint32_t length = period * cycles;
    ins.data.resize(length);
    for (uint32_t t = 0; t < length; t++) {
        double v = 0;
        for (int h = 1; h <= 8; h++) {
            double a = 1.0 / (h * std::sqrt(double(h)));
            double w = 2 * PI * h * t / length;
            v += a * (dsin(w * cycles) + 0.8 * dsin(w * (cycles + 1) + h));
        }
        ins.data[t] = to_i16(v * 0.33);
    }
    ins.loop_start = 0;
    ins.loop_length = length;
    ins.volume = 40;
    tune(&ins, rate);
    ins.envelope = {{0, 0}, {8, 64}, {40, 52}, {80, 46}};
    ins.envelope_sustain = 3;
    ins.fadeout = 700;
    return ins;
}

// Plucked bass: twelve harmonics whose upper ones die away faster (a closing
// low-pass), then a loop of the settled tone.
static SynthInstrument make_bass() {
    SynthInstrument ins;
    ins.name = "round bass";
    const int period = 256;
    double rate = MIDDLE_C_HZ * period;
    const uint32_t attack = period * 48, loop = period * 4;
    double amp[13], fac[13];
    for (int h = 1; h <= 12; h++) {
        amp[h] = (h % 2 ? 1.0 : 0.6) / h;
        fac[h] = decay_factor(0.05 + 0.5 / (h * h), rate);
    }
    ins.data.resize(attack + loop);
    for (uint32_t t = 0; t < attack + loop; t++) {
        double v = 0;
        for (int h = 1; h <= 12; h++) {
            v += amp[h] * dsin(2 * PI * h * t / period);
            if (t < attack && h > 1) amp[h] *= fac[h];
        }
        ins.data[t] = to_i16(v * 0.55);
    }
    ins.loop_start = attack;
    ins.loop_length = loop;
    ins.volume = 52;
    tune(&ins, rate);
    ins.envelope = {{0, 64}, {20, 48}, {90, 36}};
    ins.envelope_sustain = 2;
    ins.fadeout = 2400;
    return ins;
}

// Warm bell: frequency modulation 1:2 whose index falls from 2.4 to 0.3, a
// struck partial at 2.76 that dies within a tenth of a second, and a long
// decay. Not looped: it rings out by itself.
static SynthInstrument make_bell() {
    SynthInstrument ins;
    ins.name = "warm bell";
    const int period = 64;
    double rate = MIDDLE_C_HZ * period;
    uint32_t length = uint32_t(rate * 1.8);
    ins.data.resize(length);
    double env = 1, idx = 2.1, strike = 0.35;
    double env_f = decay_factor(0.7, rate), idx_f = decay_factor(0.25, rate),
           strike_f = decay_factor(0.06, rate);
    for (uint32_t t = 0; t < length; t++) {
        double w = 2 * PI * t / period;
        double attack = t < 64 ? t / 64.0 : 1.0;
        double v = dsin(w + (idx + 0.3) * dsin(2 * w)) + strike * dsin(2.76 * w);
        double tail = t + 2048 > length ? (length - t) / 2048.0 : 1.0;
        ins.data[t] = to_i16(0.62 * v * env * attack * tail);
        env *= env_f;
        idx *= idx_f;
        strike *= strike_f;
    }
    ins.volume = 48;
    tune(&ins, rate);
    return ins;
}

// Glassy pluck for the arpeggios: FM 1:1 with a fast falling index.
static SynthInstrument make_pluck() {
    SynthInstrument ins;
    ins.name = "glass pluck";
    const int period = 64;
    double rate = MIDDLE_C_HZ * period;
    uint32_t length = uint32_t(rate * 0.7);
    ins.data.resize(length);
    double env = 1, idx = 1.6;
    double env_f = decay_factor(0.22, rate), idx_f = decay_factor(0.08, rate);
    for (uint32_t t = 0; t < length; t++) {
        double w = 2 * PI * t / period;
        double attack = t < 32 ? t / 32.0 : 1.0;
        double tail = t + 1024 > length ? (length - t) / 1024.0 : 1.0;
        ins.data[t] = to_i16(0.55 * dsin(w + idx * dsin(w)) * env * attack * tail);
        env *= env_f;
        idx *= idx_f;
    }
    ins.volume = 30;
    tune(&ins, rate);
    return ins;
}

// Drums are sampled at 22154 Hz (relative note 17) and played at C-4.
constexpr double DRUM_RATE = 22153.5;

static SynthInstrument drum(const char* name, double seconds) {
    SynthInstrument ins;
    ins.name = name;
    ins.data.resize(uint32_t(DRUM_RATE * seconds));
    ins.relative_note = 17;
    ins.finetune = 0;
    return ins;
}

// Kick: a sine sweeping from 160 Hz down to 48 Hz, with a 3 ms click.
static SynthInstrument make_kick() {
    SynthInstrument ins = drum("kick", 0.42);
    double phase = 0, freq_extra = 112, env = 1;
    double sweep_f = decay_factor(0.035, DRUM_RATE), env_f = decay_factor(0.16, DRUM_RATE);
    Noise noise{1};
    for (uint32_t t = 0; t < ins.data.size(); t++) {
        phase += 2 * PI * (48 + freq_extra) / DRUM_RATE;
        double click = t < 66 ? 0.3 * noise.next() * (1 - t / 66.0) : 0;
        double tail = t + 512 > ins.data.size() ? (ins.data.size() - t) / 512.0 : 1.0;
        ins.data[t] = to_i16((0.95 * dsin(phase) * env + click) * tail);
        freq_extra *= sweep_f;
        env *= env_f;
    }
    ins.volume = 60;
    return ins;
}

// Snare: a 185 Hz body and bright noise (first difference of white noise).
static SynthInstrument make_snare() {
    SynthInstrument ins = drum("snare", 0.3);
    double body = 1, hiss = 1;
    double body_f = decay_factor(0.045, DRUM_RATE), hiss_f = decay_factor(0.075, DRUM_RATE);
    Noise noise{7};
    double last = 0;
    for (uint32_t t = 0; t < ins.data.size(); t++) {
        double n = noise.next();
        double v = 0.5 * dsin(2 * PI * 185 * t / DRUM_RATE) * body + 0.45 * (n - 0.6 * last) * hiss;
        last = n;
        ins.data[t] = to_i16(v);
        body *= body_f;
        hiss *= hiss_f;
    }
    ins.volume = 44;
    return ins;
}

// Hi-hats: noise through a second difference (the top octaves only).
static SynthInstrument make_hat(const char* name, double seconds, double decay, uint32_t seed) {
    SynthInstrument ins = drum(name, seconds);
    double env = 1, env_f = decay_factor(decay, DRUM_RATE), a = 0, b = 0;
    Noise noise{seed};
    for (uint32_t t = 0; t < ins.data.size(); t++) {
        double n = noise.next();
        double v = n - 2 * a + b;
        b = a;
        a = n;
        double tail = t + 256 > ins.data.size() ? (ins.data.size() - t) / 256.0 : 1.0;
        ins.data[t] = to_i16(0.22 * v * env * tail);
        env *= env_f;
    }
    ins.volume = 34;
    return ins;
}

std::vector<SynthInstrument> synth_instruments() {
    return {make_pad(),
            make_bass(),
            make_bell(),
            make_pluck(),
            make_kick(),
            make_snare(),
            make_hat("closed hat", 0.09, 0.018, 11),
            make_hat("open hat", 0.4, 0.11, 13)};
}
