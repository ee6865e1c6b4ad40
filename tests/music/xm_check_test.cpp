// The module check: every well-formed module passes (the song, ordinary
// layouts, empty placeholder instruments, the damage the player copes with);
// what the player reads out of bounds on, and whatever is cut short, does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "music/music_xm_check.h"
#include "tests/music/render.h"
#include "tools/damaged_xm/damaged_xm.h"
#include "tools/xm/xm_build.h"

namespace {

// On a heap block of exactly the file's size, so a read past it is caught
// by the sanitizer build.
std::string check(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    const char* why = music_xm_check(exact.data(), exact.size());
    return why ? why : "";
}

std::string check(const XmBuildModule& m) { return check(xm_build(m).bytes); }

TEST(XmCheck, AcceptsTheSongAndEveryLayoutOfAHealthyModule) {
    std::vector<uint8_t> song = test_read_file("bellwarm_harmonic.xm");
    ASSERT_GT(song.size(), 100000u);
    EXPECT_EQ(check(song), "");
    XmBuildModule m = xm_build_example();
    for (uint16_t version : {0x0104, 0x0103, 0x0102}) {
        m.version = version;
        EXPECT_EQ(check(m), "") << std::hex << version;
    }
    // Instrument headers of the older, shorter size, and one sample header
    // size field that is not 40 (the loader takes 40 bytes each anyway).
    m = xm_build_example();
    m.instruments[0].header_size = 243;
    EXPECT_EQ(check(m), "");
    // An empty last instrument whose stated header runs past the end (some
    // trackers write it so): the player stops reading instruments there.
    m = xm_build_example();
    m.instruments[2].samples.clear();
    std::vector<uint8_t> b = xm_build(m).bytes;
    b.resize(b.size() - 100);
    EXPECT_EQ(check(b), "");
}

TEST(XmCheck, EmptyInstrumentsPassEvenWhenANoteUsesThem) {
    XmBuildModule m = xm_build_example();
    m.instruments.insert(m.instruments.begin(), m.instruments[1]);  // empty ones first...
    m.instruments.push_back(m.instruments[0]);                      // ...and last
    for (XmBuildPattern& p : m.patterns)
        for (XmBuildCell& c : p.cells)
            if (c.instrument) c.instrument++;
    EXPECT_EQ(check(m), "");
    m.patterns[0].cells[4].instrument = 1;
    m.patterns[0].cells[4].note = 30;
    EXPECT_EQ(check(m), "");
    XmBuildModule none = xm_build_example();
    for (XmBuildInstrument& ins : none.instruments) ins.samples.clear();
    EXPECT_EQ(check(none), "no instrument has a sample");
}

TEST(XmCheck, AmigaPeriodFinetuneFromPlus112IsRefused) {
    XmBuildModule m = xm_build_example();
    m.flags = 0;  // Amiga periods
    m.instruments[2].samples[0].finetune = 111;
    EXPECT_EQ(check(m), "");
    m.instruments[2].samples[0].finetune = 112;
    EXPECT_EQ(check(m), "an Amiga-period sample is finetuned past +111");
    m.version = 0x0103;
    EXPECT_EQ(check(m), "an Amiga-period sample is finetuned past +111");
    m.flags = 1;  // linear periods have no table to run off
    m.instruments[2].samples[0].finetune = 127;
    EXPECT_EQ(check(m), "");
}

TEST(XmCheck, TheDamageThePlayerCopesWithPasses) {
    for (const DamagedXm& d : damaged_xm_kinds()) {
        bool refused = d.name == "amiga_period_high_finetune";
        EXPECT_EQ(check(d.bytes).empty(), !refused) << d.name << ": " << check(d.bytes);
    }
}

TEST(XmCheck, CutsAndBadCountsAreRefusedWithOneLine) {
    std::vector<DamagedXm> cuts = damaged_xm_truncations();
    int refused = 0;
    for (const DamagedXm& d : cuts) {
        std::string why = check(d.bytes);
        EXPECT_EQ(why.find('\n'), std::string::npos) << d.name;
        refused += !why.empty();
    }
    // Only cuts inside or after the empty placeholder leave a playable module.
    EXPECT_EQ(refused, int(cuts.size()) - 4);
    for (uint16_t version : {0x0103, 0x0102}) {
        XmBuildModule m = xm_build_example();
        m.version = version;
        std::vector<uint8_t> b = xm_build(m).bytes;
        for (size_t cut = 0; cut < b.size(); cut += 7)
            EXPECT_NE(check({b.begin(), b.begin() + long(cut)}), "") << version << " " << cut;
    }

    std::vector<uint8_t> b = xm_build(xm_build_example()).bytes;
    b[336 + 7] = 1, b[336 + 8] = 0;  // the first pattern's data size: 1 byte
    EXPECT_EQ(check(b), "pattern data longer than its stated size");
    XmBuildModule m = xm_build_example();
    m.instruments[0].samples[0].length = 1 << 20;
    EXPECT_EQ(check(m), "sample data cut short");
    m = xm_build_example();
    m.channels = 65;
    EXPECT_EQ(check(m), "header values outside the XM format's ranges");
    m = xm_build_example();
    m.header_size = 19;
    EXPECT_EQ(check(m), "header values outside the XM format's ranges");
    b = xm_build(xm_build_example()).bytes;
    b[37] = 0;
    EXPECT_EQ(check(b), "not an XM module");
}

}  // namespace
