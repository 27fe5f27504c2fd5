// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// A registry handle as the Windows calls pass it: the predefined roots are fixed numbers, other
// handles are whatever the backend hands out.
using RegKey = std::uintptr_t;

inline constexpr RegKey kHKeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// The types whose data is text, converted at the ANSI boundary.
inline constexpr bool isStringType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

inline constexpr std::uint32_t kKeyRead = 0x20019;

// Windows error codes the registry calls return.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorLockViolation = 33;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorBadDb = 1009;
inline constexpr long kErrorRegistryIoFailed = 1016;
inline constexpr long kErrorKeyDeleted = 1018;

// The Windows ANSI registry calls the registry operations are written against, with Windows'
// argument meanings and return codes. Text arguments are in the ANSI code page.
class RegistryApi
{
public:
    virtual ~RegistryApi() = default;

    virtual long RegCreateKeyA(RegKey key, const char* subKey, RegKey* result) = 0;
    virtual long RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
        const std::uint8_t* data, std::uint32_t cbData)
        = 0;
    virtual long RegDeleteKeyA(RegKey key, const char* subKey) = 0;
    virtual long RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) = 0;
    virtual long RegOpenKeyExA(
        RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired, RegKey* result)
        = 0;
    virtual long RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
        std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime)
        = 0;
    virtual long RegEnumValueA(RegKey key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
        std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
        = 0;
    virtual long RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
        std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
        = 0;
    virtual long RegDeleteValueA(RegKey key, const char* valueName) = 0;
    virtual long RegCloseKey(RegKey key) = 0;

    // Why the last change failed, in words for the user (the file and the system's reason) where the
    // backend knows more than the code; empty otherwise.
    virtual std::string lastFailure() const { return {}; }
    // The changes made between beginChanges and commitChanges reach the disk together or not at all,
    // where the backend can promise that (the file backend saves them once, at commit); elsewhere each
    // is made as it comes. cancelChanges drops what has not reached the disk.
    virtual long beginChanges() { return kErrorSuccess; }
    virtual long commitChanges() { return kErrorSuccess; }
    virtual void cancelChanges() { }
    // Between holdReads and releaseReads (nested, in pairs) the reads may come from the state the backend
    // had at the first holdReads: the file backend looks for another program's change then, not before
    // every call, so a scan of thousands of entries costs no file-system call per value. Writes look
    // for changes as always.
    virtual void holdReads() { }
    virtual void releaseReads() { }
    // Why what the backend reads below `root` cannot be trusted now (the file behind it vanished or
    // could not be parsed, so it reads as empty or as before); nothing when it can.
    virtual std::optional<std::string> unreadable(RegKey /*root*/) { return std::nullopt; }
};

} // namespace tw
