#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace qel2::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qel2test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& text) const {
    auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::filesystem::path test_data_dir() {
    const char* dir = std::getenv("QEL2_TEST_DATA");
    return dir ? std::filesystem::path(dir) : std::filesystem::path(QEL2_TEST_DATA_DIR);
}

std::string test_data_text(const std::string& name) {
    std::ifstream in(test_data_dir() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qel2::test
