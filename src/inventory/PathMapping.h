// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tw {

// Looks up the Windows paths a registry holds (C:\Program Files\...) as a Wine prefix does: the folder
// that holds the registry file is the prefix, X:\rest is <prefix>/dosdevices/x:/rest, or
// <prefix>/drive_x/rest without dosdevices, each component matched without regard to case. A POSIX
// path is used as it is. With no prefix (the system's own registry) paths are used as they are.
class PathMapping
{
public:
    PathMapping() = default;
    explicit PathMapping(std::string prefixFolder)
        : m_prefix(std::move(prefixFolder))
    { }
    // The prefix of a registry file: the folder it is in.
    static PathMapping forRegistryFile(const std::string& registryFile);

    // The file's path on this system, or empty when a component does not exist.
    std::string resolve(const std::string& path) const;
    // The other way: a file inside the prefix's drive_x/ or dosdevices/x:/ as the Windows path X:\rest
    // the prefix gives it, so what is written into the registry reads right where it came from. Any
    // other path comes back as it is.
    std::string windowsPath(const std::string& localPath) const;
    // PathFileExistsA.
    bool exists(const std::string& path) const;
    const std::string& prefix() const { return m_prefix; }

private:
    std::string m_prefix;
};

} // namespace tw
