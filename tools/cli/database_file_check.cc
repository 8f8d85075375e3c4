#include "database_file_check.h"

#include <db.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <byteswap.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "cli_error.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

// Byte offsets of the meta page fields Berkeley DB's B-tree meta page
// (BTMETA) keeps, in the byte order of the machine that wrote the file.
constexpr size_t kMagicOffset = 12;
constexpr size_t kVersionOffset = 16;
constexpr size_t kPageSizeOffset = 20;
constexpr size_t kEncryptionOffset = 24;
constexpr size_t kTypeOffset = 25;
constexpr size_t kFreeListOffset = 28;
constexpr size_t kLastPageOffset = 32;
constexpr size_t kRootOffset = 88;
constexpr size_t kMetaBytes = 512;
// Berkeley DB's page type of a B-tree meta page (P_BTREEMETA).
constexpr uint8_t kBtreeMetaType = 9;
// The page sizes Berkeley DB accepts: powers of two from 512 to 64 KB.
constexpr uint32_t kSmallestPage = 512;
constexpr uint32_t kLargestPage = 65536;

class MetaPage {
public:
    explicit MetaPage(const unsigned char* bytes) : bytes_(bytes) {
        uint32_t magic = Raw(kMagicOffset);
        swapped_ = magic != DB_BTREEMAGIC && bswap_32(magic) == DB_BTREEMAGIC;
    }
    bool IsBtree() const { return Word(kMagicOffset) == DB_BTREEMAGIC; }
    uint32_t Word(size_t offset) const { return swapped_ ? bswap_32(Raw(offset)) : Raw(offset); }
    uint8_t Byte(size_t offset) const { return bytes_[offset]; }

private:
    uint32_t Raw(size_t offset) const {
        uint32_t word;
        std::memcpy(&word, bytes_ + offset, sizeof word);
        return word;
    }
    const unsigned char* bytes_;
    bool swapped_ = false;
};

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

[[noreturn]] void Fail(const fs::path& file, const std::string& problem) {
    throw CliError(file.string() + " " + problem);
}

}  // namespace

std::string NotARegularFile(const fs::path& path) {
    struct stat link;
    if (lstat(path.c_str(), &link) != 0) return errno == ENOENT ? "missing" : std::strerror(errno);
    struct stat target;
    if (stat(path.c_str(), &target) != 0) {
        std::error_code error;
        fs::path pointsTo = fs::read_symlink(path, error);
        return "a symbolic link to the missing file " + pointsTo.string();
    }
    if (S_ISREG(target.st_mode)) return "";
    if (S_ISDIR(target.st_mode)) return "a directory";
    if (S_ISFIFO(target.st_mode)) return "a FIFO (named pipe)";
    if (S_ISSOCK(target.st_mode)) return "a socket";
    if (S_ISCHR(target.st_mode) || S_ISBLK(target.st_mode)) return "a device";
    return "not a regular file";
}

DatabaseFileFacts CheckDatabaseFile(const fs::path& file) {
    std::string kind = NotARegularFile(file);
    if (!kind.empty()) Fail(file, "is " + kind + ", not a database file");
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail(file, std::string("cannot be read: ") + std::strerror(errno));
    struct stat info;
    fstat(fd, &info);
    unsigned char bytes[kMetaBytes] = {};
    ssize_t got = pread(fd, bytes, sizeof bytes, 0);
    int readError = errno;
    close(fd);
    DatabaseFileFacts facts;
    facts.size = static_cast<uint64_t>(info.st_size);
    if (facts.size == 0) Fail(file, "is empty (0 bytes): its database is gone");
    if (got < 0) Fail(file, std::string("cannot be read: ") + std::strerror(readError));
    if (static_cast<size_t>(got) < kMetaBytes)
        Fail(file,
             "is cut short: " + std::to_string(facts.size) + " bytes hold no whole meta page");

    MetaPage meta(bytes);
    if (!meta.IsBtree())
        Fail(file, "is not a Berkeley DB B-tree file (magic number " +
                       Hex(meta.Word(kMagicOffset)) + ", expected " + Hex(DB_BTREEMAGIC) + ")");
    if (meta.Word(kVersionOffset) != DB_BTREEVERSION)
        Fail(file, "has B-tree version " + std::to_string(meta.Word(kVersionOffset)) +
                       " in its meta page; version " + std::to_string(DB_BTREEVERSION) +
                       " is the one Berkeley DB 4.2 to 5.3 write");
    facts.pageSize = meta.Word(kPageSizeOffset);
    if (facts.pageSize < kSmallestPage || facts.pageSize > kLargestPage ||
        (facts.pageSize & (facts.pageSize - 1)))
        Fail(file, "has a damaged meta page: page size " + std::to_string(facts.pageSize) +
                       " (Berkeley DB pages are a power of two from 512 to 65536 bytes)");
    if (meta.Byte(kEncryptionOffset) != 0)
        Fail(file, "is encrypted, which the store never is: its meta page is damaged");
    if (meta.Byte(kTypeOffset) != kBtreeMetaType)
        Fail(file, "has a damaged meta page: page type " + std::to_string(meta.Byte(kTypeOffset)) +
                       ", expected " + std::to_string(kBtreeMetaType) + " (B-tree meta page)");
    facts.lastPage = meta.Word(kLastPageOffset);
    uint64_t counted = (static_cast<uint64_t>(facts.lastPage) + 1) * facts.pageSize;
    if (facts.size < counted)
        Fail(file, "is cut short: its meta page counts " +
                       std::to_string(uint64_t{facts.lastPage} + 1) + " pages of " +
                       std::to_string(facts.pageSize) + " bytes (" + std::to_string(counted) +
                       " bytes), the file has " + std::to_string(facts.size));
    if (facts.size % facts.pageSize != 0)
        Fail(file, "ends inside a page: " + std::to_string(facts.size) +
                       " bytes are not a whole number of " + std::to_string(facts.pageSize) +
                       "-byte pages");
    uint32_t root = meta.Word(kRootOffset);
    if (root == 0 || root > facts.lastPage)
        Fail(file, "has a damaged meta page: its root page " + std::to_string(root) +
                       " is not among the file's pages 1 to " + std::to_string(facts.lastPage));
    uint32_t freeList = meta.Word(kFreeListOffset);
    if (freeList > facts.lastPage)
        Fail(file, "has a damaged meta page: its free-page list starts at page " +
                       std::to_string(freeList) + ", past the file's last page " +
                       std::to_string(facts.lastPage));
    return facts;
}

}  // namespace qel2::cli
