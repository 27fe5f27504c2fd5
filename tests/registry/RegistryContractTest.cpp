// SPDX-License-Identifier: MIT
// The registry operations' contract, written once and run against every backend, so the same
// suite can run against a real registry.
#include "registry/Registry.h"

#include "TestFiles.h"
#include "base/Errors.h"
#include "registry/HiveRegistry.h"
#include "registry/HiveSet.h"
#include "registry/RegistryFactory.h"

#include <cstring>
#include <functional>
#include <tuple>

using namespace tw;
using namespace std::string_literals;

namespace {

struct Backend
{
    const char* name;
    std::function<std::unique_ptr<RegistryApi>(const test::TempDir&)> make;
    // How many keys are open, where the backend can tell.
    std::function<std::optional<std::size_t>(RegistryApi&)> openHandles;
    // Wine's registry, where it is known to differ from Windows': it enumerates values sorted by name and
    // sorts subkeys by their lower-cased names. The file backend follows Windows.
    bool wine = false;
    // The root the suite works below: the machine's, or the user's.
    RegKey root = kHKeyLocalMachine;
};

void PrintTo(const Backend& backend, std::ostream* os)
{
    *os << backend.name;
}

std::optional<std::size_t> hiveHandles(RegistryApi& api)
{
    return static_cast<HiveRegistry&>(api).openHandleCount();
}

std::optional<std::size_t> hiveSetHandles(RegistryApi& api)
{
    auto& set = static_cast<HiveSet&>(api);
    return set.machine().openHandleCount() + set.user().openHandleCount();
}

// A prefix's two files, worked on below HKEY_CURRENT_USER; Wine has made user.reg, as it always does.
std::unique_ptr<RegistryApi> prefixHives(const test::TempDir& d)
{
    test::writeAll(d.file("user.reg"),
        "WINE REGISTRY Version 2\n;; All keys relative to "
        "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n");
    return std::make_unique<HiveSet>(std::make_unique<HiveRegistry>(d.file("system.reg")),
        std::make_unique<HiveRegistry>(d.file("user.reg"), hive::HiveRoot::User));
}

std::vector<Backend> backends()
{
    std::vector<Backend> list {
        { "HiveFile",
            [](const test::TempDir& d) { return std::make_unique<HiveRegistry>(d.file("system.reg")); },
            hiveHandles },
        { "HiveMemory", [](const test::TempDir&) { return std::make_unique<HiveRegistry>(std::string()); },
            hiveHandles },
        { "HiveUserFile", prefixHives, hiveSetHandles, false, kHKeyCurrentUser },
    };
#ifdef _WIN32
    if (test::maySystemRegistryBeWritten()) {
        for (RegKey root : { kHKeyLocalMachine, kHKeyCurrentUser })
            list.push_back({ root == kHKeyCurrentUser ? "SystemUser" : "System",
                [](const test::TempDir&) { return makeSystemRegistry(); },
                [](RegistryApi&) { return std::optional<std::size_t>(); }, test::runningOnWine(), root });
    }
#endif
    return list;
}

// Errors must not be reported anywhere during these tests: a report is a test failure.
class FailingReporter : public ErrorReporter
{
public:
    ErrorAction report(const ErrorInfo& info) override
    {
        ADD_FAILURE() << errorReportText(info);
        return ErrorAction::Abort;
    }
};

const std::string kBase = "Software\\Tidewell Contract";

class RegistryContract : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        setErrorReporter(&m_reporter);
        m_api = GetParam().make(m_dir);
        m_reg = std::make_unique<Registry>(*m_api);
    }
    void TearDown() override
    {
        // Every operation closes what it opened, whatever the test made it do.
        if (const auto n = GetParam().openHandles(*m_api)) {
            EXPECT_EQ(*n, 0u) << "a key was left open";
        }
        deleteTree(m_root, kBase);
        setErrorReporter(nullptr);
    }

    // Raw writes, so tests can store what the operations never write themselves.
    void setRaw(
        const std::string& path, const std::string& name, std::uint32_t type, const std::string& bytes)
    {
        RegKey k = 0;
        ASSERT_EQ(m_api->RegCreateKeyA(m_root, path.c_str(), &k), kErrorSuccess);
        // One byte more than counted, so NT's forgotten-NUL rule sees what lies after the data.
        std::string buffer = bytes + std::string(1, '\x01');
        EXPECT_EQ(m_api->RegSetValueExA(k, name.c_str(), 0, type,
                      reinterpret_cast<const std::uint8_t*>(buffer.data()),
                      static_cast<std::uint32_t>(bytes.size())),
            kErrorSuccess);
        m_api->RegCloseKey(k);
    }

    void createKey(const std::string& path)
    {
        RegKey k = 0;
        ASSERT_EQ(m_api->RegCreateKeyA(m_root, path.c_str(), &k), kErrorSuccess) << path;
        m_api->RegCloseKey(k);
    }

    // Relative to the parent's handle, so that long names stay within the 260 characters of a path.
    void deleteTree(RegKey parent, const std::string& name)
    {
        RegKey k = 0;
        if (m_api->RegOpenKeyExA(parent, name.c_str(), 0, kKeyRead, &k) != kErrorSuccess)
            return;
        for (;;) {
            char child[1024] = {};
            std::uint32_t size = sizeof child;
            if (m_api->RegEnumKeyExA(k, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != kErrorSuccess)
                break;
            deleteTree(k, child);
        }
        m_api->RegCloseKey(k);
        m_api->RegDeleteKeyA(parent, name.c_str());
    }

    std::vector<std::string> keyNames(const std::string& path)
    {
        std::vector<std::string> names;
        m_reg->GetKeyNames(m_root, path, names);
        return names;
    }

    test::TempDir m_dir;
    const RegKey m_root = GetParam().root;
    FailingReporter m_reporter;
    std::unique_ptr<RegistryApi> m_api;
    std::unique_ptr<Registry> m_reg;
};

} // namespace

TEST_P(RegistryContract, saveStringCreatesTheWholePathAndStoresText)
{
    m_reg->SaveString(m_root, kBase + "\\A\\B\\C", "DisplayName", "Caf\xc3\xa9 Menu");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase + "\\A\\B\\C", "DisplayName"), "Caf\xc3\xa9 Menu");
    // A trailing backslash names the same key; names are found without regard to case, and a key keeps
    // the case it was created with.
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase + "\\a\\b\\c\\", "displayname"), "Caf\xc3\xa9 Menu");
    createKey(kBase + "\\a\\Sub");
    EXPECT_EQ(keyNames(kBase), std::vector<std::string> { "A" });
    EXPECT_EQ(keyNames(kBase + "\\a"), (std::vector<std::string> { "B", "Sub" }));
}

TEST_P(RegistryContract, saveStringCountsTheTextWithoutItsNul)
{
    // NT adds the NUL the caller forgot to count when it follows the data, so both read back as 4.
    const std::tuple<const char*, std::string, std::uint32_t> cases[]
        = { { "Plain", "abc", 4 }, { "WithNul", "abc\0"s, 4 }, { "Empty", "", 0 } };
    for (const auto& [name, text, size] : cases)
        m_reg->SaveString(m_root, kBase, name, text);
    RegKey k = 0;
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, kBase.c_str(), 0, kKeyRead, &k), kErrorSuccess);
    for (const auto& [name, text, size] : cases) {
        std::uint32_t stored = 0;
        std::uint32_t type = 0;
        EXPECT_EQ(m_api->RegQueryValueExA(k, name, nullptr, &type, nullptr, &stored), kErrorSuccess);
        EXPECT_EQ(type, kRegSz);
        EXPECT_EQ(stored, size) << name;
    }
    m_api->RegCloseKey(k);

    const ValueCollection values = m_reg->EnumRegistryValuesEx(m_root, kBase);
    ASSERT_EQ(values.size(), 3u);
    for (const auto& [name, text, size] : cases) {
        const ValueRecord* r = values.find(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_EQ(std::get<std::string>(r->value), text.c_str()) << name;
        EXPECT_EQ(r->tag, ValueRecord::kTagText) << name;
    }
}

TEST_P(RegistryContract, setValueStoresExactlyTheCountedBytesWhenNoNulFollows)
{
    RegKey k = 0;
    ASSERT_EQ(m_api->RegCreateKeyA(m_root, kBase.c_str(), &k), kErrorSuccess);
    ASSERT_EQ(m_api->RegSetValueExA(k, "Three", 0, kRegSz, reinterpret_cast<const std::uint8_t*>("abcd"), 3),
        kErrorSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(m_api->RegQueryValueExA(k, "Three", nullptr, nullptr, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 3u);
    // Reads into a buffer of 'x's: the result, the size given back and the buffer's first bytes.
    auto query = [&](std::uint32_t room, std::size_t shown) {
        char buf[8];
        std::memset(buf, 'x', sizeof buf);
        const long rc = m_api->RegQueryValueExA(
            k, "Three", nullptr, nullptr, reinterpret_cast<std::uint8_t*>(buf), &room);
        return std::tuple(rc, room, std::string(buf, shown));
    };
    // Unterminated text gets a NUL after it when the buffer has room; the size does not count it.
    EXPECT_EQ(query(8, 5), std::tuple(kErrorSuccess, 3u, "abc\0x"s));
    // Exactly the size: no NUL, no overrun.
    EXPECT_EQ(query(3, 4), std::tuple(kErrorSuccess, 3u, "abcx"s));
    // Too small: 234, the size needed, and the buffer untouched.
    EXPECT_EQ(query(2, 3), std::tuple(kErrorMoreData, 3u, "xxx"s));
    m_api->RegCloseKey(k);
}

TEST_P(RegistryContract, getKeyNamesAppendsInEnumerationOrder)
{
    std::vector<std::string> names { "kept" };
    m_reg->GetKeyNames(m_root, kBase + "\\Missing", names);
    EXPECT_EQ(names, std::vector<std::string> { "kept" });
    createKey(kBase + "\\Leaf");
    m_reg->GetKeyNames(m_root, kBase + "\\Leaf", names);
    EXPECT_EQ(names, std::vector<std::string> { "kept" });

    for (const char* n : { "b", "A_B", "ab", "Aa", "{7F3B}", "zz" })
        createKey(kBase + "\\Order\\" + n);
    m_reg->GetKeyNames(m_root, kBase + "\\Order\\", names);
    if (GetParam().wine) {
        // Wine compares lower-cased names: '_' (0x5F) comes before 'b' (0x62).
        EXPECT_EQ(names, (std::vector<std::string> { "kept", "A_B", "Aa", "ab", "b", "zz", "{7F3B}" }));
    } else {
        // Windows compares upper-cased names: 'B' (0x42) comes before '_'.
        EXPECT_EQ(names, (std::vector<std::string> { "kept", "Aa", "ab", "A_B", "b", "zz", "{7F3B}" }));
    }
}

// An uninstall entry of 255 characters lies on a path of over 300, more than the ANSI calls take: it is
// created relative to its parent, must not hide the keys after it, and must be read like any other.
TEST_P(RegistryContract, aKeyNameOf255CharactersIsListedAndReachedByPath)
{
    const std::string longest(255, 'K');
    const std::string path = kBase + "\\" + longest;
    createKey(kBase + "\\A");
    createKey(kBase + "\\Z");
    RegKey base = 0;
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, kBase.c_str(), 0, kKeyRead, &base), kErrorSuccess);
    RegKey k = 0;
    ASSERT_EQ(m_api->RegCreateKeyA(base, longest.c_str(), &k), kErrorSuccess);
    m_api->RegCloseKey(k);
    // Windows refuses a name over 255 characters; Wine creates it.
    const std::string over(256, 'L');
    const long tooLong = m_api->RegCreateKeyA(base, over.c_str(), &k);
    if (tooLong == kErrorSuccess) {
        EXPECT_TRUE(GetParam().wine);
        m_api->RegCloseKey(k);
        EXPECT_EQ(m_api->RegDeleteKeyA(base, over.c_str()), kErrorSuccess);
    } else {
        EXPECT_EQ(tooLong, kErrorInvalidParameter);
    }
    m_api->RegCloseKey(base);
    EXPECT_EQ(keyNames(kBase), (std::vector<std::string> { "A", longest, "Z" }));

    const long opened = m_api->RegOpenKeyExA(m_root, path.c_str(), 0, kKeyRead, &k);
    if (GetParam().wine) {
        // Wine converts an ANSI path into a fixed buffer of 261 characters and refuses a longer one.
        EXPECT_EQ(opened, kErrorMoreData);
        return;
    }
    ASSERT_EQ(opened, kErrorSuccess);
    m_api->RegCloseKey(k);
    m_reg->SaveString(m_root, path, "DisplayName", "Long\0"s);
    EXPECT_EQ(m_reg->GetStringValue(m_root, path, "DisplayName"), "Long");
    m_reg->DeleteKey(m_root, path);
    EXPECT_EQ(keyNames(kBase), (std::vector<std::string> { "A", "Z" }));
}

TEST_P(RegistryContract, getStringValueReadsUpToTheFirstNulWhateverTheType)
{
    setRaw(kBase, "Embedded", kRegSz, "abc\0def\0"s);
    setRaw(kBase, "Number", kRegDword, "AB\0C"s);
    setRaw(kBase, "Multi", kRegMultiSz, "one\0two\0\0"s);
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase, "Embedded"), "abc");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase, "Number"), "AB");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase, "Multi"), "one");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase, "Missing"), "");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase + "\\Missing", "Embedded"), "");
}

TEST_P(RegistryContract, getDwordValueReadsFourBytesOrGivesZero)
{
    setRaw(kBase, "Negative", kRegDword, "\xfe\xff\xff\xff"s);
    setRaw(kBase, "TwoBytes", kRegBinary, "\x01\0"s);
    setRaw(kBase, "EightBytes", kRegBinary, "\x01\0\0\0\0\0\0\0"s);
    m_reg->SaveString(m_root, kBase, "Text", "1");
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase, "Negative"), -2);
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase, "TwoBytes"), 1);
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase, "EightBytes"), 0);
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase, "Text"), 49);
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase, "Missing"), 0);
    EXPECT_EQ(m_reg->GetDWORDValue(m_root, kBase + "\\Missing", "Negative"), 0);
}

TEST_P(RegistryContract, getBinaryValueAcceptsOnlyA552ByteRecord)
{
    for (int size : { 551, 552, 553 })
        setRaw(kBase, "Record" + std::to_string(size), kRegBinary,
            std::string(static_cast<std::size_t>(size), '\x07'));
    // The type is not examined.
    setRaw(kBase, "TextRecord", kRegSz, std::string(552, 'x'));
    std::vector<std::uint8_t> out { 9, 9 };
    EXPECT_TRUE(m_reg->GetBinaryValue(m_root, kBase, "Record552", out));
    EXPECT_EQ(out, std::vector<std::uint8_t>(552, 7));
    EXPECT_FALSE(m_reg->GetBinaryValue(m_root, kBase, "Record551", out));
    EXPECT_EQ(out, std::vector<std::uint8_t>(551, 7));
    EXPECT_FALSE(m_reg->GetBinaryValue(m_root, kBase, "Record553", out));
    EXPECT_EQ(out.size(), 553u);
    EXPECT_TRUE(m_reg->GetBinaryValue(m_root, kBase, "TextRecord", out));
    EXPECT_FALSE(m_reg->GetBinaryValue(m_root, kBase, "Missing", out));
    EXPECT_EQ(out, std::vector<std::uint8_t> { 0 });
    out = { 5 };
    EXPECT_FALSE(m_reg->GetBinaryValue(m_root, kBase + "\\Missing", "Record552", out));
    EXPECT_EQ(out, std::vector<std::uint8_t> { 5 });
}

TEST_P(RegistryContract, enumRegistryValuesReturnsEveryValueInCreationOrder)
{
    const std::string big(5000, '\x5a');
    setRaw(kBase, "Zeta", kRegSz, "last\0"s);
    setRaw(kBase, "Big", kRegBinary, big);
    setRaw(kBase, "Count", kRegDword, "\x2a\0\0\0"s);
    setRaw(kBase, "Multi", kRegMultiSz, "a\0b\0\0"s);
    setRaw(kBase, "Expand", kRegExpandSz, "%SystemRoot%\0"s);
    setRaw(kBase, "Qword", 11, "\x01\x02\x03\x04\x05\x06\x07\x08"s);
    setRaw(kBase, "EmptyText", kRegSz, "");
    // Overwriting keeps the value's place.
    setRaw(kBase, "Zeta", kRegSz, "first\0"s);

    const ValueCollection values = m_reg->EnumRegistryValuesEx(m_root, kBase + "\\");
    std::vector<std::string> names;
    for (const auto& r : values)
        names.push_back(r.name);
    // Windows keeps values in creation order; Wine sorts them by name.
    const std::vector<std::string> expected = GetParam().wine
        ? std::vector<std::string> { "Big", "Count", "EmptyText", "Expand", "Multi", "Qword", "Zeta" }
        : std::vector<std::string> { "Zeta", "Big", "Count", "Multi", "Expand", "Qword", "EmptyText" };
    ASSERT_EQ(names, expected);
    auto at = [&](const char* name) -> const ValueRecord& { return *values.find(name); };
    EXPECT_EQ(std::get<std::string>(at("Zeta").value), "first");
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(at("Big").value),
        std::vector<std::uint8_t>(big.begin(), big.end()));
    EXPECT_EQ(at("Big").tag, ValueRecord::kTagBytes);
    EXPECT_EQ(std::get<std::int32_t>(at("Count").value), 42);
    EXPECT_EQ(at("Count").tag, ValueRecord::kTagLong);
    EXPECT_EQ(std::get<std::string>(at("Multi").value), "a\0b"s);
    EXPECT_EQ(std::get<std::string>(at("Expand").value), "%SystemRoot%");
    EXPECT_EQ(at("Qword").tag, std::nullopt);
    EXPECT_EQ(std::get<std::string>(at("Qword").value), "");
    EXPECT_EQ(std::get<std::string>(at("EmptyText").value), "");
    EXPECT_EQ(at("EmptyText").tag, ValueRecord::kTagText);
    EXPECT_EQ(values.find("COUNT"), &at("Count"));

    EXPECT_EQ(m_reg->EnumRegistryValuesEx(m_root, kBase + "\\Missing").size(), 0u);
}

TEST_P(RegistryContract, deleteKeyRemovesOnlyAKeyWithoutSubkeys)
{
    m_reg->SaveString(m_root, kBase + "\\Parent\\Child", "v", "1");
    m_reg->DeleteKey(m_root, kBase + "\\Parent");
    EXPECT_EQ(keyNames(kBase), std::vector<std::string> { "Parent" });
    EXPECT_EQ(m_api->RegDeleteKeyA(m_root, (kBase + "\\Parent").c_str()), kErrorAccessDenied);
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase + "\\Parent\\Child", "v"), "1");
    m_reg->DeleteKey(m_root, kBase + "\\PARENT\\child");
    EXPECT_EQ(keyNames(kBase + "\\Parent"), std::vector<std::string> {});
    m_reg->DeleteKey(m_root, kBase + "\\Parent");
    EXPECT_EQ(keyNames(kBase), std::vector<std::string> {});
    // Deleting what is not there changes nothing and reports nothing.
    m_reg->DeleteKey(m_root, kBase + "\\Parent");
    RegKey k = 0;
    EXPECT_EQ(
        m_api->RegOpenKeyExA(m_root, (kBase + "\\Parent").c_str(), 0, kKeyRead, &k), kErrorFileNotFound);
}

TEST_P(RegistryContract, handlesAreValidatedAndCountedAsWindowsDoes)
{
    RegKey k = 0;
    EXPECT_EQ(m_api->RegOpenKeyExA(m_root, "\\Software", 0, kKeyRead, &k), kErrorBadPathname);
    EXPECT_EQ(m_api->RegCloseKey(0x4242), kErrorInvalidHandle);
    createKey(kBase + "\\Gone");
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, (kBase + "\\Gone").c_str(), 0, kKeyRead, &k), kErrorSuccess);
    EXPECT_EQ(m_api->RegDeleteKeyA(m_root, (kBase + "\\Gone").c_str()), kErrorSuccess);
    std::uint32_t size = 0;
    EXPECT_NE(m_api->RegQueryValueExA(k, "x", nullptr, nullptr, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(m_api->RegCloseKey(k), kErrorSuccess);
    // Opened again just after, as a scan opens one key for each value: a key deleted is gone, and a
    // handle closed opens nothing.
    EXPECT_EQ(m_api->RegOpenKeyExA(m_root, (kBase + "\\Gone").c_str(), 0, kKeyRead, &k), kErrorFileNotFound);
    createKey(kBase + "\\Sub");
    RegKey base = 0;
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, kBase.c_str(), 0, kKeyRead, &base), kErrorSuccess);
    ASSERT_EQ(m_api->RegOpenKeyExA(base, "Sub", 0, kKeyRead, &k), kErrorSuccess);
    EXPECT_EQ(m_api->RegCloseKey(k), kErrorSuccess);
    EXPECT_EQ(m_api->RegCloseKey(base), kErrorSuccess);
    EXPECT_EQ(m_api->RegOpenKeyExA(base, "Sub", 0, kKeyRead, &k), kErrorInvalidHandle);
}

TEST_P(RegistryContract, enumerationReportsSizesAsTheAnsiCallsDo)
{
    setRaw(kBase, "Name", kRegSz, "data\0"s);
    createKey(kBase + "\\Four");
    RegKey k = 0;
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, kBase.c_str(), 0, kKeyRead, &k), kErrorSuccess);

    // A key name needs room for its NUL.
    char name[16];
    std::uint32_t size = 4;
    EXPECT_EQ(m_api->RegEnumKeyExA(k, 0, name, &size, nullptr, nullptr, nullptr, nullptr), kErrorMoreData);
    size = 5;
    EXPECT_EQ(m_api->RegEnumKeyExA(k, 0, name, &size, nullptr, nullptr, nullptr, nullptr), kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(name, "Four");
    size = sizeof name;
    EXPECT_EQ(m_api->RegEnumKeyExA(k, 1, name, &size, nullptr, nullptr, nullptr, nullptr), kErrorNoMoreItems);

    // Data too large for the buffer: 234 and the size it needs.
    std::uint8_t data[16];
    std::uint32_t dataSize = 2;
    std::uint32_t type = 0;
    size = sizeof name;
    EXPECT_EQ(m_api->RegEnumValueA(k, 0, name, &size, nullptr, &type, data, &dataSize), kErrorMoreData);
    EXPECT_EQ(dataSize, 5u);
    dataSize = sizeof data;
    size = sizeof name;
    EXPECT_EQ(m_api->RegEnumValueA(k, 0, name, &size, nullptr, &type, data, &dataSize), kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(dataSize, 5u);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 5), "data\0"s);
    // A name buffer without room for the NUL.
    size = 4;
    dataSize = sizeof data;
    EXPECT_EQ(m_api->RegEnumValueA(k, 0, name, &size, nullptr, &type, data, &dataSize), kErrorMoreData);
    size = sizeof name;
    EXPECT_EQ(m_api->RegEnumValueA(k, 1, name, &size, nullptr, &type, data, &dataSize), kErrorNoMoreItems);

    // A missing value; the size of a present one without a buffer.
    dataSize = 0;
    EXPECT_EQ(m_api->RegQueryValueExA(k, "Missing", nullptr, &type, nullptr, &dataSize), kErrorFileNotFound);
    EXPECT_EQ(m_api->RegQueryValueExA(k, "NAME", nullptr, &type, nullptr, &dataSize), kErrorSuccess);
    EXPECT_EQ(dataSize, 5u);
    // An empty subkey name opens the same key.
    RegKey same = 0;
    EXPECT_EQ(m_api->RegOpenKeyA(k, "", &same), kErrorSuccess);
    EXPECT_EQ(same, k);
    m_api->RegCloseKey(k);
}

TEST_P(RegistryContract, textIsStoredAsUnicodeAndReadInTheCodePage)
{
    // "Ünicode" in the code page; the key name too.
    setRaw(kBase + "\\Tidewell\xdcnicode", "Caf\xe9", kRegSz, "Caf\xe9 \x80\0"s);
    EXPECT_EQ(keyNames(kBase), std::vector<std::string> { "Tidewell\xc3\x9cnicode" });
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase + "\\TIDEWELL\xc3\xbcNICODE", "CAF\xc3\x89"),
        "Caf\xc3\xa9 \xe2\x82\xac");
    // What the code page cannot hold becomes question marks.
    m_reg->SaveString(m_root, kBase, "Name", "Z\xc3\xab \xe2\x82\xac \xe2\x9c\x93 \xe6\x8e\xa2");
    EXPECT_EQ(m_reg->GetStringValue(m_root, kBase, "Name"), "Z\xc3\xab \xe2\x82\xac ? ?");
}

TEST_P(RegistryContract, deletingAValueRemovesOnlyThatValue)
{
    setRaw(kBase, "Keep", kRegSz, "k\0"s);
    setRaw(kBase, "Drop", kRegDword, "\x01\0\0\0"s);
    RegKey k = 0;
    // A key opened for reading cannot be changed through its handle.
    ASSERT_EQ(m_api->RegOpenKeyExA(m_root, kBase.c_str(), 0, kKeyRead, &k), kErrorSuccess);
    EXPECT_EQ(m_api->RegDeleteValueA(k, "Drop"), kErrorAccessDenied);
    const std::uint8_t one[] = { '1', 0 };
    EXPECT_EQ(m_api->RegSetValueExA(k, "New", 0, kRegSz, one, 2), kErrorAccessDenied);
    m_api->RegCloseKey(k);
    ASSERT_EQ(m_api->RegOpenKeyA(m_root, kBase.c_str(), &k), kErrorSuccess);
    EXPECT_EQ(m_api->RegDeleteValueA(k, "DROP"), kErrorSuccess);
    EXPECT_EQ(m_api->RegDeleteValueA(k, "Drop"), kErrorFileNotFound);
    m_api->RegCloseKey(k);
    const ValueCollection values = m_reg->EnumRegistryValuesEx(m_root, kBase);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "Keep");
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(backends()),
    [](const auto& param) { return std::string(param.param.name); });
