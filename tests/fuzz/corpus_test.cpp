// Every input kept in tests/fuzz/corpus/<target>/ (seeds, and inputs that
// once broke a check) still passes that target's checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_checks.h"

namespace {

TEST(FuzzCorpus, EveryKeptInputPassesItsChecks) {
    namespace fs = std::filesystem;
    for (int t = 0; t < FUZZ_TARGET_COUNT; ++t) {
        fs::path dir = fs::path(PALENDRO_FUZZ_CORPUS) / FUZZ_TARGETS[t].name;
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        int files = 0;
        for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
            if (!e.is_regular_file()) continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            const char* broken = FUZZ_TARGETS[t].check(bytes.data(), bytes.size());
            EXPECT_EQ(broken, nullptr) << e.path() << ": " << broken;
            ++files;
        }
        EXPECT_GT(files, 0) << "empty corpus " << dir;
    }
}

}  // namespace
