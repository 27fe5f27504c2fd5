// SPDX-License-Identifier: MIT
#pragma once

#include "registry/FileStore.h"
#include "registry/Hive.h"
#include "registry/ReadScope.h"
#include "registry/RegistryApi.h"
#include "registry/WriteGate.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One branch of the registry (HKEY_LOCAL_MACHINE as system.reg holds it, or HKEY_CURRENT_USER as
// user.reg does) kept in a file in Wine's registry format, behaving as the Windows NT registry does.
// Every change is on disk before the call returns; a change made on disk by another program is picked
// up at the next call. A file that cannot be parsed is never written.
class HiveRegistry final : public RegistryApi
{
public:
    // An empty file name keeps the registry in memory only. With a scope, only what it names is read
    // from the file at first; whatever else is asked for, and any change, reads the file whole first.
    explicit HiveRegistry(
        std::string file, hive::HiveRoot branch = hive::HiveRoot::Machine, const ReadScope& scope = {});
    ~HiveRegistry() override { leaveWrite(); }

    const std::string& file() const { return m_file; }
    // Why the file could not be read, if it could not.
    const std::optional<hive::ParseError>& loadError() const { return m_error; }
    std::size_t openHandleCount() const { return m_handles.size(); }
    // Whether the tree holds only the part of the file a scope names.
    bool holdsPart() const { return m_hive->partial; }
    // The predefined key the branch answers to: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
    RegKey rootKey() const { return m_rootKey; }
    bool ownsHandle(RegKey key) const { return key == m_rootKey || m_handles.count(key) > 0; }
    // Every write first passes `gate` (a Wine prefix's server, say); a closed gate refuses the write
    // with ERROR_LOCK_VIOLATION and leaves the file untouched.
    void setWriteGate(WriteGate* gate) { m_gate = gate; }

    long RegCreateKeyA(RegKey key, const char* subKey, RegKey* result) override;
    long RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
        const std::uint8_t* data, std::uint32_t cbData) override;
    long RegDeleteKeyA(RegKey key, const char* subKey) override;
    long RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override;
    long RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired,
        RegKey* result) override;
    long RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
        std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime) override;
    long RegEnumValueA(RegKey key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
        std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData) override;
    long RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
        std::uint8_t* data, std::uint32_t* cbData) override;
    long RegDeleteValueA(RegKey key, const char* valueName) override;
    long RegCloseKey(RegKey key) override;
    std::string lastFailure() const override { return m_failure; }
    long beginChanges() override;
    long commitChanges() override;
    void cancelChanges() override;
    void holdReads() override;
    void releaseReads() override;
    std::optional<std::string> unreadable(RegKey root) override;

private:
    using Path = std::vector<std::u16string>;
    // A handle names its key by path, as the tree is read anew whenever the file changes; the key
    // found is kept while no key has been freed since, so a call need not walk the path again.
    struct Handle
    {
        std::shared_ptr<const Path> path; // shared by the handles of one key opened one after another
        std::uint32_t access = 0;
        hive::Key* key = nullptr;
        std::uint64_t generation = 0;
    };

    void refresh();
    bool load();
    // Reads the part of the file the scope names; false where the file is to be read whole instead.
    bool loadPart();
    bool refuseTooLarge(const filestore::Stamp& st);
    // The key a handle names, when the handle was opened with every right in `access`; what is read
    // of it (`need`) comes from the file's whole tree where the part read does not answer for it.
    hive::Key* resolve(
        RegKey key, long& rc, std::uint32_t access = 0, ReadScope::Need need = ReadScope::Need::Exists);
    // Makes sure the tree answers `need` for the key at `path`, reading the file whole if it does not.
    void cover(const Path& path, ReadScope::Need need);
    void readWhole();
    long parseSubKey(const char* subKey, Path& parts) const;
    hive::Key* find(hive::Key* from, const Path& parts) const;
    Path pathOf(const hive::Key* key) const;
    static std::size_t depthOf(const hive::Key* key);
    RegKey newHandle(const hive::Key* key, std::uint32_t access);
    long openKey(
        RegKey key, const char* subKey, RegKey* result, bool sameHandleForEmpty, std::uint32_t access);
    // Runs a change under the file's lock, on the file's latest state, and saves it; between
    // beginChanges and commitChanges the lock is held throughout and the save waits for the commit.
    template<class Change> long modify(Change&& change);
    // Takes what a write needs (the gate, the lock, the file's latest state), or refuses with a code.
    long enterWrite();
    void leaveWrite();
    long save();
    long fail(long rc, std::string why);

    std::string m_file;
    hive::HiveRoot m_branch;
    RegKey m_rootKey;
    WriteGate* m_gate = nullptr;
    std::unique_ptr<hive::Hive> m_hive;
    ReadScope m_scope; // what is read while only a part is needed; empty once the whole was
    std::optional<filestore::Stamp> m_stamp;
    std::optional<hive::ParseError> m_error;
    std::string m_failure;
    std::unique_ptr<filestore::Lock> m_writeLock;
    bool m_gateEntered = false;
    bool m_inChanges = false;
    bool m_changed = false; // since beginChanges, and not saved yet
    int m_readHolds = 0; // holdReads not yet released
    std::map<RegKey, Handle> m_handles;
    RegKey m_nextHandle;
    // Counts the times keys may have been freed: a new tree read, a key deleted.
    std::uint64_t m_generation = 0;
    // The last key opened by path: a scan opens one key for each value it reads, and a key and its path
    // found are good while no key has been freed since.
    struct LastOpened
    {
        RegKey base = 0;
        std::string subKey;
        const hive::Key* key = nullptr;
        std::shared_ptr<const Path> path;
        std::uint64_t generation = 0;
    };
    LastOpened m_lastOpened;
};

} // namespace tw
