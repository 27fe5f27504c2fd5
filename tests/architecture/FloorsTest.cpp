// SPDX-License-Identifier: MIT
// The folders of src/ form floors: a file includes headers of its own folder and of lower floors
// only, so that each floor can be read, built and tested without the ones above it. Folders on one
// floor do not include each other either, which also rules out cycles.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace fs = std::filesystem;

namespace {

// Ground first. Keep in step with the drawing in the README.
const std::map<std::string, int> kFloors = {
    { "base", 0 }, // errors, text and code pages, clock, paths
    { "registry", 1 }, // the registry operations and their backends
    { "system", 2 }, // the operating system's facts, Wine's server
    { "inventory", 3 }, // the scan, usage records, icons, Windows paths in a prefix
    { "uninstall", 4 }, // the log, starting and waiting for uninstallers
    { "reports", 5 }, // the audit report, text files and wrapping, links
    { "prefixes", 6 }, // the Wine prefixes on this machine
    { "session", 7 }, // which registry is open
    { "ui", 8 }, // the Qt layer's services
    { "ui/entries", 9 }, { "ui/reports", 9 }, { "ui/uninstall", 9 }, { "ui/main", 10 },
    { "app", 11 }, // start-up, the wiring, the command-line commands
};

TEST(Floors, everyIncludeUnderSrcPointsToItsOwnFolderOrALowerFloor)
{
    const fs::path src = TIDEWELL_SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        ++files;
        const std::string rel = entry.path().lexically_relative(src).generic_string();
        const std::string folder = fs::path(rel).parent_path().generic_string();
        const auto own = kFloors.find(folder);
        if (own == kFloors.end()) {
            ADD_FAILURE() << "src/" << rel << ": the folder '" << folder << "' has no floor";
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch m;
            if (!std::regex_search(line, m, include) || !fs::exists(src / m[1].str()))
                continue;
            const std::string target = fs::path(m[1].str()).parent_path().generic_string();
            if (target == folder)
                continue;
            const auto floor = kFloors.find(target);
            if (floor == kFloors.end() || floor->second >= own->second)
                ADD_FAILURE() << "src/" << rel << ":" << number << " includes " << m[1].str() << ": '"
                              << folder << "' (floor " << own->second
                              << ") may include only lower floors, and '" << target << "' is on floor "
                              << (floor == kFloors.end() ? -1 : floor->second);
        }
    }
    EXPECT_GT(files, 50) << "no sources found under " << src;
}

} // namespace
