// SPDX-License-Identifier: MIT
#include "registry/FileStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace tw::filestore {
namespace {

Stamp fromStat(const struct stat& st)
{
    Stamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return s;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class FlockLock : public Lock
{
public:
    explicit FlockLock(int fd)
        : m_fd(fd)
    { }
    ~FlockLock() override
    {
        flock(m_fd, LOCK_UN);
        close(m_fd);
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::span<const std::string_view> pieces)
{
    constexpr std::size_t kBatch = 64;
    iovec batch[kBatch];
    std::size_t next = 0; // the first piece not yet in a batch
    std::size_t done = 0; // bytes of that piece already written
    while (next < pieces.size()) {
        int count = 0;
        for (std::size_t i = next; i < pieces.size() && count < static_cast<int>(kBatch); ++i) {
            const std::string_view rest = i == next ? pieces[i].substr(done) : pieces[i];
            batch[count++] = { const_cast<char*>(rest.data()), rest.size() };
        }
        ssize_t n = writev(fd, batch, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        // Past the pieces written whole, to where the last write stopped.
        for (auto left = static_cast<std::size_t>(n); next < pieces.size();) {
            const std::size_t rest = pieces[next].size() - done;
            if (left < rest) {
                done += left;
                break;
            }
            left -= rest;
            done = 0;
            ++next;
        }
    }
    return true;
}

#ifdef __linux__
// Gives `advice` for the whole pages of `size` bytes from `at`.
void advise(const char* at, std::size_t size, std::size_t page, int advice)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(at);
    const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
    const std::uintptr_t last = (begin + size) & ~(page - 1);
    if (first < last)
        madvise(reinterpret_cast<void*>(first), last - first, advice);
}
#endif

// Room for `size` bytes at the end of `content`, whose bytes are not yet set. A fresh page costs a
// fault when it is first written, which on some machines (virtual ones above all) takes longer than
// reading the page: the buffer of a large file asks for 2 MiB pages where the system has them.
char* roomFor(std::string& content, std::size_t size)
{
    constexpr std::size_t kLargePage = std::size_t { 2 } << 20;
    constexpr std::size_t kPopulateAtLeast = std::size_t { 256 } << 10;
    const std::size_t at = content.size();
    content.reserve(at + size);
#ifdef MADV_HUGEPAGE // Linux's
    if (size >= 2 * kLargePage)
        advise(content.data() + at, size, kLargePage, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE // Linux 5.14
    // The pages in one call rather than a fault each as they are first written.
    if (size >= kPopulateAtLeast)
        advise(content.data() + at, size, 4096, MADV_POPULATE_WRITE);
#endif
    content.resize(at + size);
    return content.data() + at;
}

mode_t currentUmask()
{
    // Read-only where the kernel reports it; umask() itself changes the mask for a moment.
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(f);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// The file a path names, links followed; the path itself where it names nothing yet.
std::string resolved(const std::string& path)
{
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out = real;
    free(real);
    return out;
}

// The start of the temporary files replaceFile makes for `file`: "." + its name + ".", in its folder;
// mkstemp adds six characters.
std::string temporaryPrefix(const std::string& file)
{
    const auto slash = file.rfind('/');
    return folderOf(file) + "/." + (slash == std::string::npos ? file : file.substr(slash + 1)) + ".";
}

// A device or a pipe (/dev/stdout, a FIFO) cannot be renamed over: it is written in place.
bool writeInPlace(
    const std::string& path, std::span<const std::string_view> pieces, std::string& error, Stamp* written)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool ok = fd >= 0 && writeAll(fd, pieces);
    if (!ok)
        error = std::strerror(errno);
    if (fd >= 0)
        close(fd);
    if (ok && written)
        *written = stamp(path).value_or(Stamp {});
    return ok;
}

} // namespace

std::optional<Stamp> stamp(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

namespace {

class PosixPieceReader final : public PieceReader
{
public:
    PosixPieceReader(int fd, const Stamp& stamp)
        : m_fd(fd)
        , m_stamp(stamp)
    { }
    ~PosixPieceReader() override { close(m_fd); }

    bool read(char* into, std::size_t size, std::size_t& got, std::string& error) override
    {
        for (;;) {
            const ssize_t n = ::read(m_fd, into, size);
            if (n >= 0) {
                got = static_cast<std::size_t>(n);
                return true;
            }
            if (errno != EINTR) {
                error = std::strerror(errno);
                return false;
            }
        }
    }
    const Stamp& stamp() const override { return m_stamp; }

private:
    int m_fd;
    Stamp m_stamp;
};

} // namespace

std::unique_ptr<PieceReader> openPieces(const std::string& path, ReadResult& result, std::string& error)
{
    result = ReadResult::Failed;
    // Without blocking: a pipe named as the file must not hold the program until someone writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            result = ReadResult::Missing;
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0) {
        error = std::strerror(errno);
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        close(fd);
        return nullptr;
    }
    // Reads of a regular file do not block anyway; the flag only had to keep open() from waiting.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    result = ReadResult::Ok;
    return std::make_unique<PosixPieceReader>(fd, fromStat(st));
}

ReadResult readFile(const std::string& path, std::string& content, Stamp& stampOut, std::string& error)
{
    ReadResult result;
    const std::unique_ptr<PieceReader> file = openPieces(path, result, error);
    if (!file)
        return result;
    content.clear();
    // Room for the size the file had, and one byte more to find its end; more if it grew meanwhile.
    roomFor(content, static_cast<std::size_t>(file->stamp().size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == content.size())
            roomFor(content, 65536);
        std::size_t n = 0;
        if (!file->read(content.data() + got, content.size() - got, n, error)) {
            content.clear();
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        got += n;
    }
    content.resize(got);
    stampOut = file->stamp();
    return ReadResult::Ok;
}

bool isWritable(const std::string& path)
{
    if (access(path.c_str(), F_OK) == 0)
        return access(path.c_str(), W_OK) == 0 && access(folderOf(path).c_str(), W_OK) == 0;
    return access(folderOf(path).c_str(), W_OK) == 0;
}

std::unique_ptr<Lock> lockExclusive(const std::string& path, std::string& error)
{
    // The lock is on the registry file itself. A writer replaces the file by renaming, so after
    // waiting for the lock, make sure it is still the file at that path, or lock the new one.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = std::strerror(errno);
            return nullptr;
        }
        int rc;
        do {
            rc = flock(fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            error = std::strerror(errno);
            close(fd);
            return nullptr;
        }
        struct stat held
        {
        };
        struct stat current
        {
        };
        if (fstat(fd, &held) == 0 && ::stat(path.c_str(), &current) == 0 && held.st_ino == current.st_ino
            && held.st_dev == current.st_dev)
            return std::make_unique<FlockLock>(fd);
        flock(fd, LOCK_UN);
        close(fd);
    }
    error = "the file keeps being replaced";
    return nullptr;
}

void removeLeftovers(const std::string& path)
{
    const std::string file = resolved(path);
    const std::string folder = folderOf(file);
    const std::string prefix = temporaryPrefix(file).substr(folder.size() + 1);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

bool replaceFile(const std::string& requested, std::span<const std::string_view> pieces, std::string& error,
    Stamp* written)
{
    // A link is followed, so that the file it names is replaced and the link stays a link.
    const std::string path = resolved(requested);
    struct stat old
    {
    };
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(old.st_mode))
        return writeInPlace(path, pieces, error, written);
    const std::string folder = folderOf(path);
    std::string tmpl = temporaryPrefix(path) + "XXXXXX";
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // A new file gets the mode a plain create would give it; an old one keeps its own.
    const mode_t mode = exists ? (old.st_mode & 07777) : (0666 & ~currentUmask());
    struct stat mine
    {
    };
    bool ok = fchmod(fd, mode) == 0 && writeAll(fd, pieces) && fsync(fd) == 0 && fstat(fd, &mine) == 0;
    if (!ok)
        error = std::strerror(errno);
    if (close(fd) != 0 && ok) {
        ok = false;
        error = std::strerror(errno);
    }
    if (ok && rename(tmpl.c_str(), path.c_str()) != 0) {
        ok = false;
        error = std::strerror(errno);
    }
    if (!ok) {
        unlink(tmpl.c_str());
        return false;
    }
    if (written)
        *written = fromStat(mine);
    // The rename itself must reach the disk too.
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

} // namespace tw::filestore
