// SPDX-License-Identifier: MIT
// What the front-end readers share: the environment with its defaults filled in, file access that
// turns every failure into a warning, and the list of prefixes found so far.
#pragma once

#include "prefixes/Discovery.h"

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tw::prefixes::scan {

namespace fs = std::filesystem;

class Findings
{
public:
    // Fills in the XDG defaults under env.home.
    explicit Findings(Environment env);

    const Environment& env() const { return m_env; }
    // A folder under the home folder; empty (found nowhere) when the home folder is unknown.
    fs::path home(const fs::path& relative) const;
    // A path as a front-end wrote it: "~" or "~/..." is the home folder, anything relative is
    // meaningless here and comes back empty.
    fs::path expand(const std::string& path) const;

    // A file's contents. Nothing, silently, when it does not exist; nothing with a warning when it
    // cannot be read or is too large to be a configuration file.
    std::optional<std::string> read(const fs::path& file);
    // A folder's entries, sorted by name. A missing folder is empty without a warning.
    std::vector<fs::path> list(const fs::path& folder);
    // The entries of list() that are folders (links to folders included).
    std::vector<fs::path> subfolders(const fs::path& folder);
    void warn(const fs::path& file, const std::string& what);

    // Records an owner of `folder`, if it is a prefix.
    void add(const fs::path& folder, Owner owner);

    Discovery finish();

private:
    Environment m_env;
    std::map<std::string, std::vector<Owner>> m_owners; // by canonical path
    std::vector<std::string> m_warnings;
};

// The name of the last component, trailing separators ignored.
std::string folderName(fs::path path);
// The first of `candidates` that is an existing file (or link to one), else empty.
std::string firstFile(std::initializer_list<fs::path> candidates);

void scanBottles(Findings& f);
void scanLutris(Findings& f);
void scanSteam(Findings& f);
void scanHeroic(Findings& f);

} // namespace tw::prefixes::scan
