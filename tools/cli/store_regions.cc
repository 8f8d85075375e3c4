#include "store_regions.h"

#include <db.h>
#include <fcntl.h>
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

namespace qel2::cli {

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

// The store's files, or only its region files (__db.*).
std::set<FileId> StoreFiles(const fs::path& store, bool regionsOnly) {
    std::set<FileId> ids;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(store, error)) {
        if (regionsOnly && entry.path().filename().string().rfind("__db.", 0) != 0) continue;
        struct stat info;
        if (stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ids.emplace(info.st_dev, info.st_ino);
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

// Whether the descriptor's open flags (octal in /proc/PID/fdinfo/FD) allow
// writing.
bool OpenForWriting(const fs::path& fdinfo) {
    std::ifstream in(fdinfo);
    std::string field;
    while (in >> field) {
        if (field != "flags:") continue;
        std::string octal;
        in >> octal;
        return (std::stoul(octal, nullptr, 8) & O_ACCMODE) != O_RDONLY;
    }
    return false;
}

bool HasOpen(const fs::path& process, const std::set<FileId>& ids, Holders holders) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(process / "fd", error)) {
        struct stat info;
        if (stat(entry.path().c_str(), &info) == 0 && ids.contains({info.st_dev, info.st_ino}) &&
            (holders == Holders::Anyone ||
             OpenForWriting(process / "fdinfo" / entry.path().filename())))
            return true;
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
    if (got != 1 || head.magic != kRegionMagic || head.major != DB_VERSION_MAJOR ||
        head.minor != DB_VERSION_MINOR)
        return LeftRegions::Older;
    return head.panic ? LeftRegions::Panic : LeftRegions::Current;
}

std::string ProcessHolding(const fs::path& store, Holders holders) {
    std::set<FileId> regions = StoreFiles(store, true);
    std::set<FileId> files = StoreFiles(store, false);
    std::string self = std::to_string(getpid());
    std::string parent = std::to_string(getppid());
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        std::string pid = entry.path().filename();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (pid == self || pid == parent) continue;
        // A reader may also map a small database file read-only.
        if (MapsAny(entry.path() / "maps", regions) || HasOpen(entry.path(), files, holders))
            return "process " + pid + " (" + ProcessName(entry.path()) + ")";
    }
    return "";
}

void RefuseWhileHeld(const fs::path& store, const std::string& what, Holders holders) {
    std::string holder = ProcessHolding(store, holders);
    if (!holder.empty())
        throw CliError(
            store.string() + " is open in " + holder + ": " + what +
            " waits until that process has closed the store (or work on a copy made after it did)");
}

}  // namespace qel2::cli
