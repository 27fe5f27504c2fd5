// SPDX-License-Identifier: MIT
// The entry editor's write-back on a real registry file: what the user left alone stays as it was,
// edited values keep their types, deleted and renamed ones go one by one.
#include "registry/EntryValues.h"

#include "../registry/TestFiles.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <algorithm>
#include <tuple>

using namespace tw;
using namespace tw::entries;

namespace {

const std::string kProbe = "Software\\Tidewell Format Probe";
using Bytes = std::vector<std::uint8_t>;

class EntryValuesTest : public ::testing::Test
{
protected:
    EntryValuesTest()
        : m_file(m_dir.file("system.reg"))
    {
        test::writeAll(m_file, test::readAll(test::dataPath("wine/system-edge-cases.reg")));
        m_hive = std::make_unique<HiveRegistry>(m_file);
    }

    std::vector<EntryValue> read(const std::string& path = kProbe)
    {
        return readEntryValues(*m_hive, kHKeyLocalMachine, path);
    }

    // The grid as it loads: one untouched row per value.
    static std::vector<EntryRow> rowsOf(const std::vector<EntryValue>& values)
    {
        std::vector<EntryRow> rows;
        for (std::size_t i = 0; i < values.size(); ++i)
            rows.push_back({ i, displayName(values[i]), displayText(values[i]) });
        return rows;
    }
    // The same with every name cleared.
    static std::vector<EntryRow> namelessRowsOf(const std::vector<EntryValue>& values)
    {
        std::vector<EntryRow> rows = rowsOf(values);
        for (EntryRow& r : rows)
            r.name.clear();
        return rows;
    }

    // The value or row of that name, or none.
    template<class Items> static auto* named(Items& items, const std::string& name)
    {
        const auto it
            = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.name == name; });
        return it == items.end() ? nullptr : &*it;
    }

    EntryPlan ok(const std::vector<EntryValue>& original, const std::vector<EntryRow>& rows,
        const std::string& path = kProbe)
    {
        EntryPlan plan = planWriteBack(original, rows);
        for (const EntryChange& change : plan.changes)
            applyChange(*m_hive, kHKeyLocalMachine, path, change);
        return plan;
    }

    std::size_t subkeyCount(const std::string& path = kProbe)
    {
        Registry reg(*m_hive);
        std::vector<std::string> names;
        reg.GetKeyNames(kHKeyLocalMachine, path, names);
        return names.size();
    }

    test::TempDir m_dir;
    std::string m_file;
    std::unique_ptr<HiveRegistry> m_hive;
};

TEST_F(EntryValuesTest, everyKindOfValueShowsAsAnEditableTextWithItsType)
{
    const std::vector<EntryValue> values = read();
    ASSERT_EQ(values.size(), 25u);
    EXPECT_EQ(values[0].name, "");
    EXPECT_EQ(displayText(values[0]), "default value");

    const std::vector<std::tuple<std::string, std::string, std::string>> expected = {
        { "Dword", "REG_DWORD", "-1" },
        { "DwordZero", "REG_DWORD", "0" },
        { "DwordShort", "REG_DWORD", "01 00" },
        { "Binary", "REG_BINARY", "01 02 ff" },
        { "BinaryEmpty", "REG_BINARY", "" },
        { "BigEndian", "REG_DWORD_BIG_ENDIAN", "00 00 00 01" },
        { "Qword", "REG_QWORD", "01 02 03 04 05 06 07 08" },
        { "None", "REG_NONE", "" },
        { "Expand", "REG_EXPAND_SZ", "%SystemRoot%\\system32\\x.exe" },
        { "Multi", "REG_MULTI_SZ", "one | two \"2\"" },
        { "MultiEmpty", "REG_MULTI_SZ", "" },
        { "EmbeddedNul", "REG_SZ", "abc" },
        { "PlainSz", "REG_SZ", "plain text" },
    };
    for (const auto& [name, type, text] : expected) {
        const EntryValue* v = named(values, name);
        ASSERT_NE(v, nullptr) << name;
        EXPECT_EQ(typeName(v->type), type) << name;
        EXPECT_EQ(displayText(*v), text) << name;
    }
    EXPECT_EQ(typeName(0x20), "0x00000020");

    // Typed back in unchanged, the texts give the very bytes they were read from, except where the
    // text cannot show all of them (a NUL inside the data, string data of odd length).
    for (const EntryValue& v : values) {
        if (v.name == "EmbeddedNul" || v.name == "CtrlChars" || v.name == "OddLength")
            continue;
        EXPECT_EQ(encodeText(formOf(v), displayText(v)), v.data) << v.name;
    }
}

TEST_F(EntryValuesTest, anUntouchedOkWritesNothingAndDeletingRowsRemovesOnlyThoseValues)
{
    const std::string before = test::readAll(m_file);
    const std::vector<EntryValue> values = read();
    EXPECT_TRUE(ok(values, rowsOf(values)).changes.empty());
    EXPECT_EQ(test::readAll(m_file), before);

    // Deleting the rows of a string and of the default value deletes those values, nothing else:
    // the other values and the subkeys stay as they were.
    const auto deleted = [](const auto& item) { return item.name == "PlainSz" || item.name.empty(); };
    std::vector<EntryRow> rows = rowsOf(values);
    std::erase_if(rows, deleted);
    const EntryPlan plan = ok(values, rows);
    ASSERT_EQ(plan.changes.size(), 2u);
    EXPECT_EQ(plan.changes[0].kind, EntryChange::Kind::DeleteValue);
    std::vector<EntryValue> expected = values;
    std::erase_if(expected, deleted);
    EXPECT_EQ(read(), expected);
    EXPECT_EQ(subkeyCount(), 5u);
}

TEST_F(EntryValuesTest, editedValuesKeepTheirTypes)
{
    const std::vector<EntryValue> values = read();
    std::vector<EntryRow> rows = rowsOf(values);
    named(rows, "Dword")->text = "7";
    named(rows, "Expand")->text = "  %TEMP%\\y.exe  ";
    named(rows, "Multi")->text = "a | b||c |  | d";
    named(rows, "Binary")->text = "0a 0B,ff";
    named(rows, "BigEndian")->text = "";
    named(rows, "")->text = "new default";
    rows.push_back({ std::nullopt, "Added", "  fresh " });
    rows.push_back({ std::nullopt, "", "no name: dropped" });
    const EntryPlan plan = ok(values, rows);
    ASSERT_FALSE(plan.rejected);
    EXPECT_EQ(plan.changes.size(), 7u);

    std::vector<EntryValue> expected = values;
    auto set = [&](const std::string& name, std::uint32_t type, const std::string& data) {
        const EntryValue v { name, type, Bytes(data.begin(), data.end()) };
        if (EntryValue* old = named(expected, name))
            *old = v;
        else
            expected.push_back(v);
    };
    set("Dword", kRegDword, std::string("\x07\0\0\0", 4));
    // Leading spaces go, trailing ones stay, one NUL follows.
    set("Expand", kRegExpandSz, std::string("%TEMP%\\y.exe  \0", 15));
    set("Multi", kRegMultiSz, std::string("a\0b|c\0\0d\0\0", 10));
    set("Binary", kRegBinary, "\x0a\x0b\xff");
    set("BigEndian", 5, "");
    set("", kRegSz, std::string("new default\0", 12));
    set("Added", kRegSz, std::string("fresh \0", 7));
    EXPECT_EQ(read(), expected);
}

TEST_F(EntryValuesTest, numbersAndBytesThatDoNotReadAsSuchAreRefusedBeforeAnythingIsWritten)
{
    EXPECT_EQ(encodeText(ValueForm::Number, "-1"), Bytes({ 0xff, 0xff, 0xff, 0xff }));
    EXPECT_EQ(encodeText(ValueForm::Number, " 4294967295 "), Bytes({ 0xff, 0xff, 0xff, 0xff }));
    EXPECT_EQ(encodeText(ValueForm::Number, "-2147483648"), Bytes({ 0, 0, 0, 0x80 }));
    EXPECT_EQ(encodeText(ValueForm::Number, "+258"), Bytes({ 2, 1, 0, 0 }));
    for (const char* bad :
        { "", "-", "4294967296", "-2147483649", "7a", "0x10", "1 2", "99999999999999999999" })
        EXPECT_FALSE(encodeText(ValueForm::Number, bad)) << bad;
    EXPECT_EQ(encodeText(ValueForm::Bytes, "1 2 0a0b"), Bytes({ 1, 2, 0x0a, 0x0b }));
    for (const char* bad : { "0g", "123", "01-02", "ff." })
        EXPECT_FALSE(encodeText(ValueForm::Bytes, bad)) << bad;

    const std::string before = test::readAll(m_file);
    const std::vector<EntryValue> values = read();
    std::vector<EntryRow> rows = rowsOf(values);
    named(rows, "PlainSz")->text = "changed";
    named(rows, "DwordZero")->text = "ten";
    const EntryPlan plan = ok(values, rows);
    ASSERT_TRUE(plan.rejected);
    EXPECT_EQ(plan.rejected->name, "DwordZero");
    EXPECT_EQ(plan.rejected->form, ValueForm::Number);
    EXPECT_EQ(rows[plan.rejected->row].name, "DwordZero");
    EXPECT_TRUE(plan.changes.empty());
    EXPECT_EQ(test::readAll(m_file), before);
}

TEST_F(EntryValuesTest, renamesMoveTheBytesAndTheLastRowOfANameWins)
{
    const std::vector<EntryValue> values = read();
    std::vector<EntryRow> rows = rowsOf(values);
    named(rows, "Binary")->name = "Bytes";
    named(rows, "PlainSz")->name = "PLAINSZ";
    // "dword" comes after the loaded Dword row: it wins, and Dword itself goes.
    rows.push_back({ std::nullopt, "dword", "5" });
    // "Qword" comes before the loaded Qword row, which wins unchanged: nothing is written for it.
    rows.insert(rows.begin(), { std::nullopt, "qword", "typed first" });
    const EntryPlan plan = ok(values, rows);
    ASSERT_EQ(plan.changes.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(plan.changes[i].kind, EntryChange::Kind::DeleteValue) << "deletions come first";

    const std::vector<EntryValue> after = read();
    ASSERT_NE(named(after, "Bytes"), nullptr);
    EXPECT_EQ(*named(after, "Bytes"), (EntryValue { "Bytes", kRegBinary, Bytes({ 1, 2, 0xff }) }));
    EXPECT_NE(named(after, "PLAINSZ"), nullptr);
    ASSERT_NE(named(after, "dword"), nullptr);
    EXPECT_EQ(named(after, "dword")->type, kRegSz);
    for (const char* gone : { "Binary", "PlainSz", "Dword" })
        EXPECT_EQ(named(after, gone), nullptr) << gone;
    EXPECT_EQ(*named(after, "Qword"), *named(values, "Qword"));
}

TEST_F(EntryValuesTest, clearingEveryNameRemovesTheEntryButNotAKeyThatStillHoldsSomething)
{
    const std::string entry = std::string(kUninstallPath) + "AAA key sorts first";
    auto listed = [&] {
        Registry reg(*m_hive);
        Inventory inventory(reg, "", PathMapping(m_dir.path().string()));
        const auto rows = inventory.scan();
        return std::any_of(
            rows.begin(), rows.end(), [](const ProgramRow& r) { return r.key == "AAA key sorts first"; });
    };
    ASSERT_TRUE(listed());
    const std::vector<EntryValue> values = read(entry);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(
        ok(values, namelessRowsOf(values), entry).changes.back().kind, EntryChange::Kind::DeleteKeyIfEmpty);
    RegKey key = 0;
    EXPECT_EQ(m_hive->RegOpenKeyA(kHKeyLocalMachine, entry.c_str(), &key), kErrorFileNotFound);
    EXPECT_FALSE(listed());

    // The probe key has a default value, which has no name to clear, and subkeys.
    const std::vector<EntryValue> probe = read();
    ok(probe, namelessRowsOf(probe));
    EXPECT_EQ(read(), std::vector<EntryValue>({ probe[0] }));
    ok(read(), {});
    EXPECT_TRUE(read().empty());
    EXPECT_EQ(subkeyCount(), 5u);
}

} // namespace

namespace {

// Passes every call on, but refuses the Nth change (a value set or deleted, a key deleted) with
// ERROR_ACCESS_DENIED. Without `batches`, it keeps no batch: each change is made as it comes, as on
// a backend that cannot save changes together.
class FailingApi final : public RegistryApi
{
public:
    FailingApi(RegistryApi& inner, int failAt, bool batches)
        : m_inner(inner)
        , m_failAt(failAt)
        , m_batches(batches)
    { }
    long RegCreateKeyA(RegKey k, const char* s, RegKey* r) override { return m_inner.RegCreateKeyA(k, s, r); }
    long RegSetValueExA(RegKey k, const char* n, std::uint32_t r, std::uint32_t t, const std::uint8_t* d,
        std::uint32_t c) override
    {
        return fails() ? kErrorAccessDenied : m_inner.RegSetValueExA(k, n, r, t, d, c);
    }
    long RegDeleteKeyA(RegKey k, const char* s) override
    {
        return fails() ? kErrorAccessDenied : m_inner.RegDeleteKeyA(k, s);
    }
    long RegOpenKeyA(RegKey k, const char* s, RegKey* r) override { return m_inner.RegOpenKeyA(k, s, r); }
    long RegOpenKeyExA(RegKey k, const char* s, std::uint32_t o, std::uint32_t a, RegKey* r) override
    {
        return m_inner.RegOpenKeyExA(k, s, o, a, r);
    }
    long RegEnumKeyExA(RegKey k, std::uint32_t i, char* n, std::uint32_t* c, std::uint32_t* r, char* cl,
        std::uint32_t* cc, void* t) override
    {
        return m_inner.RegEnumKeyExA(k, i, n, c, r, cl, cc, t);
    }
    long RegEnumValueA(RegKey k, std::uint32_t i, char* n, std::uint32_t* c, std::uint32_t* r,
        std::uint32_t* t, std::uint8_t* d, std::uint32_t* cb) override
    {
        return m_inner.RegEnumValueA(k, i, n, c, r, t, d, cb);
    }
    long RegQueryValueExA(RegKey k, const char* n, std::uint32_t* r, std::uint32_t* t, std::uint8_t* d,
        std::uint32_t* c) override
    {
        return m_inner.RegQueryValueExA(k, n, r, t, d, c);
    }
    long RegDeleteValueA(RegKey k, const char* n) override
    {
        return fails() ? kErrorAccessDenied : m_inner.RegDeleteValueA(k, n);
    }
    long RegCloseKey(RegKey k) override { return m_inner.RegCloseKey(k); }
    long beginChanges() override { return m_batches ? m_inner.beginChanges() : kErrorSuccess; }
    long commitChanges() override { return m_batches ? m_inner.commitChanges() : kErrorSuccess; }
    void cancelChanges() override
    {
        m_failAt = -1; // putting things back must not fail too
        if (m_batches)
            m_inner.cancelChanges();
    }

private:
    bool fails() { return m_failAt >= 0 && m_count++ == m_failAt; }

    RegistryApi& m_inner;
    int m_failAt;
    bool m_batches;
    int m_count = 0;
};

} // namespace

TEST_F(EntryValuesTest, aFailureAtAnyStepOfOkLeavesTheEntryAsItWas)
{
    const std::vector<EntryValue> values = read();
    std::vector<EntryRow> rows = rowsOf(values);
    named(rows, "Binary")->name = "Bytes"; // a rename: a deletion and a write
    named(rows, "Dword")->text = "7";
    rows.push_back({ std::nullopt, "Added", "new" });
    const EntryPlan plan = planWriteBack(values, rows);
    ASSERT_GE(plan.changes.size(), 4u);
    const std::string fileBefore = test::readAll(m_file);
    for (bool batches : { true, false }) {
        for (int step = 0; step < static_cast<int>(plan.changes.size()); ++step) {
            FailingApi failing(*m_hive, step, batches);
            EXPECT_EQ(applyChanges(failing, kHKeyLocalMachine, kProbe, plan.changes), kErrorAccessDenied);
            // Made one by one, a value put back comes last in the enumeration: compare without order there.
            const auto sorted = [&](std::vector<EntryValue> v) {
                if (!batches)
                    std::sort(
                        v.begin(), v.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
                return v;
            };
            EXPECT_TRUE(sorted(read()) == sorted(values))
                << "step " << step << (batches ? ", saved together" : ", one by one");
            if (batches) {
                EXPECT_EQ(test::readAll(m_file), fileBefore)
                    << "step " << step << ": nothing reaches the disk";
            }
        }
    }
    FailingApi working(*m_hive, -1, true);
    EXPECT_EQ(applyChanges(working, kHKeyLocalMachine, kProbe, plan.changes), kErrorSuccess);
    std::vector<EntryValue> after = read();
    EXPECT_NE(named(after, "Bytes"), nullptr);
}
