// The song composer: reads the score (score.txt), arranges it into tracker
// patterns — pad chords voiced from the chord symbols, bass and arpeggio
// lines from rhythm strings, drums from grooves, the lead and its echo from
// written notes — synthesizes the instruments and writes the XM file.
//   palendro_compose SCORE OUT.xm
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "synth.h"
#include "xm_writer.h"

namespace {

constexpr int ROWS = 64, BAR_ROWS = 16, BARS = ROWS / BAR_ROWS;
// Channel roles.
enum {
    CH_PAD0,
    CH_PAD1,
    CH_PAD2,
    CH_BASS,
    CH_ARP,
    CH_LEAD,
    CH_ECHO,
    CH_KICK,
    CH_SNARE,
    CH_HAT,
    CHANNELS
};
constexpr int PAN[CHANNELS] = {64, 128, 192, 128, 176, 112, 168, 0, 0, 0};  // 0 = instrument's
constexpr int ECHO_DELAY_ROWS = 3, ECHO_VOLUME = 20;
constexpr int MIDI_TO_XM = -11;  // middle C (60) is note C-4 (49)

struct Groove {
    std::string kick, snare, hat;
};

struct Pattern {
    std::string name;
    std::vector<std::string> chords;  // one per half bar
    bool pad = true, echo = false;
    std::string bass, arp;
    std::vector<std::string> drums;         // groove per bar, "-" = none
    std::vector<std::pair<int, int>> lead;  // (midi note or -1 rest, rows)
};

struct Score {
    std::string title;
    int bpm = 125, speed = 6, restart = 0;
    std::map<std::string, Groove> grooves;
    std::map<std::string, std::string> basslines, arplines;
    std::vector<Pattern> patterns;
    std::vector<std::string> order;
};

[[noreturn]] void fail(int line, const std::string& what) {
    fprintf(stderr, "score line %d: %s\n", line, what.c_str());
    exit(1);
}

int pitch_class(const std::string& s, size_t* used) {
    static const int BASE[7] = {9, 11, 0, 2, 4, 5, 7};  // a..g
    char c = char(tolower(s[0]));
    if (c < 'a' || c > 'g') return -1;
    int pc = BASE[c - 'a'];
    *used = 1;
    if (s.size() > 1 && s[1] == '#')
        pc++, *used = 2;
    else if (s.size() > 1 && s[1] == 'b')
        pc--, *used = 2;
    return (pc + 12) % 12;
}

// "c#5" -> 73 (octave 4 holds middle C).
int parse_note(const std::string& s, int line) {
    size_t used;
    int pc = pitch_class(s, &used);
    if (pc < 0 || used >= s.size()) fail(line, "bad note " + s);
    int octave = atoi(s.c_str() + used);
    int letter_pc = pitch_class(s.substr(0, 1), &used);
    int midi = (octave + 1) * 12 + pc;
    if (letter_pc == 0 && pc == 11) midi -= 12;  // cb5 is b4
    if (letter_pc == 11 && pc == 0) midi += 12;  // b#4 is c5
    return midi;
}

// Chord symbol -> root pitch class and intervals.
std::vector<int> parse_chord(const std::string& s, int* root, int line) {
    static const std::map<std::string, std::vector<int>> QUALITY = {{"", {0, 4, 7}},
                                                                    {"m", {0, 3, 7}},
                                                                    {"7", {0, 4, 7, 10}},
                                                                    {"maj7", {0, 4, 7, 11}},
                                                                    {"m7", {0, 3, 7, 10}},
                                                                    {"m9", {0, 3, 7, 10, 14}},
                                                                    {"add9", {0, 4, 7, 14}},
                                                                    {"6", {0, 4, 7, 9}},
                                                                    {"sus4", {0, 5, 7}},
                                                                    {"7sus4", {0, 5, 7, 10}},
                                                                    {"maj9", {0, 4, 7, 11, 14}},
                                                                    {"madd9", {0, 3, 7, 14}}};
    size_t used;
    *root = pitch_class(s, &used);
    auto q = QUALITY.find(s.substr(used));
    if (*root < 0 || q == QUALITY.end()) fail(line, "unknown chord " + s);
    return q->second;
}

Score read_score(const char* path) {
    std::ifstream in(path);
    if (!in) fail(0, std::string("cannot read ") + path);
    Score score;
    std::string text, block, block_name;
    int line = 0;
    while (std::getline(in, text)) {
        line++;
        size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos || text[first] == '#') continue;  // blank or comment
        std::istringstream words(text);
        std::string key;
        if (!(words >> key)) continue;
        std::vector<std::string> args;
        for (std::string w; words >> w;)
            if (w != "|") args.push_back(w);
        bool indented = text[0] == ' ';
        auto one = [&]() -> std::string {
            if (args.size() != 1) fail(line, key + " takes one value");
            return args[0];
        };
        if (!indented) {
            block = key;
            block_name = args.empty() ? "" : args[0];
            if (key == "title") {
                score.title = text.substr(text.find("title") + 6);
                while (!score.title.empty() && score.title.back() == ' ') score.title.pop_back();
            } else if (key == "tempo") {
                score.bpm = atoi(one().c_str());
            } else if (key == "speed") {
                score.speed = atoi(one().c_str());
            } else if (key == "restart") {
                score.restart = atoi(one().c_str());
            } else if (key == "groove") {
                score.grooves[one()];
            } else if (key == "bassline" || key == "arpline") {
                if (args.size() != 2 || args[1].size() != BAR_ROWS)
                    fail(line, key + " needs a name and 16 steps");
                (key == "bassline" ? score.basslines : score.arplines)[args[0]] = args[1];
            } else if (key == "pattern") {
                score.patterns.emplace_back();
                score.patterns.back().name = one();
            } else if (key == "order") {
                score.order.insert(score.order.end(), args.begin(), args.end());
            } else {
                fail(line, "unknown " + key);
            }
            continue;
        }
        if (block == "groove") {
            Groove& g = score.grooves[block_name];
            std::string steps = one();
            if (steps.size() != BAR_ROWS) fail(line, "a groove line has 16 steps");
            if (key == "kick")
                g.kick = steps;
            else if (key == "snare")
                g.snare = steps;
            else if (key == "hat")
                g.hat = steps;
            else
                fail(line, "unknown drum " + key);
        } else if (block == "pattern") {
            Pattern& p = score.patterns.back();
            if (key == "chords") {
                for (const std::string& c : args) {
                    size_t slash = c.find('/');
                    p.chords.push_back(c.substr(0, slash));
                    p.chords.push_back(slash == std::string::npos ? c : c.substr(slash + 1));
                }
                if (p.chords.size() != 2 * BARS) fail(line, "chords for 4 bars");
            } else if (key == "pad" || key == "echo") {
                (key == "pad" ? p.pad : p.echo) = one() == "on";
            } else if (key == "bass" || key == "arp") {
                std::string v = one();
                auto& lines = key == "bass" ? score.basslines : score.arplines;
                if (v != "off" && !lines.count(v)) fail(line, "unknown " + key + " line " + v);
                (key == "bass" ? p.bass : p.arp) = v == "off" ? "" : v;
            } else if (key == "drums") {
                if (args.size() != BARS) fail(line, "drums for 4 bars");
                for (const std::string& g : args)
                    if (g != "-" && !score.grooves.count(g)) fail(line, "unknown groove " + g);
                p.drums = args;
            } else if (key == "lead") {
                for (const std::string& tok : args) {
                    size_t colon = tok.find(':');
                    if (colon == std::string::npos) fail(line, "note:rows expected, got " + tok);
                    std::string n = tok.substr(0, colon);
                    int rows = atoi(tok.c_str() + colon + 1);
                    p.lead.push_back({n == "." ? -1 : parse_note(n, line), rows});
                }
            } else {
                fail(line, "unknown pattern line " + key);
            }
        } else {
            fail(line, "indented line outside a block");
        }
    }
    return score;
}

// The chord tones a pad plays: three of them in A3..G#4, root left to the bass
// when the chord has four or more notes, the fifth dropped from five-note chords.
std::vector<int> pad_voicing(int root, std::vector<int> iv) {
    if (iv.size() >= 4) iv.erase(iv.begin());
    if (iv.size() >= 4) iv.erase(iv.begin() + 1);
    std::vector<int> notes;
    for (int i : iv) {
        int pc = (root + i) % 12;
        notes.push_back(57 + (pc - 9 + 12) % 12);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

XmCell note_cell(int midi, int instrument, int channel, int volume = 0) {
    XmCell c;
    c.note = uint8_t(midi + MIDI_TO_XM);
    c.instrument = uint8_t(instrument);
    if (volume) c.volume = uint8_t(0x10 + volume);
    if (PAN[channel]) c.effect = 8, c.param = uint8_t(PAN[channel]);
    return c;
}

std::vector<XmCell> arrange(const Score& s, const Pattern& p) {
    std::vector<XmCell> cells(ROWS * CHANNELS);
    auto at = [&](int row, int ch) -> XmCell& { return cells[row * CHANNELS + ch]; };
    int prev_pad[3] = {-1, -1, -1};
    for (int half = 0; half < 2 * BARS; half++) {
        int root;
        std::vector<int> iv = parse_chord(p.chords[half], &root, 0);
        int row0 = half * BAR_ROWS / 2;
        if (p.pad) {
            std::vector<int> v = pad_voicing(root, iv);
            for (int k = 0; k < 3; k++)
                if (v[k] != prev_pad[k])
                    at(row0, CH_PAD0 + k) = note_cell(v[k], INS_PAD, CH_PAD0 + k);
            std::copy(v.begin(), v.end(), prev_pad);
        }
        int bass_root = 38 + (root - 2 + 12) % 12;  // D2..C#3
        int third = iv[1];
        for (int r = 0; r < BAR_ROWS / 2; r++) {
            int row = row0 + r, step = row % BAR_ROWS;
            if (!p.bass.empty()) {
                char b = s.basslines.at(p.bass)[step];
                int n = b == 'r' ? 0 : b == 'o' ? 12 : b == 'f' ? 7 : b == 't' ? third : -1;
                if (n >= 0) at(row, CH_BASS) = note_cell(bass_root + n, INS_BASS, CH_BASS);
                if (b == '-') at(row, CH_BASS).note = XM_KEY_OFF;
            }
            if (!p.arp.empty()) {
                char a = s.arplines.at(p.arp)[step];
                if (a >= '0' && a <= '9') {
                    int i = a - '0', n = int(iv.size());
                    int midi = 62 + (root - 2 + 12) % 12 + iv[i % n] + 12 * (i / n);
                    at(row, CH_ARP) = note_cell(midi, INS_PLUCK, CH_ARP);
                }
            }
        }
    }
    for (int bar = 0; bar < BARS && !p.drums.empty(); bar++) {
        if (p.drums[bar] == "-") continue;
        const Groove& g = s.grooves.at(p.drums[bar]);
        for (int step = 0; step < BAR_ROWS; step++) {
            int row = bar * BAR_ROWS + step;
            if (g.kick[step] == 'x') at(row, CH_KICK) = note_cell(60, INS_KICK, CH_KICK);
            if (g.snare[step] == 'x') at(row, CH_SNARE) = note_cell(60, INS_SNARE, CH_SNARE);
            if (g.snare[step] == 'g') at(row, CH_SNARE) = note_cell(60, INS_SNARE, CH_SNARE, 22);
            char h = g.hat[step];
            if (h == 'c' || h == 'C')
                at(row, CH_HAT) = note_cell(60, INS_HAT_CLOSED, CH_HAT, h == 'c' ? 36 : 60);
            if (h == 'o') at(row, CH_HAT) = note_cell(60, INS_HAT_OPEN, CH_HAT);
        }
    }
    int row = 0;
    for (auto [midi, rows] : p.lead) {
        if (midi >= 0 && row < ROWS) {
            at(row, CH_LEAD) = note_cell(midi, INS_BELL, CH_LEAD);
            if (p.echo && row + ECHO_DELAY_ROWS < ROWS)
                at(row + ECHO_DELAY_ROWS, CH_ECHO) =
                    note_cell(midi, INS_BELL, CH_ECHO, ECHO_VOLUME);
        }
        row += rows;
    }
    if (!p.lead.empty() && row != ROWS) {
        fprintf(stderr, "pattern %s: lead covers %d rows, not %d\n", p.name.c_str(), row, ROWS);
        exit(1);
    }
    return cells;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: palendro_compose SCORE OUT.xm\n");
        return 2;
    }
    Score score = read_score(argv[1]);
    XmSong song;
    song.name = score.title;
    song.channels = CHANNELS;
    song.speed = score.speed;
    song.bpm = score.bpm;
    song.restart = score.restart;
    song.instruments = synth_instruments();
    std::map<std::string, int> index;
    for (const std::string& name : score.order) {
        if (!index.count(name)) {
            const Pattern* p = nullptr;
            for (const Pattern& q : score.patterns)
                if (q.name == name) p = &q;
            if (!p) fail(0, "order names unknown pattern " + name);
            index[name] = int(song.patterns.size());
            song.patterns.push_back(arrange(score, *p));
            song.pattern_rows.push_back(ROWS);
        }
        song.order.push_back(uint8_t(index[name]));
    }
    // The song loops by a jump from the last row of its last pattern to the
    // restart position, so every player agrees where one pass ends.
    const std::string& last = score.order.back();
    if (std::count(score.order.begin(), score.order.end(), last) != 1)
        fail(0, "the last pattern must be played once (it holds the loop jump)");
    XmCell& jump = song.patterns[index[last]][(ROWS - 1) * CHANNELS + CH_KICK];
    jump.effect = 0x0b;
    jump.param = uint8_t(score.restart);
    std::vector<uint8_t> bytes = xm_write(song);
    FILE* f = fopen(argv[2], "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
