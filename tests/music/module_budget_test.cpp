// Hostile modules kept within the handheld's memory: a pattern past XM's 256
// rows and a module whose decoded form passes the budget are refused (the
// program then runs silent, its peak memory that of the file read and no
// more), a large module within the budget plays, and a FIFO in the module's
// place does not hold up the start.
#include <gtest/gtest.h>

#include <string>

#include "music/music_xm_check.h"
#include "tests/support/program_run.h"
#include "tools/xm/xm_build.h"

namespace {

// The example with its 8-bit instrument holding `sample_bytes` bytes.
std::vector<uint8_t> with_large_sample(size_t sample_bytes) {
    XmBuildModule m = xm_build_example();
    for (XmBuildInstrument& i : m.instruments)
        for (XmBuildSample& s : i.samples)
            if (!(s.type & 0x10)) s.data.assign(sample_bytes, 1);
    return xm_build(m).bytes;
}

std::vector<uint8_t> rows_bomb() {
    std::vector<uint8_t> bytes = xm_build(xm_build_example()).bytes;
    const size_t rows_at = 60 + 276 + 5;  // the first pattern header's row count
    bytes[rows_at] = 0xFF;
    bytes[rows_at + 1] = 0xFF;
    return bytes;
}

TEST(ModuleBudget, RowsPastXmsLimitAndDecodedSizePastTheBudgetAreRefused) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* refused;  // nullptr: played
    };
    const Case cases[] = {
        {"rows_bomb", rows_bomb(), "more than 256 rows"},
        {"30mib", with_large_sample(size_t(30) << 20), "more memory than the handheld has"},
        {"12mib", with_large_sample(size_t(12) << 20), nullptr},
    };
    for (const Case& c : cases) {
        const char* why = music_xm_check(c.bytes.data(), c.bytes.size());
        if (!c.refused)
            EXPECT_EQ(why, nullptr) << c.name << ": " << why;
        else
            EXPECT_NE(std::string(why ? why : "").find(c.refused), std::string::npos) << c.name;
    }
    if (program_bin().empty()) GTEST_SKIP() << "PALENDRO_BIN not set";
    ProgramCall none;
    none.dir = program_folder("budget_none");
    none.args = "--headless --frames 30";
    const ProgramResult silent = program_run(none);
    for (const Case& c : cases) {
        ProgramCall call = none;
        call.dir = program_folder(std::string("budget_") + c.name);
        FILE* f = std::fopen((call.dir + "/bellwarm_harmonic.xm").c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
        std::fclose(f);
        const ProgramResult r = program_run(call);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.err.find("no music") != std::string::npos, c.refused != nullptr)
            << c.name << ": " << r.err;
        // The file and what the library makes of it, on top of a run without music.
        if (r.peak_kib >= 0) {
            EXPECT_LE(r.peak_kib - silent.peak_kib, long(MUSIC_XM_MEMORY_BUDGET >> 10)) << c.name;
        }
    }
    ProgramCall fifo = none;
    fifo.dir = program_folder("budget_fifo");
    fifo.before = "mkfifo " + fifo.dir + "/bellwarm_harmonic.xm;";
    const ProgramResult r = program_run(fifo);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
}

}  // namespace
