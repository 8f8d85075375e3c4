#include "safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_error.h"

namespace qel2::cli::exporter {

namespace {

constexpr size_t kBufferSize = 1 << 16;

[[noreturn]] void FailPath(const std::string& path, const std::string& doing) {
    throw qel2::cli::CliError("cannot " + doing + " " + path + ": " + std::strerror(errno));
}

}  // namespace

Folder::Folder(const std::string& path) : path_(path) {
    fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) FailPath(path, "open the folder");
}

Folder::Folder(const Folder& parent, const std::string& name) : path_(parent.path() + "/" + name) {
    if (mkdirat(parent.fd(), name.c_str(), 0755) != 0 && errno != EEXIST)
        FailPath(path_, "create the folder");
    fd_ = openat(parent.fd(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) FailPath(path_, "open the folder (not a symlink)");
}

Folder::~Folder() {
    if (fd_ >= 0) close(fd_);
}

bool Folder::Has(const std::string& name) const {
    struct stat status;
    return fstatat(fd_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

SafeFile::SafeFile(const Folder& folder, std::string name, bool replace)
    : folder_(folder), name_(std::move(name)), replace_(replace) {
    if (!replace_ && folder_.Has(name_)) {
        errno = EEXIST;
        Fail("write (use --force to replace it)");
    }
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                      static_cast<unsigned long long>(random()));
        temporary_ = "." + name_.substr(0, 200) + suffix;
        fd_ = openat(folder_.fd(), temporary_.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd_ < 0 && errno != EEXIST) Fail("create a temporary file for");
    }
    if (fd_ < 0) Fail("create a temporary file for");
    buffer_.reserve(kBufferSize);
}

SafeFile::~SafeFile() {
    if (fd_ >= 0) {
        close(fd_);
        unlinkat(folder_.fd(), temporary_.c_str(), 0);
    }
}

void SafeFile::Fail(const std::string& doing) const {
    FailPath(folder_.path() + "/" + name_, doing);
}

void SafeFile::Flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t written = write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) Fail("write");
        done += static_cast<size_t>(written);
    }
    buffer_.clear();
}

void SafeFile::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferSize) Flush();
    if (bytes.size() >= kBufferSize) {
        buffer_.assign(bytes);
        Flush();
    } else {
        buffer_.append(bytes);
    }
}

void SafeFile::Commit(bool sync) {
    Flush();
    if (sync && fsync(fd_) != 0) Fail("sync");
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        unlinkat(folder_.fd(), temporary_.c_str(), 0);
        Fail("write");
    }
    // RENAME_NOREPLACE keeps a file that appeared meanwhile; a replacing
    // rename swaps a symlink itself, never what it points to.
    const int renamed = renameat2(folder_.fd(), temporary_.c_str(), folder_.fd(), name_.c_str(),
                                  replace_ ? 0 : RENAME_NOREPLACE);
    if (renamed != 0) {
        const int error = errno;
        unlinkat(folder_.fd(), temporary_.c_str(), 0);
        errno = error;
        Fail(error == EEXIST ? "write (use --force to replace it)" : "rename into place");
    }
}

void WriteWholeFile(const Folder& folder, const std::string& name, std::string_view content,
                    bool replace) {
    SafeFile file(folder, name, replace);
    file.Write(content);
    file.Commit(true);
}

}  // namespace qel2::cli::exporter
