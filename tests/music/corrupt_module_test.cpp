// Damaged module files: the loader runs in a child process with a time limit,
// on the song cut short at many points, with random bytes in its header
// fields and with absurd counts. A damaged file may fail to load; it must
// never crash or hang the demo.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/music/render.h"

namespace {

enum Outcome { LOADED, REFUSED, CRASHED, HUNG };
const char* OUTCOME_NAME[] = {"loaded", "refused", "crashed", "hung"};

// Runs `play` in a child process with its own working directory that holds
// `bytes` as the demo's module, under a time limit; play's result is the
// child's exit status. Returns the raw wait status.
int in_child(const std::vector<uint8_t>& bytes, const std::function<int()>& play) {
    std::filesystem::path dir = temp_path("corrupt_dir");
    std::filesystem::create_directories(dir);
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        std::filesystem::current_path(dir);
        FILE* f = fopen("bellwarm_harmonic.xm", "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        _exit(play());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::filesystem::remove_all(dir);
    return status;
}

// Plays `bytes` as the demo's module through the glue for 50 frames.
Outcome load_in_child(const std::vector<uint8_t>& bytes) {
    const int status = in_child(bytes, [] {
        RenderRun run;
        run.frames = 50;
        RenderResult r = render_music(run);
        return r.started != 1 ? 3 : r.mixer_bytes > 0 ? 0 : 1;
    });
    if (WIFSIGNALED(status)) return WTERMSIG(status) == SIGALRM ? HUNG : CRASHED;
    return WEXITSTATUS(status) == 0 ? LOADED : REFUSED;
}

std::vector<uint8_t> song() {
    return test_read_file((std::filesystem::current_path() / "bellwarm_harmonic.xm").string());
}

void put16(std::vector<uint8_t>* b, size_t at, uint16_t v) {
    (*b)[at] = uint8_t(v), (*b)[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    put16(b, at, uint16_t(v)), put16(b, at + 2, uint16_t(v >> 16));
}

// Damaged variants of the song: cuts, header bytes, counts.
std::vector<std::pair<std::string, std::vector<uint8_t>>> damaged_songs() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    std::vector<uint8_t> s = song();
    std::vector<size_t> cuts;
    for (size_t c = 0; c < 400; c += 7) cuts.push_back(c);
    for (size_t c = 400; c < s.size(); c += s.size() / 60) cuts.push_back(c);
    for (size_t c : cuts)
        out.push_back({"cut at " + std::to_string(c), {s.begin(), s.begin() + c}});
    uint32_t seed = 12345;
    for (int i = 0; i < 60; i++) {
        std::vector<uint8_t> b = s;
        for (int k = 0; k < 4; k++) {
            seed = seed * 1664525u + 1013904223u;
            size_t at = 60 + (seed >> 8) % 2000;  // header block, order table, patterns
            b[at] = uint8_t(seed >> 24);
        }
        out.push_back({"random header bytes " + std::to_string(i), b});
    }
    struct Field {
        const char* name;
        size_t at;
        int bytes;
    };
    // Offsets into the song's header block, first pattern and first instrument
    // (at 13011, its sample header at 13274).
    const Field FIELDS[] = {{"header size", 60, 4},
                            {"song length", 64, 2},
                            {"restart", 66, 2},
                            {"channels", 68, 2},
                            {"patterns", 70, 2},
                            {"instruments", 72, 2},
                            {"speed", 76, 2},
                            {"bpm", 78, 2},
                            {"pattern header", 336, 4},
                            {"pattern rows", 341, 2},
                            {"pattern size", 343, 2},
                            {"instrument header", 13011, 4},
                            {"sample count", 13038, 2},
                            {"sample header size", 13040, 4},
                            {"envelope points", 13236, 1},
                            {"envelope sustain", 13238, 1},
                            {"envelope loop end", 13240, 1},
                            {"envelope type", 13244, 1},
                            {"sample length", 13274, 4},
                            {"loop start", 13278, 4},
                            {"loop length", 13282, 4},
                            {"sample type", 13288, 1},
                            {"relative note", 13290, 1}};
    for (const Field& fld : FIELDS)
        for (uint32_t v : {0u, 1u, 0x7fffu, 0xffffu, 0xffffffffu}) {
            std::vector<uint8_t> b = s;
            if (fld.bytes == 1)
                b[fld.at] = uint8_t(v);
            else if (fld.bytes == 2)
                put16(&b, fld.at, uint16_t(v));
            else
                put32(&b, fld.at, v);
            out.push_back({std::string(fld.name) + " = " + std::to_string(v), b});
        }
    return out;
}

TEST(CorruptModule, DamagedFilesNeverCrashOrHang) {
    std::vector<uint8_t> s = song();
    ASSERT_EQ(load_in_child(s), LOADED);
    int refused = 0;
    for (auto& [name, bytes] : damaged_songs()) {
        Outcome o = load_in_child(bytes);
        EXPECT_TRUE(o == LOADED || o == REFUSED) << name << ": " << OUTCOME_NAME[o];
        refused += o == REFUSED;
    }
    EXPECT_GT(refused, 50);  // the damage is real: most cuts and bad counts are refused
}

// The demo's own path, started and stopped twice in one process, then
// handed a file cut inside its first line.
TEST(CorruptModule, TheGlueStartedTwiceStillRefusesACutFile) {
    std::vector<uint8_t> s = song();
    s.resize(14);
    const int status = in_child(s, [] {
        RenderRun run;
        run.frames = 10;
        return render_music(run).started == 1 && render_music(run).started == 1 ? 0 : 1;
    });
    ASSERT_FALSE(WIFSIGNALED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
