// Replays saved inputs through one libFuzzer target's own entry point, so
// that a finding stays fixed: every reproducer kept in
// fuzz/regressions/<target>/, and the target's seed corpus. Each input is
// handed over in a buffer of exactly its size, so that in the sanitizer
// builds a read one byte too far, or a leak, fails here.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// How many inputs `folder` held. Dot files (.gitkeep) hold a folder in the
// repository, not an input.
int ReplayAll(const std::filesystem::path& folder) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().starts_with(".")) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
        EXPECT_EQ(LLVMFuzzerTestOneInput(exact.data(), exact.size()), 0) << entry.path();
        ++replayed;
    }
    return replayed;
}

TEST(QEL2_FUZZ_SUITE, SavedFindingsAndSeedCorpusDecodeCleanly) {
    const std::filesystem::path fuzz = QEL2_FUZZ_DIR;
    if (std::filesystem::is_directory(fuzz / "regressions" / QEL2_FUZZ_TARGET))
        ReplayAll(fuzz / "regressions" / QEL2_FUZZ_TARGET);
    EXPECT_GT(ReplayAll(fuzz / "corpus" / QEL2_FUZZ_TARGET), 0) << "the seed corpus is missing";
}

}  // namespace
