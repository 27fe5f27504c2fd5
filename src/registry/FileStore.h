// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The file operations the registry file needs, per platform: change detection, a whole-file read, an
// advisory lock for read-modify-write, and a replace that leaves either the old or the new file.
namespace tw::filestore {

struct Stamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stamp(const std::string& path);

enum class ReadResult { Ok, Missing, Failed };
// Reads the file and stamps it from the same open file, so the two agree.
ReadResult readFile(const std::string& path, std::string& content, Stamp& stampOut, std::string& error);

// A file read a piece at a time into the caller's buffer, by a reader that keeps little of it: a few MB
// read whole into fresh memory take longer than parsing them.
class PieceReader
{
public:
    virtual ~PieceReader() = default;
    // Up to `size` bytes into `into`; how many, 0 at the end. False, with `error` set, where it fails.
    virtual bool read(char* into, std::size_t size, std::size_t& got, std::string& error) = 0;
    // Taken from the open file, so that a file replaced meanwhile is not taken for the one read.
    virtual const Stamp& stamp() const = 0;
};
// Null, with the reason in `result` and `error`, where the file cannot be opened or is no regular file.
std::unique_ptr<PieceReader> openPieces(const std::string& path, ReadResult& result, std::string& error);

// Whether the file (or, when it does not exist, its folder) may be written.
bool isWritable(const std::string& path);

// Held while a registry file is read, changed and written back; other copies of Tidewell wait.
class Lock
{
public:
    virtual ~Lock() = default;
};
std::unique_ptr<Lock> lockExclusive(const std::string& path, std::string& error);

// Removes the temporary files that writers of `path` killed mid-write left beside it. Only for a caller that
// holds the lock of `path`, since no other writer is then midway.
void removeLeftovers(const std::string& path);

// Writes `pieces`, one after the other, to a temporary file in the same folder, flushes it and renames it
// over the old one. `written`, when given, receives the stamp of the file written, taken before it could
// be replaced again: on POSIX the lock is on the file that was replaced, so another writer may enter as
// soon as the rename is done.
bool replaceFile(const std::string& path, std::span<const std::string_view> pieces, std::string& error,
    Stamp* written = nullptr);
inline bool replaceFile(
    const std::string& path, const std::string& content, std::string& error, Stamp* written = nullptr)
{
    const std::string_view whole = content;
    return replaceFile(path, std::span(&whole, 1), error, written);
}

} // namespace tw::filestore
