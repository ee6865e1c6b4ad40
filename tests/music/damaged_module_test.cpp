// The real program with a damaged module beside it: every run ends normally
// (under the sanitizer build: with no report), shows the same frames as a run
// without music, and is silent, with one line saying why, where the check
// refuses the file. Also what a PC run says when there is no module to play.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "music/music_xm_check.h"
#include "tests/music/render.h"
#include "tools/damaged_xm/damaged_xm.h"

namespace {

namespace fs = std::filesystem;

// Short runs: 2.5 s reach both patterns of the example; the cuts leave at
// most its first instrument, which 1 s plays.
constexpr int KIND_FRAMES = 150, CUT_FRAMES = 60;
const char MODULE_FILE[] = "bellwarm_harmonic.xm";

struct ProgramRun {
    int frames_run = 0;  // asked for
    int status = -1;
    std::string frames;  // the --frame-hash lines
    std::string errors;  // standard error
    int peak = -1;       // of the WAV's samples
};

// A folder of its own for each run, removed afterwards.
struct Folder {
    fs::path path;
    explicit Folder(const std::string& name) : path(temp_path(name)) {
        fs::remove_all(path);
        fs::create_directories(path);
        path = fs::canonical(path);
    }
    ~Folder() { fs::remove_all(path); }
    void put(const std::vector<uint8_t>& bytes) const {
        FILE* f = fopen((path / MODULE_FILE).c_str(), "wb");
        ASSERT_TRUE(f);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
};

ProgramRun run_in(const Folder& folder, int frames) {
    ProgramCall call;
    call.dir = folder.path.string();
    call.args = "--headless --frame-hash --wav out.wav --frames " + std::to_string(frames);
    const ProgramResult run = program_run(call);
    ProgramRun r;
    r.frames_run = frames;
    r.status = run.status;
    const std::string& out = run.out;
    for (size_t at = out.find("frame "); at != std::string::npos; at = out.find("frame ", at + 1))
        r.frames += out.substr(at, out.find('\n', at) - at + 1);
    r.errors = run.err;
    std::vector<uint8_t> wav = test_read_file((folder.path / "out.wav").string());
    r.peak = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2)
        r.peak = std::max(r.peak, std::abs(int(int16_t(wav[i] | wav[i + 1] << 8))));
    return r;
}

ProgramRun without_music(int frames) {
    Folder empty("no_module");
    return run_in(empty, frames);
}

void expect_healthy_run(const DamagedXm& d, const ProgramRun& without_music) {
    SCOPED_TRACE(d.name);
    Folder folder("damaged_" + d.name);
    folder.put(d.bytes);
    ProgramRun r = run_in(folder, without_music.frames_run);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_TRUE(r.frames == without_music.frames) << "the frames differ from a run without music";
    const char* why = music_xm_check(d.bytes.data(), d.bytes.size());
    if (why) {
        EXPECT_EQ(r.errors, std::string("palendro: no music: ") + MODULE_FILE + ": " + why + "\n");
        EXPECT_EQ(r.peak, 0);
    } else {
        EXPECT_EQ(r.errors, "");
        EXPECT_GT(r.peak, 100);
    }
}

TEST(DamagedModules, EachKindRunsHealthyAndIsSilentWhereRefused) {
    ProgramRun silent = without_music(KIND_FRAMES);
    ASSERT_EQ(silent.status, 0);
    ASSERT_NE(silent.frames.find("frame 000149 hash "), std::string::npos) << silent.frames;
    for (const DamagedXm& d : damaged_xm_kinds()) expect_healthy_run(d, silent);
}

TEST(DamagedModules, CutsAtEveryHeaderBoundaryRunHealthy) {
    ProgramRun silent = without_music(CUT_FRAMES);
    ASSERT_NE(silent.frames.find("frame 000059 hash "), std::string::npos) << silent.frames;
    for (const DamagedXm& d : damaged_xm_truncations()) expect_healthy_run(d, silent);
}

TEST(NoModule, ARunElsewhereNamesTheFolderItLookedIn) {
    Folder empty("elsewhere");
    ProgramRun r = run_in(empty, 2);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors, std::string("palendro: no music: ") + MODULE_FILE + " is not in " +
                            empty.path.string() + " (the folder it is read from)\n");
    EXPECT_EQ(r.peak, 0);
}

TEST(NoModule, AFolderOrAnOversizedFileInItsPlaceIsNamedWithTheReason) {
    Folder folder("not_a_file");
    fs::create_directory(folder.path / MODULE_FILE);
    ProgramRun r = run_in(folder, 2);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors, std::string("palendro: no music: ") + MODULE_FILE + ": Is a directory\n");

    Folder big("oversized");
    big.put(test_read_file("bellwarm_harmonic.xm"));
    fs::resize_file(big.path / MODULE_FILE, (32u << 20) + 1);  // the song, then zeros
    r = run_in(big, 2);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors,
              std::string("palendro: no music: ") + MODULE_FILE + ": larger than 32 MiB\n");
    EXPECT_EQ(r.peak, 0);
}

}  // namespace
