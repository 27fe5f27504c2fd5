// SPDX-License-Identifier: MIT
// A registry file of N listable entries, each with a usage record and a DisplayIcon on one of a few real
// icon-bearing files, in a prefix folder of its own.
#pragma once

#include "registry/Hive.h"
#include "registry/RegistryApi.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw::bench {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> utf16z(const std::string& s)
{
    std::vector<std::uint8_t> out;
    for (char c : s) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

inline std::u16string u16(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

// A prefix folder with the registry file and the icon files its entries name. The file is written one key
// at a time, as Wine orders it, so that making it takes no memory that grows with the entries and a
// benchmark's peak memory is the program's own.
struct Fixture
{
    fs::path folder;
    std::string registryFile;

    explicit Fixture(int entries, const std::string& tag = "")
    {
        folder = fs::temp_directory_path() / ("tidewell-bench-" + std::to_string(entries) + tag);
        fs::remove_all(folder);
        const fs::path programs = folder / "drive_c" / "Program Files" / "Bench";
        fs::create_directories(programs);
        const char* files[]
            = { "TidewellProbe.exe", "uninst.exe", "uninst-group103.ico", "TidewellProbe-x86.exe" };
        for (const char* f : files)
            fs::copy_file(fs::path(TIDEWELL_TEST_DATA) / "wine" / f, programs / f);

        hive::Hive h;
        hive::Key* uninstall = &h.root;
        for (const char* part : { "Software", "Microsoft", "Windows", "CurrentVersion", "Uninstall" })
            uninstall = &uninstall->addSubkey(u16(part));
        hive::Key* cache = &uninstall->parent->addSubkey(u"App Management").addSubkey(u"ARPCache");
        const auto now = hive::filetimeNow();
        registryFile = (folder / "system.reg").string();
        std::ofstream out(registryFile, std::ios::binary);
        out << hive::defaultHeader();
        // "App Management" sorts before "Uninstall": every usage record first, then every entry.
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < entries; ++i) {
                const std::string name = "Program" + std::to_string(100000 + i);
                hive::Key& k = (pass == 0 ? cache : uninstall)->addSubkey(u16(name));
                if (pass == 0) {
                    std::vector<std::uint8_t> record(552, 0);
                    record[10] = static_cast<std::uint8_t>(i);
                    record[22] = 0xC4;
                    record[23] = 0x01;
                    record[24] = static_cast<std::uint8_t>(i % 30);
                    k.values.push_back({ u"SlowInfoCache", kRegBinary, record, {} });
                } else {
                    k.values.push_back(
                        { u"DisplayName", kRegSz, utf16z("Bench Program " + std::to_string(i)), {} });
                    k.values.push_back({ u"UninstallString", kRegSz,
                        utf16z("\"C:\\Program Files\\Bench\\uninst.exe\" /S"), {} });
                    k.values.push_back({ u"DisplayIcon", kRegSz,
                        utf16z("C:\\Program Files\\Bench\\" + std::string(files[i % 4]) + ",0"), {} });
                    k.values.push_back({ u"Publisher", kRegSz, utf16z("Bench Corp"), {} });
                }
                k.touch(now);
                out << hive::formatKeyLine(k);
                for (const auto& v : k.values)
                    out << hive::formatValue(v);
                out << '\n';
                k.parent->removeSubkey(k);
            }
        }
    }
    ~Fixture() { fs::remove_all(folder); }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    std::uintmax_t fileSize() const { return fs::file_size(registryFile); }
};

} // namespace tw::bench
