// The song: made by the composer from the score, playable in libmikmod, xmp
// and openmpt123 with one length, looping back to its restart position.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <mikmod.h>

#include "music/music.h"
#include "tests/music/render.h"

namespace {

std::string run_command(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

bool installed(const char* tool) {
    return system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

uint16_t u16_at(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

TEST(Song, TheCommittedFileIsWhatTheComposerMakes) {
    std::string out = temp_path("composed.xm");
    ASSERT_EQ(system((std::string(COMPOSER_BIN) + " " + SCORE_FILE + " " + out).c_str()), 0);
    std::vector<uint8_t> made = test_read_file(out);
    remove(out.c_str());
    std::vector<uint8_t> committed = test_read_file("bellwarm_harmonic.xm");
    ASSERT_FALSE(made.empty());
    EXPECT_TRUE(made == committed) << "rerun the composer: palendro_compose "
                                      "tools/compose/score.txt bellwarm_harmonic.xm";
}

// Seconds libmikmod plays before the song would loop, through the glue.
double libmikmod_seconds(int* channels, int* restart) {
    RenderRun run;
    run.frames = 60 * 200;
    run.each_frame = [&](uint64_t f) {
        if (f == 0 && g_module) {
            g_module->loop = 0;  // end at the loop jump instead of taking it
            *channels = g_module->numchn;
            *restart = g_module->reppos;
        }
    };
    return double(render_music(run).mixer_bytes) / 4 / MUSIC_MIX_RATE;
}

TEST(Song, IsLongEnoughAndAllThreePlayersAgreeOnItsLength) {
    int channels = 0, restart = -1;
    double mikmod = libmikmod_seconds(&channels, &restart);
    EXPECT_GE(channels, 8);
    EXPECT_GE(mikmod, 120.0);
    EXPECT_LT(mikmod, 200.0);  // it ended: the loop jump was where the song ends
    std::vector<uint8_t> xm = test_read_file("bellwarm_harmonic.xm");
    ASSERT_GT(xm.size(), 80u);
    EXPECT_EQ(restart, u16_at(xm, 66));

    if (!installed("xmp") || !installed("openmpt123")) GTEST_SKIP() << "xmp or openmpt123 missing";
    std::string raw = temp_path("xmp.raw");
    run_command("xmp -q -f 22050 -o " + raw + " bellwarm_harmonic.xm");
    double xmp = double(test_read_file(raw).size()) / 4 / 22050;
    remove(raw.c_str());
    std::string info = run_command("openmpt123 --info bellwarm_harmonic.xm 2>&1");
    size_t at = info.find("Duration...: ");
    ASSERT_NE(at, std::string::npos) << info;
    int minutes = 0;
    double seconds = 0;
    ASSERT_EQ(sscanf(info.c_str() + at + 13, "%d:%lf", &minutes, &seconds), 2);
    double openmpt = minutes * 60 + seconds;
    EXPECT_NEAR(xmp, mikmod, 1.0);
    EXPECT_NEAR(openmpt, mikmod, 1.0);
    EXPECT_NEAR(openmpt, xmp, 1.0);
}

// After the last position the player goes on at the restart position.
TEST(Song, LoopsToItsRestartPosition) {
    RenderRun run;
    run.frames = 60 * 135;  // past the end of the first pass
    int restart = -1, position_after = -1, max_position = 0;
    run.each_frame = [&](uint64_t f) {
        if (!g_module) return;
        if (f == 0) restart = g_module->reppos;
        max_position = std::max(max_position, int(g_module->sngpos));
        if (f + 1 == run.frames) position_after = g_module->sngpos;
    };
    RenderResult r = render_music(run);
    EXPECT_EQ(max_position, 14);
    EXPECT_EQ(position_after, restart);
    size_t end = r.samples.size();
    EXPECT_GT(rms(r.samples, end - 2 * MUSIC_MIX_RATE, end), 500.0);  // still playing
}

}  // namespace
