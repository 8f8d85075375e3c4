#include "private_mounts.h"

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>

namespace qel2test {

namespace {

std::string Failed(const char* what) { return std::string(what) + ": " + strerror(errno); }

// Moves the process into its own mount namespace, once.
std::string PrivateNamespace() {
    static const std::string reason = [] {
        if (unshare(CLONE_NEWNS) != 0) return Failed("unshare");
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return Failed("private mounts");
        return std::string();
    }();
    return reason;
}

}  // namespace

std::string MountReadOnlyView(const std::filesystem::path& source, const std::filesystem::path& view) {
    if (std::string reason = PrivateNamespace(); !reason.empty()) return reason;
    if (mount(source.c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0) return Failed("bind mount");
    if (mount(nullptr, view.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        std::string reason = Failed("read-only remount");
        umount(view.c_str());
        return reason;
    }
    return "";
}

std::string MountSmallDisk(const std::filesystem::path& folder, int megabytes) {
    if (std::string reason = PrivateNamespace(); !reason.empty()) return reason;
    std::string options = "size=" + std::to_string(megabytes) + "m";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) return Failed("tmpfs mount");
    return "";
}

}  // namespace qel2test
