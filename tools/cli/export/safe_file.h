// Files an export writes, so that a failure or a planted link can do no
// harm: the content goes to a new temporary file in the target folder
// (O_EXCL, O_NOFOLLOW: never through a symlink), which is renamed to its
// name only when complete. Without `replace` an existing name, file or
// symlink, is left untouched and the write fails; a write that fails or
// is abandoned leaves no file behind.
#pragma once

#include <string>
#include <string_view>

namespace qel2::cli::exporter {

// A folder opened once; the names below it are resolved against it, never
// through a symlink.
class Folder {
public:
    // Opens `path`, which must exist.
    explicit Folder(const std::string& path);
    // Opens (creating it when missing) the sub-folder `name` of `parent`; a
    // symlink in its place is refused.
    Folder(const Folder& parent, const std::string& name);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    // True when `name` exists in the folder (a dangling symlink too).
    bool Has(const std::string& name) const;

private:
    int fd_ = -1;
    std::string path_;
};

class SafeFile {
public:
    // Throws CliError when `name` exists and `replace` is false, or when the
    // temporary file cannot be made.
    SafeFile(const Folder& folder, std::string name, bool replace);
    ~SafeFile();  // removes the temporary file unless committed
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Buffered; throws CliError on a failed write.
    void Write(std::string_view bytes);
    // Flushes, syncs when `sync`, closes and renames into place.
    void Commit(bool sync);

private:
    void Flush();
    [[noreturn]] void Fail(const std::string& doing) const;

    const Folder& folder_;
    std::string name_;
    std::string temporary_;
    bool replace_;
    int fd_ = -1;
    std::string buffer_;
};

// Writes `content` to `name` in `folder` through a SafeFile.
void WriteWholeFile(const Folder& folder, const std::string& name, std::string_view content,
                    bool replace);

}  // namespace qel2::cli::exporter
