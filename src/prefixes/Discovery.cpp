// SPDX-License-Identifier: MIT
#include "prefixes/Discovery.h"

#include "prefixes/Scan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <sstream>
#include <tuple>
#include <unistd.h>

namespace tw::prefixes {

namespace fs = std::filesystem;

namespace {

// Far above any front-end's configuration or library cache, low enough that a stray huge file
// cannot take the memory.
constexpr std::uintmax_t maxFileSize = 64u << 20;

constexpr std::array frontEnds { "Wine", "winetricks", "Bottles", "Lutris", "Steam", "Heroic",
    "PlayOnLinux" };

std::size_t rank(const std::string& frontEnd)
{
    return static_cast<std::size_t>(std::distance(frontEnds.begin(), std::ranges::find(frontEnds, frontEnd)));
}

std::string folded(std::string s)
{
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool ownerBefore(const Owner& a, const Owner& b)
{
    const auto key = [](const Owner& o) {
        return std::make_tuple(rank(o.frontEnd), folded(o.name), o.name, o.runner, o.winePath);
    };
    return key(a) < key(b);
}

std::string absoluteOrEmpty(const char* value)
{
    // XDG's rule, which also suits WINEPREFIX: a relative path is ignored.
    return value && value[0] == '/' ? std::string(value) : std::string();
}

void scanWine(scan::Findings& f)
{
    if (!f.env().winePrefix.empty())
        f.add(f.env().winePrefix, { "Wine", scan::folderName(f.env().winePrefix), {}, {} });
    f.add(f.home(".wine"), { "Wine", ".wine", {}, {} });
}

void scanWinetricks(scan::Findings& f)
{
    for (const fs::path& folder : f.subfolders(f.env().winePrefixes))
        f.add(folder, { "winetricks", folder.filename().string(), {}, {} });
}

// PlayOnLinux notes each prefix's Wine in <prefix>/playonlinux.cfg as ARCH= and VERSION= lines.
void scanPlayOnLinux(scan::Findings& f)
{
    const fs::path root = f.home(".PlayOnLinux");
    for (const fs::path& folder : f.subfolders(root / "wineprefix")) {
        Owner owner { "PlayOnLinux", folder.filename().string(), {}, {} };
        std::string arch = "x86";
        std::istringstream cfg(f.read(folder / "playonlinux.cfg").value_or(""));
        for (std::string line; std::getline(cfg, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.starts_with("VERSION="))
                owner.runner = line.substr(8);
            else if (line.starts_with("ARCH="))
                arch = line.substr(5);
        }
        if (!owner.runner.empty())
            owner.winePath
                = scan::firstFile({ root / "wine" / ("linux-" + arch) / owner.runner / "bin/wine" });
        f.add(folder, std::move(owner));
    }
}

} // namespace

Environment Environment::fromProcess()
{
    Environment env;
    env.home = absoluteOrEmpty(std::getenv("HOME"));
    if (env.home.empty()) {
        std::array<char, 16384> buffer {};
        passwd entry {};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
            env.home = absoluteOrEmpty(found->pw_dir);
    }
    env.xdgDataHome = absoluteOrEmpty(std::getenv("XDG_DATA_HOME"));
    env.xdgConfigHome = absoluteOrEmpty(std::getenv("XDG_CONFIG_HOME"));
    env.winePrefix = absoluteOrEmpty(std::getenv("WINEPREFIX"));
    env.winePrefixes = absoluteOrEmpty(std::getenv("WINE_PREFIXES"));
    return env;
}

bool isPrefix(const fs::path& folder)
{
    std::error_code ec;
    return fs::is_regular_file(folder / "system.reg", ec) && fs::is_directory(folder / "drive_c", ec);
}

Discovery discover(const Environment& env)
{
    scan::Findings f(env);
    scanWine(f);
    scanWinetricks(f);
    scan::scanBottles(f);
    scan::scanLutris(f);
    scan::scanSteam(f);
    scan::scanHeroic(f);
    scanPlayOnLinux(f);
    return f.finish();
}

namespace scan {

Findings::Findings(Environment env)
    : m_env(std::move(env))
{
    if (m_env.xdgDataHome.empty())
        m_env.xdgDataHome = home(".local/share").string();
    if (m_env.xdgConfigHome.empty())
        m_env.xdgConfigHome = home(".config").string();
    if (m_env.winePrefixes.empty() && !m_env.xdgDataHome.empty())
        m_env.winePrefixes = (fs::path(m_env.xdgDataHome) / "wineprefixes").string();
}

fs::path Findings::home(const fs::path& relative) const
{
    return m_env.home.empty() ? fs::path() : fs::path(m_env.home) / relative;
}

fs::path Findings::expand(const std::string& path) const
{
    if (path == "~")
        return home({});
    if (path.starts_with("~/"))
        return home(path.substr(2));
    return path.starts_with('/') ? fs::path(path) : fs::path();
}

std::optional<std::string> Findings::read(const fs::path& file)
{
    if (!file.is_absolute())
        return std::nullopt;
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (!fs::exists(status))
        return std::nullopt;
    if (!fs::is_regular_file(status)) {
        warn(file, "not a file");
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > maxFileSize) {
        warn(file, "larger than " + std::to_string(maxFileSize >> 20) + " MiB");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string text;
    if (in)
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        warn(file, "cannot be read");
        return std::nullopt;
    }
    return text;
}

std::vector<fs::path> Findings::list(const fs::path& folder)
{
    std::vector<fs::path> entries;
    if (!folder.is_absolute())
        return entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        if (ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            warn(folder, "cannot be listed (" + ec.message() + ")");
        return entries;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        entries.push_back(it->path());
    }
    std::ranges::sort(entries);
    return entries;
}

std::vector<fs::path> Findings::subfolders(const fs::path& folder)
{
    std::vector<fs::path> folders = list(folder);
    std::erase_if(folders, [](const fs::path& p) {
        std::error_code ec;
        return !fs::is_directory(p, ec);
    });
    return folders;
}

void Findings::warn(const fs::path& file, const std::string& what)
{
    m_warnings.push_back(file.string() + ": " + what);
}

void Findings::add(const fs::path& folder, Owner owner)
{
    if (!folder.is_absolute() || !isPrefix(folder))
        return;
    std::error_code ec;
    const fs::path path = fs::canonical(folder, ec);
    if (ec)
        return;
    std::vector<Owner>& owners = m_owners[path.string()];
    // The same front-end can reach a prefix twice (a Steam library seen from two Steam folders).
    if (std::ranges::find(owners, owner) == owners.end())
        owners.push_back(std::move(owner));
}

Discovery Findings::finish()
{
    Discovery d;
    for (auto& [path, owners] : m_owners) {
        std::ranges::sort(owners, ownerBefore);
        d.prefixes.push_back({ path, std::move(owners) });
    }
    std::ranges::stable_sort(d.prefixes,
        [](const Prefix& a, const Prefix& b) { return ownerBefore(a.owners.front(), b.owners.front()); });
    // A file read on behalf of two Steam folders would otherwise be reported twice.
    for (std::string& w : m_warnings) {
        if (std::ranges::find(d.warnings, w) == d.warnings.end())
            d.warnings.push_back(std::move(w));
    }
    m_warnings.clear();
    m_owners.clear();
    return d;
}

std::string folderName(fs::path path)
{
    while (!path.has_filename() && path.has_relative_path())
        path = path.parent_path();
    return path.filename().string();
}

std::string firstFile(std::initializer_list<fs::path> candidates)
{
    for (const fs::path& p : candidates) {
        std::error_code ec;
        if (p.is_absolute() && fs::is_regular_file(p, ec))
            return p.string();
    }
    return {};
}

} // namespace scan

} // namespace tw::prefixes
