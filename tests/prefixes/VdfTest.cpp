// SPDX-License-Identifier: MIT
#include "prefixes/Vdf.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tw::prefixes;

namespace {

// key=value; and key{...}; in file order, or "!" and the error.
std::string render(const vdf::Node& node)
{
    std::string out;
    for (const vdf::Node& c : node.children)
        out += c.key + (c.isObject ? "{" + render(c) + "}" : "=" + c.value) + ";";
    return out;
}

std::string parsed(std::string_view text)
{
    std::string error;
    const auto root = vdf::parse(text, &error);
    return root ? render(*root) : "!" + error;
}

std::string repeat(std::string_view s, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

std::string nested(int depth)
{
    return repeat("\"k\" {", depth) + repeat("}", depth);
}

} // namespace

TEST(Vdf, reads)
{
    const struct
    {
        std::string text;
        std::string expected;
    } cases[] = {
        { "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/data/Steam\"\n\t}\n}\n",
            "libraryfolders{0{path=/data/Steam;};};" },
        { R"("k" "a\\b\"c\nd\te")", "k=a\\b\"c\nd\te;" },
        // Backslashes Steam did not escape stay as written.
        { R"("p" "C:\Games\x")", "p=C:\\Games\\x;" },
        { "// head\n\"a\" \"1\" // tail\n\"b\" { // inside\n }", "a=1;b{};" },
        { "AppState { name Foo appid 10 }", "AppState{name=Foo;appid=10;};" },
        { "\"a\" \"1\" [$WIN32]\n\"b\" \"2\"", "a=1;b=2;" },
        { "\xEF\xBB\xBF\"a\" \"1\"\r\n", "a=1;" },
        { R"("" "x" "a b" "")", "=x;a b=;" },
        { "", "" },
        { nested(vdf::maxDepth), repeat("k{", vdf::maxDepth) + repeat("};", vdf::maxDepth) },
        // Rejected, with the line at fault.
        { "\"a\" \"x\ny\"\n\"b\"", "!line 3: \"b\" has no value" },
        { "\"a\" \"open", "!line 1: the quoted text begun here is not closed" },
        { "\"a\"\n{\n\"b\" \"c\"", "!line 2: the object opened here is not closed" },
        { "\"a\" \"b\"\n}", "!line 2: '}' without an object to close" },
        { "{ \"a\" \"b\" }", "!line 1: '{' where a key was expected" },
        { "\"a\" \"b\" \"c\" }", "!line 1: \"c\" has no value" },
        { nested(vdf::maxDepth + 1), "!line 1: objects nested more than 64 deep" },
        { nested(100000), "!line 1: objects nested more than 64 deep" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsed(c.text), c.expected) << c.text.substr(0, 80);
}

TEST(Vdf, looksUpKeysIgnoringCase)
{
    const auto root = vdf::parse(R"("LibraryFolders" { "1" "/games" "Apps" { } })");
    ASSERT_TRUE(root);
    const vdf::Node* folders = root->find("libraryfolders");
    ASSERT_TRUE(folders);
    EXPECT_EQ(folders->text("1"), "/games");
    EXPECT_EQ(folders->text("apps"), std::nullopt); // an object has no text
    EXPECT_EQ(folders->find("2"), nullptr);
}

// Every seed and every input that once failed the fuzz target: parsed or refused with a reason.
TEST(FuzzRegression, vdf)
{
    int inputs = 0;
    for (const std::string root : { TIDEWELL_FUZZ_CASES, TIDEWELL_FUZZ_CORPUS }) {
        std::error_code ec;
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(root) / "vdf", ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            std::string error;
            EXPECT_TRUE(vdf::parse(text.str(), &error) || !error.empty()) << entry.path();
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0);
}
