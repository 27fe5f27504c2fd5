// SPDX-License-Identifier: MIT
// A home folder laid out as the front-ends leave it, in a temporary folder of its own.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tw::test {

class FakeHome
{
public:
    FakeHome()
    {
        std::random_device rd;
        m_root = std::filesystem::temp_directory_path()
            / ("tidewell-prefixes-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_root / "home");
        m_root = std::filesystem::canonical(m_root);
    }
    ~FakeHome() { std::filesystem::remove_all(m_root); }
    FakeHome(const FakeHome&) = delete;
    FakeHome& operator=(const FakeHome&) = delete;

    std::string path(const std::string& rel) const { return (m_root / rel).string(); }
    std::string home(const std::string& rel) const { return path("home/" + rel); }

    void write(const std::string& rel, const std::string& text) const
    {
        std::filesystem::create_directories(std::filesystem::path(path(rel)).parent_path());
        std::ofstream(path(rel)) << text;
    }
    // A folder Wine has set up, with that registry; returns its absolute path.
    std::string prefix(
        const std::string& rel, const std::string& registry = "WINE REGISTRY Version 2\n") const
    {
        write(rel + "/system.reg", registry);
        std::filesystem::create_directories(path(rel + "/drive_c"));
        return path(rel);
    }
    std::string read(const std::string& rel) const
    {
        std::ifstream in(path(rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void link(const std::string& target, const std::string& rel) const
    {
        std::filesystem::create_directories(std::filesystem::path(path(rel)).parent_path());
        std::filesystem::create_directory_symlink(target, path(rel));
    }

protected:
    std::filesystem::path m_root;
};

} // namespace tw::test
