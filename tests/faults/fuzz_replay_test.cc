// Replays saved inputs through one libFuzzer target's own entry point, so
// that a finding stays fixed: every reproducer kept in
// fuzz/regressions/<target>/, and the target's seed corpus. The sanitizer
// build turns any read past a value or leak into a failure here.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// Feeds each input of `folder` in a buffer of exactly its size, so that a
// decoder reading one byte too far touches memory the sanitizer watches;
// returns how many there were.
int ReplayAll(const fs::path& folder) {
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        // Dot files (.gitkeep) hold a folder in the repository, not an input.
        if (!entry.is_regular_file() || entry.path().filename().string().starts_with(".")) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        auto exact = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        EXPECT_EQ(LLVMFuzzerTestOneInput(exact.get(), bytes.size()), 0) << entry.path();
        ++replayed;
    }
    return replayed;
}

TEST(QEL2_FUZZ_SUITE, SavedFindingsAndSeedCorpusDecodeCleanly) {
    const fs::path fuzz = QEL2_FUZZ_DIR;
    if (fs::is_directory(fuzz / "regressions" / QEL2_FUZZ_TARGET))
        ReplayAll(fuzz / "regressions" / QEL2_FUZZ_TARGET);
    ASSERT_TRUE(fs::is_directory(fuzz / "corpus" / QEL2_FUZZ_TARGET));
    EXPECT_GT(ReplayAll(fuzz / "corpus" / QEL2_FUZZ_TARGET), 0) << "the seed corpus is missing";
}

}  // namespace
