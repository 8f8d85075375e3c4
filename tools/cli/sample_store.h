// The bundled sample: the genuine Berkeley DB 4.2 store that ships with
// qel2caldb, unpacked into a temporary folder and recovered there, so a
// command run with --sample shows real data and never touches the
// original.
#pragma once

#include <string>

namespace qel2::cli {

// The sample archive: the source tree's copy when this build can still see
// it, else the installed one; throws CliError when neither exists.
std::string SampleArchive();

class SampleStore {
public:
    SampleStore();   // unpacks; throws CliError
    ~SampleStore();  // removes the temporary copy
    SampleStore(const SampleStore&) = delete;
    SampleStore& operator=(const SampleStore&) = delete;

    const std::string& directory() const { return directory_; }

private:
    std::string temporary_;
    std::string directory_;
};

}  // namespace qel2::cli
