// SPDX-License-Identifier: MIT
// Replays the inputs that once made a fuzz target fail (tests/fuzzcases/<target>/) and the seed corpus
// (fuzz/corpus/<target>/) through the same checks the fuzz targets run.
#include "fuzz/FuzzTargets.h"

#include "../registry/TestFiles.h"

#include <algorithm>
#include <functional>

using namespace tw;

namespace {

std::vector<std::filesystem::path> inputsOf(const std::string& target)
{
    std::vector<std::filesystem::path> files;
    for (const std::string root : { TIDEWELL_FUZZ_CASES, TIDEWELL_FUZZ_CORPUS }) {
        const std::filesystem::path dir = std::filesystem::path(root) / target;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void replay(const std::string& target, const std::function<void(fuzz::Input)>& run)
{
    const auto files = inputsOf(target);
    EXPECT_FALSE(files.empty()) << "no inputs for " << target;
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const std::string bytes = test::readAll(file);
        const fuzz::Input in(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        try {
            run(in);
        } catch (const fuzz::Violation& v) {
            ADD_FAILURE() << v.what();
        }
    }
}

} // namespace

TEST(FuzzRegression, hive)
{
    const test::TempDir dir;
    replay("hive", [&](fuzz::Input in) { fuzz::hiveFile(in, dir.path() / "system.reg"); });
}

TEST(FuzzRegression, icon)
{
    replay("icon", fuzz::iconFile);
}

TEST(FuzzRegression, usageRecord)
{
    replay("usage_record", fuzz::usageRecord);
}

TEST(FuzzRegression, commandLine)
{
    replay("command_line", fuzz::commandLine);
}

TEST(FuzzRegression, displayIcon)
{
    replay("display_icon", fuzz::displayIcon);
}

TEST(FuzzRegression, versionFile)
{
    replay("version_file", fuzz::versionFile);
}

TEST(FuzzRegression, logViewer)
{
    replay("log_viewer", fuzz::logViewer);
}

TEST(FuzzRegression, text)
{
    replay("text", fuzz::textConversions);
}
