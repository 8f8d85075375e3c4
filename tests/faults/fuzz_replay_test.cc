// Replays saved inputs through one libFuzzer target's own entry point, so
// that a finding stays fixed: every reproducer kept in
// fuzz/regressions/<target>/, and the target's seed corpus. The sanitizer
// build turns any read past a value or leak into a failure here.

#include <algorithm>
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

const fs::path kFuzzDir = QEL2_FUZZ_DIR;

std::vector<fs::path> InputsIn(const fs::path& folder) {
    std::vector<fs::path> inputs;
    if (!fs::is_directory(folder)) return inputs;
    for (const auto& entry : fs::directory_iterator(folder)) {
        // Dot files (.gitkeep) hold a folder in the repository, not an input.
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') inputs.push_back(entry.path());
    }
    return inputs;
}

// Feeds one input in a buffer of exactly its size, so that a decoder
// reading one byte too far touches memory the sanitizer watches.
void Replay(const fs::path& input) {
    std::ifstream file(input, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto exact = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    EXPECT_EQ(LLVMFuzzerTestOneInput(exact.get(), bytes.size()), 0) << input;
}

TEST(QEL2_FUZZ_SUITE, SavedFindingsDecodeCleanly) {
    auto inputs = InputsIn(kFuzzDir / "regressions" / QEL2_FUZZ_TARGET);
    if (inputs.empty()) GTEST_SKIP() << "no finding of " QEL2_FUZZ_TARGET " has been saved";
    for (const auto& input : inputs) Replay(input);
}

TEST(QEL2_FUZZ_SUITE, SeedCorpusDecodesCleanly) {
    auto inputs = InputsIn(kFuzzDir / "corpus" / QEL2_FUZZ_TARGET);
    ASSERT_FALSE(inputs.empty()) << "the seed corpus of " QEL2_FUZZ_TARGET " is missing";
    for (const auto& input : inputs) Replay(input);
}

}  // namespace
