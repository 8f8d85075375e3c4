#include "store_regions.h"

#include <db.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "cli_error.h"

namespace qel2cli {

namespace {

namespace fs = std::filesystem;

// The head of the primary region (__db.001) as Berkeley DB 5.3 writes it:
// a magic number, the panic word, then the version that wrote it.
struct RegionHead {
    uint32_t magic;
    uint32_t panic;
    uint32_t major;
    uint32_t minor;
};
constexpr uint32_t kRegionMagic = 0x120897;

using FileId = std::pair<dev_t, ino_t>;

std::set<FileId> StoreFiles(const fs::path& store) {
    std::set<FileId> ids;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(store, error)) {
        struct stat info;
        if (stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) ids.emplace(info.st_dev, info.st_ino);
    }
    return ids;
}

bool MapsAny(const fs::path& maps, const std::set<FileId>& ids) {
    std::ifstream in(maps);
    std::string line;
    while (std::getline(in, line)) {
        // address perms offset MAJOR:MINOR inode path
        std::istringstream fields(line);
        std::string address, perms, offset, device;
        unsigned long long inode = 0;
        if (!(fields >> address >> perms >> offset >> device >> inode) || inode == 0) continue;
        unsigned major = 0, minor = 0;
        if (std::sscanf(device.c_str(), "%x:%x", &major, &minor) != 2) continue;
        if (ids.contains({makedev(major, minor), static_cast<ino_t>(inode)})) return true;
    }
    return false;
}

bool HasOpen(const fs::path& fds, const std::set<FileId>& ids) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(fds, error)) {
        struct stat info;
        if (stat(entry.path().c_str(), &info) == 0 && ids.contains({info.st_dev, info.st_ino})) return true;
    }
    return false;
}

std::string ProcessName(const fs::path& process) {
    std::ifstream in(process / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace

LeftRegions RegionsIn(const fs::path& store) {
    FILE* file = std::fopen((store / "__db.001").c_str(), "rb");
    if (file == nullptr) return LeftRegions::None;
    RegionHead head = {};
    size_t got = std::fread(&head, sizeof head, 1, file);
    std::fclose(file);
    if (got != 1 || head.magic != kRegionMagic || head.major != DB_VERSION_MAJOR || head.minor != DB_VERSION_MINOR)
        return LeftRegions::Older;
    return head.panic ? LeftRegions::Panic : LeftRegions::Current;
}

std::string ProcessHolding(const fs::path& store) {
    std::set<FileId> ids = StoreFiles(store);
    if (ids.empty()) return "";
    std::string self = std::to_string(getpid());
    std::string parent = std::to_string(getppid());
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        std::string pid = entry.path().filename();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (pid == self || pid == parent) continue;
        if (MapsAny(entry.path() / "maps", ids) || HasOpen(entry.path() / "fd", ids))
            return "process " + pid + " (" + ProcessName(entry.path()) + ")";
    }
    return "";
}

void RefuseWhileHeld(const fs::path& store, const std::string& what) {
    std::string holder = ProcessHolding(store);
    if (!holder.empty())
        throw CliError(store.string() + " is open in " + holder + ": " + what +
                       " waits until that process has closed the store (or work on a copy made after it did)");
}

}  // namespace qel2cli
