// SPDX-License-Identifier: MIT
#include "inventory/PathMapping.h"

#include "base/FsPath.h"
#include "base/Text.h"

#include <filesystem>
#include <vector>

namespace tw {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> components(const std::string& rest)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : rest) {
        if (c == '\\' || c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The entry of `folder` named `name` without regard to case; empty when there is none.
fs::path findEntry(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    const fs::path exact = folder / toFsPath(name);
    if (fs::exists(exact, ec))
        return exact;
    const std::u16string wanted = text::utf8ToUtf16(name);
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (text::equalsIgnoreCase(text::utf8ToUtf16(fromFsPath(entry.path().filename())), wanted))
            return entry.path();
    }
    return {};
}

fs::path walk(fs::path base, const std::vector<std::string>& parts)
{
    for (const auto& part : parts) {
        if (part == ".")
            continue;
        base = part == ".." ? base.parent_path() : findEntry(base, part);
        if (base.empty())
            return {};
    }
    return base;
}

} // namespace

PathMapping PathMapping::forRegistryFile(const std::string& registryFile)
{
    if (registryFile.empty())
        return PathMapping();
    const fs::path folder = toFsPath(registryFile).parent_path();
    return PathMapping(fromFsPath(folder.empty() ? fs::path(".") : folder));
}

std::string PathMapping::resolve(const std::string& path) const
{
    if (path.empty())
        return {};
    if (m_prefix.empty() || path.front() == '/')
        return path;
    const fs::path prefix = toFsPath(m_prefix);
    std::error_code ec;
    auto driveFolder = [&](char letter) {
        const char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter + 32 : letter);
        if (fs::is_directory(prefix / "dosdevices", ec))
            return prefix / "dosdevices" / (std::string(1, lower) + ":");
        return prefix / ("drive_" + std::string(1, lower));
    };
    fs::path found;
    const bool hasDrive = path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (hasDrive) {
        found = walk(driveFolder(path[0]), components(path.substr(2)));
    } else if (path.find_first_of("\\/") == std::string::npos) {
        // A bare file name is looked for where Windows looks for programs.
        for (const char* folder : { "windows\\system32", "windows" }) {
            found = walk(driveFolder('c'), components(std::string(folder) + "\\" + path));
            if (!found.empty())
                break;
        }
    }
    return found.empty() ? std::string() : fromFsPath(found);
}

bool PathMapping::exists(const std::string& path) const
{
    const std::string local = resolve(path);
    std::error_code ec;
    return !local.empty() && fs::exists(toFsPath(local), ec);
}

std::string PathMapping::windowsPath(const std::string& localPath) const
{
    if (m_prefix.empty())
        return localPath;
    const fs::path root = toFsPath(m_prefix).lexically_normal();
    const fs::path rel = toFsPath(localPath).lexically_normal().lexically_relative(root);
    auto part = rel.begin();
    if (rel.empty() || part == rel.end())
        return localPath;
    std::string first = fromFsPath(*part);
    for (char& c : first)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    char letter = 0;
    if (first.size() == 7 && first.compare(0, 6, "drive_") == 0)
        letter = first[6];
    else if (first == "dosdevices" && ++part != rel.end()) {
        const std::string device = fromFsPath(*part);
        if (device.size() == 2 && device[1] == ':')
            letter = static_cast<char>(device[0] >= 'A' && device[0] <= 'Z' ? device[0] + 32 : device[0]);
    }
    if (letter < 'a' || letter > 'z')
        return localPath;
    std::string windows = std::string(1, static_cast<char>(letter - 32)) + ":\\";
    bool firstPart = true;
    for (++part; part != rel.end(); ++part) {
        if (!firstPart)
            windows += '\\';
        windows += fromFsPath(*part);
        firstPart = false;
    }
    return windows;
}

} // namespace tw
