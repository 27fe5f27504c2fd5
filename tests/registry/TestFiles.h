// SPDX-License-Identifier: MIT
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>

namespace tw::test {

inline std::string dataPath(const std::string& name)
{
    return std::string(TIDEWELL_TEST_DATA) + "/" + name;
}

inline std::string readAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeAll(const std::filesystem::path& p, const std::string& content)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
}

// A fresh folder per test, removed afterwards.
class TempDir
{
public:
    TempDir()
    {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path()
            / ("tidewell-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(
            m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

#ifdef _WIN32
inline bool runningOnWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

// Tests that write HKEY_LOCAL_MACHINE run under Wine (a throw-away prefix) and, on a real Windows, only
// when asked for: they need an administrator and change the machine's registry.
inline bool maySystemRegistryBeWritten()
{
#ifdef _WIN32
    const char* asked = std::getenv("TIDEWELL_TEST_SYSTEM_REGISTRY");
    return runningOnWine() || (asked && std::string(asked) == "1");
#else
    return false;
#endif
}

} // namespace tw::test
