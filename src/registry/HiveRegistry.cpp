// SPDX-License-Identifier: MIT
#include "registry/HiveRegistry.h"

#include "base/FsPath.h"
#include "base/Text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tw {

namespace {

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

std::u16string fromAnsi(const char* s)
{
    return s ? text::ansiToUtf16(s) : std::u16string();
}

// What a value's data is at the ANSI boundary: strings in the code page, everything else as stored.
std::string ansiData(const hive::Value& v)
{
    if (!isStringType(v.type))
        return std::string(v.data.begin(), v.data.end());
    return text::utf16ToAnsi(hive::utf16FromData(v.data));
}

// Copies data to the caller's buffer as RegQueryValueExA and RegEnumValueA do.
long copyData(const std::string& bytes, bool isString, std::uint8_t* data, std::uint32_t* cbData)
{
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (!data) {
        if (cbData)
            *cbData = needed;
        return kErrorSuccess;
    }
    if (!cbData)
        return kErrorInvalidParameter;
    if (*cbData < needed) {
        *cbData = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    // Unterminated text gets a NUL when there is room for one; it is not counted.
    if (isString && needed < *cbData && (needed == 0 || bytes.back() != '\0'))
        data[needed] = 0;
    *cbData = needed;
    return kErrorSuccess;
}

} // namespace

HiveRegistry::HiveRegistry(std::string file, hive::HiveRoot branch, const ReadScope& scope)
    : m_file(std::move(file))
    , m_branch(branch)
    , m_rootKey(branch == hive::HiveRoot::User ? kHKeyCurrentUser : kHKeyLocalMachine)
    , m_hive(std::make_unique<hive::Hive>())
    , m_scope(scope)
    // The two branches of a prefix are one registry to their callers: their handles never meet.
    , m_nextHandle(branch == hive::HiveRoot::User ? 0x1002 : 0x1000)
{
    m_hive->branch = branch;
    if (!m_file.empty())
        load();
}

bool HiveRegistry::load()
{
    std::string content;
    filestore::Stamp st;
    std::string error;
    // A file too large to be a registry is refused before it is read into memory.
    if (const auto before = filestore::stamp(m_file); before && before->size > hive::kMaxFileSize)
        return refuseTooLarge(*before);
    if (!m_scope.empty() && loadPart())
        return true;
    switch (filestore::readFile(m_file, content, st, error)) {
    case filestore::ReadResult::Missing:
        m_hive = std::make_unique<hive::Hive>();
        m_hive->branch = m_branch;
        ++m_generation;
        m_stamp.reset();
        m_error.reset();
        return true;
    case filestore::ReadResult::Failed:
        m_error = hive::ParseError { m_file, 0, "cannot be read: " + error };
        return false;
    case filestore::ReadResult::Ok:
        break;
    }
    if (content.size() > hive::kMaxFileSize)
        return refuseTooLarge(st);
    try {
        std::unique_ptr<hive::Hive> read = hive::parseHive(std::move(content), m_file, m_branch);
        m_hive = std::move(read);
        ++m_generation;
        m_stamp = st;
        m_error.reset();
        return true;
    } catch (const hive::ParseError& e) {
        // Keep what was read before; the broken file is reported and never written over.
        m_error = e;
        m_stamp = st;
        return false;
    }
}

bool HiveRegistry::loadPart()
{
    filestore::ReadResult result;
    std::string error;
    const std::unique_ptr<filestore::PieceReader> file = filestore::openPieces(m_file, result, error);
    if (!file)
        return false;
    std::uint64_t total = 0;
    const hive::TextSource source = [&](char* into, std::size_t size) {
        std::size_t got = 0;
        if (!file->read(into, size, got, error) || (total += got) > hive::kMaxFileSize)
            throw hive::ParseError { m_file, 0, error };
        return got;
    };
    try {
        m_hive = hive::parseHivePart(source, m_file, m_branch, m_scope);
    } catch (const hive::ParseError&) {
        // Read whole: its verdict is the one every reader of the file gets.
        return false;
    }
    ++m_generation;
    m_stamp = file->stamp();
    m_error.reset();
    return true;
}

bool HiveRegistry::refuseTooLarge(const filestore::Stamp& st)
{
    std::ifstream in(toFsPath(m_file), std::ios::binary);
    m_error = hive::oversizeError(in, m_file, st.size);
    m_stamp = st;
    return false;
}

void HiveRegistry::refresh()
{
    if (m_file.empty() || m_readHolds > 0)
        return;
    if (filestore::stamp(m_file) != m_stamp)
        load();
}

void HiveRegistry::readWhole()
{
    m_scope = {};
    if (!m_hive->partial)
        return;
    if (!load()) {
        // The part read answers for nothing else: better nothing, with the reason, than half a tree.
        m_hive = std::make_unique<hive::Hive>();
        m_hive->branch = m_branch;
        ++m_generation;
    }
}

void HiveRegistry::cover(const Path& path, ReadScope::Need need)
{
    if (m_hive->partial && !m_scope.answers(path, need))
        readWhole();
}

long HiveRegistry::fail(long rc, std::string why)
{
    m_failure = std::move(why);
    return rc;
}

long HiveRegistry::enterWrite()
{
    m_failure.clear();
    std::string error;
    // Wine makes a prefix's user.reg with the user's own header (and SID); one made here could not
    // say who the user is, so a missing one is not created (the lock below would create it).
    if (m_branch == hive::HiveRoot::User && !filestore::stamp(m_file))
        return fail(kErrorFileNotFound, m_file + " does not exist: the user's registry file is made by Wine");
    if (!filestore::isWritable(m_file))
        return fail(kErrorAccessDenied, m_file + " cannot be written (the file or its folder is read-only)");
    if (m_gate && !m_gate->enter())
        return fail(kErrorLockViolation, m_file + " is in use by Wine: close the prefix's programs first");
    m_gateEntered = m_gate != nullptr;
    m_writeLock = filestore::lockExclusive(m_file, error);
    if (!m_writeLock) {
        leaveWrite();
        return fail(kErrorAccessDenied, m_file + " cannot be locked: " + error);
    }
    // What is written back is the whole file: a part read for a scope would lose the rest.
    readWhole();
    if (filestore::stamp(m_file) != m_stamp)
        load();
    if (m_error) {
        leaveWrite();
        return fail(kErrorBadDb, m_error->text());
    }
    filestore::removeLeftovers(m_file);
    return kErrorSuccess;
}

void HiveRegistry::leaveWrite()
{
    m_writeLock.reset();
    if (m_gateEntered)
        m_gate->leave();
    m_gateEntered = false;
}

long HiveRegistry::save()
{
    if (m_hive->partial)
        return fail(kErrorBadDb, m_file + " was read in part and cannot be written");
    std::string error;
    filestore::Stamp written;
    const hive::HiveText text = hive::hiveText(*m_hive);
    if (!filestore::replaceFile(m_file, text.pieces(), error, &written)) {
        // The change did not reach the disk: go back to what the disk holds.
        load();
        return fail(kErrorRegistryIoFailed, m_file + " could not be written: " + error);
    }
    // Not a fresh look at the path: another writer may already have replaced the file, and its change
    // would then never be read.
    m_stamp = written;
    return kErrorSuccess;
}

template<class Change> long HiveRegistry::modify(Change&& change)
{
    if (m_file.empty())
        return change();
    if (m_inChanges) {
        const long rc = change();
        m_changed = m_changed || rc == kErrorSuccess;
        return rc;
    }
    if (const long rc = enterWrite(); rc != kErrorSuccess)
        return rc;
    long rc = change();
    if (rc == kErrorSuccess)
        rc = save();
    leaveWrite();
    return rc;
}

long HiveRegistry::beginChanges()
{
    if (m_inChanges || m_file.empty())
        return kErrorSuccess;
    if (const long rc = enterWrite(); rc != kErrorSuccess)
        return rc;
    m_inChanges = true;
    m_changed = false;
    return kErrorSuccess;
}

long HiveRegistry::commitChanges()
{
    if (!m_inChanges)
        return kErrorSuccess;
    const long rc = m_changed ? save() : kErrorSuccess;
    m_inChanges = false;
    leaveWrite();
    return rc;
}

void HiveRegistry::holdReads()
{
    refresh();
    ++m_readHolds;
}

void HiveRegistry::releaseReads()
{
    if (m_readHolds > 0)
        --m_readHolds;
}

void HiveRegistry::cancelChanges()
{
    if (!m_inChanges)
        return;
    if (m_changed)
        load();
    m_inChanges = false;
    leaveWrite();
}

hive::Key* HiveRegistry::resolve(RegKey key, long& rc, std::uint32_t access, ReadScope::Need need)
{
    if (key == m_rootKey) {
        cover({}, need);
        rc = kErrorSuccess;
        return &m_hive->root;
    }
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) {
        rc = kErrorInvalidHandle;
        return nullptr;
    }
    // As Windows checks a handle's rights: a key opened for reading cannot be written through.
    if ((it->second.access & access) != access) {
        rc = kErrorAccessDenied;
        return nullptr;
    }
    Handle& handle = it->second;
    cover(*handle.path, need);
    if (!handle.key || handle.generation != m_generation) {
        handle.key = find(&m_hive->root, *handle.path);
        handle.generation = m_generation;
    }
    rc = handle.key ? kErrorSuccess : kErrorKeyDeleted;
    return handle.key;
}

long HiveRegistry::parseSubKey(const char* subKey, Path& parts) const
{
    parts.clear();
    const std::u16string path = fromAnsi(subKey);
    if (path.empty())
        return kErrorSuccess;
    if (path.front() == u'\\')
        return kErrorBadPathname;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos)
            end = path.size();
        if (end == start)
            return kErrorBadPathname;
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return kErrorSuccess;
}

hive::Key* HiveRegistry::find(hive::Key* from, const Path& parts) const
{
    hive::Key* k = from;
    for (const auto& part : parts) {
        k = k->findSubkey(part);
        if (!k)
            return nullptr;
    }
    return k;
}

HiveRegistry::Path HiveRegistry::pathOf(const hive::Key* key) const
{
    Path p;
    for (const hive::Key* k = key; k && k->parent; k = k->parent)
        p.push_back(k->name);
    std::reverse(p.begin(), p.end());
    return p;
}

std::size_t HiveRegistry::depthOf(const hive::Key* key)
{
    std::size_t depth = 0;
    for (const hive::Key* k = key; k && k->parent; k = k->parent)
        ++depth;
    return depth;
}

RegKey HiveRegistry::newHandle(const hive::Key* key, std::uint32_t access)
{
    const RegKey h = m_nextHandle;
    m_nextHandle += 4;
    std::shared_ptr<const Path> path;
    if (m_lastOpened.key == key && m_lastOpened.generation == m_generation)
        path = m_lastOpened.path;
    else
        path = std::make_shared<const Path>(pathOf(key));
    m_handles.emplace(h, Handle { std::move(path), access, const_cast<hive::Key*>(key), m_generation });
    return h;
}

long HiveRegistry::RegCreateKeyA(RegKey key, const char* subKey, RegKey* result)
{
    if (!result)
        return kErrorInvalidParameter;
    refresh();
    readWhole();
    Path parts;
    long rc = parseSubKey(subKey, parts);
    if (rc != kErrorSuccess)
        return rc;
    for (const auto& part : parts) {
        if (part.size() > hive::kMaxKeyNameLength)
            return kErrorInvalidParameter;
    }
    hive::Key* base = resolve(key, rc);
    if (!base)
        return rc;
    // No deeper than Windows nests keys, and than the file may hold to be read again.
    if (depthOf(base) + parts.size() > hive::kMaxKeyDepth)
        return kErrorInvalidParameter;
    if (parts.empty()) {
        *result = key;
        return kErrorSuccess;
    }
    if (hive::Key* existing = find(base, parts)) {
        *result = newHandle(existing, kKeyAllAccess);
        return kErrorSuccess;
    }
    const Path basePath = pathOf(base);
    hive::Key* created = nullptr;
    rc = modify([&]() -> long {
        // The file may have changed under the lock: walk again from the fresh tree.
        hive::Key* k = find(&m_hive->root, basePath);
        if (!k)
            return kErrorKeyDeleted;
        const auto now = hive::filetimeNow();
        for (const auto& part : parts) {
            hive::Key* sub = k->findSubkey(part);
            if (!sub) {
                k->touch(now);
                sub = &k->addSubkey(part);
                sub->touch(now);
            }
            k = sub;
        }
        created = k;
        return kErrorSuccess;
    });
    if (rc != kErrorSuccess)
        return rc;
    *result = newHandle(created, kKeyAllAccess);
    return kErrorSuccess;
}

long HiveRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t, std::uint32_t type,
    const std::uint8_t* data, std::uint32_t cbData)
{
    refresh();
    readWhole();
    long rc;
    hive::Key* k = resolve(key, rc, kKeySetValue);
    if (!k)
        return rc;
    if ((!data && cbData > 0) || cbData > hive::kMaxValueSize)
        return kErrorInvalidParameter;
    const std::u16string name = fromAnsi(valueName);
    if (name.size() > hive::kMaxValueNameLength)
        return kErrorInvalidParameter;
    std::vector<std::uint8_t> bytes;
    if (isStringType(type)) {
        std::uint32_t count = cbData;
        // Like NT: text whose NUL the caller forgot to count gets it, when the NUL is there.
        if (count > 0 && data[count - 1] != 0 && data[count] == 0)
            ++count;
        bytes = hive::dataFromUtf16(
            text::ansiToUtf16(std::string_view(reinterpret_cast<const char*>(data), count)), false);
    } else if (cbData > 0) {
        bytes.assign(data, data + cbData);
    }
    // What the file could not hold and be read again is refused.
    if (bytes.size() > hive::kMaxValueSize)
        return kErrorInvalidParameter;
    const Path path = pathOf(k);
    return modify([&]() -> long {
        hive::Key* target = find(&m_hive->root, path);
        if (!target)
            return kErrorKeyDeleted;
        if (hive::Value* v = target->findValue(name)) {
            v->type = type;
            v->data = std::move(bytes);
            v->text = {};
        } else {
            target->values.push_back(hive::Value { name, type, std::move(bytes), {} });
        }
        target->touch(hive::filetimeNow());
        return kErrorSuccess;
    });
}

long HiveRegistry::RegDeleteKeyA(RegKey key, const char* subKey)
{
    refresh();
    readWhole();
    Path parts;
    long rc = parseSubKey(subKey, parts);
    if (rc != kErrorSuccess)
        return rc;
    hive::Key* base = resolve(key, rc);
    if (!base)
        return rc;
    hive::Key* target = find(base, parts);
    if (!target)
        return kErrorFileNotFound;
    if (!target->parent || !target->subkeys.empty())
        return kErrorAccessDenied;
    const Path path = pathOf(target);
    return modify([&]() -> long {
        hive::Key* t = find(&m_hive->root, path);
        if (!t)
            return kErrorFileNotFound;
        if (!t->subkeys.empty())
            return kErrorAccessDenied;
        hive::Key* parent = t->parent;
        parent->removeSubkey(*t);
        ++m_generation;
        parent->touch(hive::filetimeNow());
        return kErrorSuccess;
    });
}

long HiveRegistry::openKey(
    RegKey key, const char* subKey, RegKey* result, bool sameHandleForEmpty, std::uint32_t access)
{
    if (!result)
        return kErrorInvalidParameter;
    refresh();
    if (m_lastOpened.key && m_lastOpened.generation == m_generation && m_lastOpened.base == key && subKey
        && m_lastOpened.subKey == subKey && ownsHandle(key)) {
        *result = newHandle(m_lastOpened.key, access);
        return kErrorSuccess;
    }
    Path parts;
    long rc = parseSubKey(subKey, parts);
    if (rc != kErrorSuccess)
        return rc;
    hive::Key* base = resolve(key, rc);
    if (!base)
        return rc;
    if (parts.empty() && sameHandleForEmpty) {
        *result = key;
        return kErrorSuccess;
    }
    if (m_hive->partial) {
        Path full = pathOf(base);
        full.insert(full.end(), parts.begin(), parts.end());
        cover(full, ReadScope::Need::Exists);
        base = resolve(key, rc);
        if (!base)
            return rc;
    }
    hive::Key* k = find(base, parts);
    if (!k)
        return kErrorFileNotFound;
    *result = newHandle(k, access);
    if (!parts.empty())
        m_lastOpened = { key, subKey, k, m_handles.at(*result).path, m_generation };
    return kErrorSuccess;
}

long HiveRegistry::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result)
{
    return openKey(key, subKey, result, true, kKeyAllAccess);
}

long HiveRegistry::RegOpenKeyExA(
    RegKey key, const char* subKey, std::uint32_t, std::uint32_t samDesired, RegKey* result)
{
    return openKey(key, subKey, result, false, samDesired);
}

long HiveRegistry::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
    std::uint32_t*, char* className, std::uint32_t* cchClass, void* lastWriteTime)
{
    refresh();
    long rc;
    hive::Key* k = resolve(key, rc, kKeyEnumerateSubKeys, ReadScope::Need::Subkeys);
    if (!k)
        return rc;
    if (index >= k->subkeys.size())
        return kErrorNoMoreItems;
    if (!name || !cchName)
        return kErrorInvalidParameter;
    const hive::Key& sub = *k->subkeys[index];
    const std::string ansi = text::utf16ToAnsi(sub.name);
    if (ansi.size() >= *cchName)
        return kErrorMoreData;
    std::memcpy(name, ansi.data(), ansi.size());
    name[ansi.size()] = '\0';
    *cchName = static_cast<std::uint32_t>(ansi.size());
    if (className && cchClass && *cchClass > 0)
        className[0] = '\0';
    if (cchClass)
        *cchClass = 0;
    if (lastWriteTime)
        std::memcpy(lastWriteTime, &sub.modified, sizeof sub.modified);
    return kErrorSuccess;
}

long HiveRegistry::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
    std::uint32_t* cchValueName, std::uint32_t*, std::uint32_t* type, std::uint8_t* data,
    std::uint32_t* cbData)
{
    refresh();
    long rc;
    hive::Key* k = resolve(key, rc, kKeyQueryValue, ReadScope::Need::Values);
    if (!k)
        return rc;
    if (index >= k->values.size())
        return kErrorNoMoreItems;
    if (!valueName || !cchValueName)
        return kErrorInvalidParameter;
    const hive::Value& v = k->values[index];
    const std::string name = text::utf16ToAnsi(v.name);
    if (name.size() >= *cchValueName)
        return kErrorMoreData;
    rc = copyData(ansiData(v), isStringType(v.type), data, cbData);
    if (type)
        *type = v.type;
    if (rc != kErrorSuccess)
        return rc;
    std::memcpy(valueName, name.data(), name.size());
    valueName[name.size()] = '\0';
    *cchValueName = static_cast<std::uint32_t>(name.size());
    return kErrorSuccess;
}

long HiveRegistry::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t*, std::uint32_t* type,
    std::uint8_t* data, std::uint32_t* cbData)
{
    refresh();
    long rc;
    hive::Key* k = resolve(key, rc, kKeyQueryValue, ReadScope::Need::Values);
    if (!k)
        return rc;
    const hive::Value* v = k->findValue(fromAnsi(valueName));
    if (!v)
        return kErrorFileNotFound;
    if (type)
        *type = v->type;
    return copyData(ansiData(*v), isStringType(v->type), data, cbData);
}

long HiveRegistry::RegDeleteValueA(RegKey key, const char* valueName)
{
    refresh();
    readWhole();
    long rc;
    hive::Key* k = resolve(key, rc, kKeySetValue);
    if (!k)
        return rc;
    const std::u16string name = fromAnsi(valueName);
    if (!k->findValue(name))
        return kErrorFileNotFound;
    const Path path = pathOf(k);
    return modify([&]() -> long {
        hive::Key* target = find(&m_hive->root, path);
        if (!target)
            return kErrorKeyDeleted;
        const auto it = std::find_if(target->values.begin(), target->values.end(),
            [&](const hive::Value& v) { return text::equalsIgnoreCase(v.name, name); });
        if (it == target->values.end())
            return kErrorFileNotFound;
        target->values.erase(it);
        target->touch(hive::filetimeNow());
        return kErrorSuccess;
    });
}

long HiveRegistry::RegCloseKey(RegKey key)
{
    if (key == m_rootKey)
        return kErrorSuccess;
    return m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

std::optional<std::string> HiveRegistry::unreadable(RegKey)
{
    if (m_file.empty())
        return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(toFsPath(m_file), ec))
        return "the registry file " + m_file + " no longer exists";
    if (m_error)
        return m_error->text();
    return std::nullopt;
}

} // namespace tw
