// A temporary folder removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace qel2::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Writes `text` to a file inside the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

// The project's test data folder (tests/data).
std::filesystem::path test_data_dir();
// The whole text of a file under the test data folder.
std::string test_data_text(const std::string& name);

}  // namespace qel2::test
