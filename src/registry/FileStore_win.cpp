// SPDX-License-Identifier: MIT
#include "registry/FileStore.h"

#include "base/Text.h"

#include <windows.h>

#include <algorithm>

namespace tw::filestore {
namespace {

std::wstring wide(const std::string& utf8)
{
    const std::u16string s = text::utf8ToUtf16(utf8);
    return std::wstring(s.begin(), s.end());
}

std::string lastError()
{
    return "Windows error " + std::to_string(GetLastError());
}

class FileLock : public Lock
{
public:
    explicit FileLock(HANDLE h)
        : m_handle(h)
    { }
    ~FileLock() override { CloseHandle(m_handle); }

private:
    HANDLE m_handle;
};

} // namespace

namespace {

// Size, write time and the file's identity (volume and index, which a replace by renaming changes).
std::optional<Stamp> stampOf(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!GetFileInformationByHandle(h, &info))
        return std::nullopt;
    Stamp s;
    s.device = info.dwVolumeSerialNumber;
    s.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    s.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    s.modifiedNs
        = static_cast<std::int64_t>(((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32)
                                        | info.ftLastWriteTime.dwLowDateTime)
            * 100);
    return s;
}

} // namespace

std::optional<Stamp> stamp(const std::string& path)
{
    const HANDLE h = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const auto s = stampOf(h);
    CloseHandle(h);
    return s;
}

namespace {

class WinPieceReader final : public PieceReader
{
public:
    WinPieceReader(HANDLE h, const Stamp& stamp)
        : m_h(h)
        , m_stamp(stamp)
    { }
    ~WinPieceReader() override { CloseHandle(m_h); }

    bool read(char* into, std::size_t size, std::size_t& got, std::string& error) override
    {
        DWORD n = 0;
        if (!ReadFile(m_h, into, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &n, nullptr)) {
            error = lastError();
            return false;
        }
        got = n;
        return true;
    }
    const Stamp& stamp() const override { return m_stamp; }

private:
    HANDLE m_h;
    Stamp m_stamp;
};

} // namespace

std::unique_ptr<PieceReader> openPieces(const std::string& path, ReadResult& result, std::string& error)
{
    // Another program may still replace the file meanwhile. Stamped from the open file, so a file
    // replaced meanwhile is not taken for the one read.
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        result = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                        : ReadResult::Failed;
        error = lastError();
        return nullptr;
    }
    const auto s = stampOf(h);
    if (!s) {
        result = ReadResult::Failed;
        error = lastError();
        CloseHandle(h);
        return nullptr;
    }
    result = ReadResult::Ok;
    return std::make_unique<WinPieceReader>(h, *s);
}

ReadResult readFile(const std::string& path, std::string& content, Stamp& stampOut, std::string& error)
{
    ReadResult result;
    const std::unique_ptr<PieceReader> file = openPieces(path, result, error);
    if (!file)
        return result;
    content.clear();
    char buf[65536];
    for (std::size_t n = 0;;) {
        if (!file->read(buf, sizeof buf, n, error)) {
            content.clear();
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        content.append(buf, n);
    }
    stampOut = file->stamp();
    return ReadResult::Ok;
}

bool isWritable(const std::string& path)
{
    const DWORD attrs = GetFileAttributesW(wide(path).c_str());
    return attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_READONLY);
}

std::unique_ptr<Lock> lockExclusive(const std::string& path, std::string& error)
{
    // A lock file beside the registry file: the registry file itself is replaced by renaming.
    const std::wstring lockPath = wide(path + ".lock");
    for (int attempt = 0; attempt < 500; ++attempt) {
        const HANDLE h = CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return std::make_unique<FileLock>(h);
        if (GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED)
            break;
        Sleep(10);
    }
    error = lastError();
    return nullptr;
}

void removeLeftovers(const std::string&)
{
    // GetTempFileName's names do not tell this program's files from others': they are left to the user.
}

namespace {

// A file that is open elsewhere, if only for a moment (a reader of this or another program, a virus
// scanner), cannot be replaced: the call fails with access denied. Readers hold it for milliseconds,
// so try again for a while before giving up.
bool moveOver(const std::wstring& temp, const std::wstring& target)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD e = GetLastError();
        if (attempt == 300 || (e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION))
            return false;
        Sleep(10);
    }
}

} // namespace

bool replaceFile(
    const std::string& path, std::span<const std::string_view> pieces, std::string& error, Stamp* written)
{
    const std::wstring target = wide(path);
    // A fresh name in the same folder, so that no file of the user's is overwritten on the way.
    const auto slash = path.find_last_of("\\/");
    const std::wstring folder
        = wide(slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1));
    wchar_t tempName[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"tw", 0, tempName) == 0) {
        error = lastError();
        return false;
    }
    const std::wstring temp = tempName;
    const HANDLE h = CreateFileW(
        temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = lastError();
        DeleteFileW(temp.c_str());
        return false;
    }
    bool ok = true;
    for (const std::string_view piece : pieces) {
        DWORD count = 0;
        ok = ok && WriteFile(h, piece.data(), static_cast<DWORD>(piece.size()), &count, nullptr)
            && count == piece.size();
    }
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    if (ok)
        ok = moveOver(temp, target);
    if (!ok) {
        error = lastError();
        DeleteFileW(temp.c_str());
    }
    // The lock here is a file of its own, held until the caller is done, so the file is still ours.
    if (ok && written)
        *written = stamp(path).value_or(Stamp {});
    return ok;
}

} // namespace tw::filestore
